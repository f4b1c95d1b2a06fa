#pragma once
#include "logbook/types/Result.h"

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

/// What tells one state of a logbook file from another without reading it
/// all: which file it is (device and inode; on Windows volume serial number
/// and file index), its size, its modification and change times to the
/// nanosecond (to 100 ns on Windows), and a hash of its first page. A logbook
/// written in place, renamed over or touched back to an old time shows a
/// different fingerprint. Files are opened for reading only, in a way that
/// lets the program that keeps the logbook go on writing, renaming or
/// deleting it (LogFingerprintPosix.cpp, LogFingerprintWin.cpp).
struct LogFingerprint {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = -1;
    std::int64_t modifiedNs = 0; ///< since the epoch
    std::int64_t changedNs = 0;  ///< inode change time, which no program can set back
    QByteArray firstPage;        ///< hash of the first 4 KB

    /// The fingerprint of the file at `path`; nothing when it cannot be read.
    static std::optional<LogFingerprint> of(const QString &path);

    /// Some file systems keep times in whole seconds (or two): a file changed
    /// twice within one such step keeps its times. A snapshot read at
    /// `readStartNs` can be trusted by its fingerprint only when the file's
    /// last change lies further back than that.
    bool settledBefore(std::int64_t readStartNs) const;

    /// A hash of the whole file, for files too fresh to be told apart by
    /// their fingerprint; empty when it cannot be read.
    static QByteArray contentHash(const QString &path);

    /// The first `bytes` bytes of the file, and its size in `size`; why not
    /// when it cannot be read.
    static Result<QByteArray> readHead(const QString &path, qint64 bytes, qint64 &size);

    /// The wall-clock time now, in nanoseconds since the epoch.
    static std::int64_t nowNs();

    bool operator==(const LogFingerprint &) const = default;
};

/// The hash of a file's whole contents that contentHash gives, fed in
/// pieces of any size. It tells a file changed by a writer from the same
/// file unchanged (no defence against a forger) at the speed of memory:
/// four 64-bit lanes of multiply-rotate rounds, the length mixed in last.
class ContentDigest {
public:
    void add(const char *data, std::size_t bytes);
    /// 16 bytes; the digest cannot be fed after.
    QByteArray result();

    /// The digest of what `read(buffer, size)` gives, piece by piece, until
    /// it gives 0 bytes; empty when it fails (a negative count).
    static QByteArray ofPieces(const std::function<std::int64_t(char *, std::size_t)> &read);

private:
    static constexpr std::size_t Block = 32;
    void block(const unsigned char *p);

    std::uint64_t m_lane[4] = {0x9E3779B97F4A7C15u, 0xC2B2AE3D27D4EB4Fu, 0x165667B19E3779F9u, 0x85EBCA77C2B2AE63u};
    unsigned char m_carry[Block] = {};
    std::size_t m_carried = 0;
    std::uint64_t m_length = 0;
};
