#include "logbook/mdb/LogFingerprint.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace {

constexpr std::int64_t CoarsestTimeStepNs = 2'000'000'000; // FAT keeps modification times in steps of 2 s

constexpr std::uint64_t Prime1 = 0x9E3779B185EBCA87u;
constexpr std::uint64_t Prime2 = 0xC2B2AE3D27D4EB4Fu;

std::uint64_t load64(const unsigned char *p)
{
    std::uint64_t v;
    std::memcpy(&v, p, sizeof v);
    return v; // the byte order of the machine: a digest is only compared on the machine that made it
}

std::uint64_t mixRound(std::uint64_t lane, std::uint64_t word) { return std::rotl(lane + word * Prime2, 31) * Prime1; }

std::uint64_t avalanche(std::uint64_t h)
{
    h ^= h >> 33;
    h *= Prime2;
    h ^= h >> 29;
    h *= Prime1;
    return h ^ (h >> 32);
}

} // namespace

bool LogFingerprint::settledBefore(std::int64_t readStartNs) const
{
    return std::max(modifiedNs, changedNs) + CoarsestTimeStepNs < readStartNs;
}

void ContentDigest::block(const unsigned char *p)
{
    for (int i = 0; i < 4; ++i)
        m_lane[i] = mixRound(m_lane[i], load64(p + 8 * i));
}

void ContentDigest::add(const char *data, std::size_t bytes)
{
    auto p = reinterpret_cast<const unsigned char *>(data);
    m_length += bytes;
    if (m_carried > 0) {
        const std::size_t take = std::min(bytes, Block - m_carried);
        std::memcpy(m_carry + m_carried, p, take);
        m_carried += take;
        p += take;
        bytes -= take;
        if (m_carried < Block)
            return;
        block(m_carry);
        m_carried = 0;
    }
    for (; bytes >= Block; p += Block, bytes -= Block)
        block(p);
    std::memcpy(m_carry, p, bytes);
    m_carried = bytes;
}

QByteArray ContentDigest::result()
{
    // The last bytes padded with zeros; the length tells them from real zeros.
    std::memset(m_carry + m_carried, 0, Block - m_carried);
    block(m_carry);
    const std::uint64_t a = avalanche(m_lane[0] ^ std::rotl(m_lane[1], 17) ^ m_length);
    const std::uint64_t b = avalanche(m_lane[2] ^ std::rotl(m_lane[3], 29) ^ (m_length * Prime1));
    QByteArray out(16, '\0');
    std::memcpy(out.data(), &a, 8);
    std::memcpy(out.data() + 8, &b, 8);
    return out;
}

QByteArray ContentDigest::ofPieces(const std::function<std::int64_t(char *, std::size_t)> &read)
{
    ContentDigest digest;
    QByteArray buffer(1 << 20, '\0');
    for (;;) {
        const std::int64_t got = read(buffer.data(), std::size_t(buffer.size()));
        if (got < 0)
            return {};
        if (got == 0)
            return digest.result();
        digest.add(buffer.constData(), std::size_t(got));
    }
}
