#pragma once
#include "logbook/count/ColumnarLog.h"
#include "logbook/count/CountDescription.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

class CountPlan;

/// Answers the counts of the statistics grid from a ColumnarLog, giving the
/// numbers the SQLite snapshot of the same log gives for their Jet texts.
/// A count that reads a column the log does not hold as text, or a band
/// pattern SQLite would reject, is not answered, so the caller asks SQLite.
/// Compiled counts are kept, since a run asks the same ones again.
class CountEvaluator {
public:
    explicit CountEvaluator(std::shared_ptr<const ColumnarLog> log);
    ~CountEvaluator();

    /// The count, or nothing when the evaluator does not answer it.
    std::optional<int64_t> count(const CountDescription &description) const;

    const ColumnarLog &log() const { return *m_log; }

private:
    std::shared_ptr<const ColumnarLog> m_log;
    mutable std::mutex m_mutex;
    mutable std::unordered_map<std::string, std::shared_ptr<const CountPlan>> m_compiled; ///< nullptr: not answered here
};
