#include "LogFingerprint.h"

#include <algorithm>

namespace {

constexpr std::int64_t CoarsestTimeStepNs = 2'000'000'000; // FAT keeps modification times in steps of 2 s

} // namespace

bool LogFingerprint::settledBefore(std::int64_t readStartNs) const
{
    return std::max(modifiedNs, changedNs) + CoarsestTimeStepNs < readStartNs;
}
