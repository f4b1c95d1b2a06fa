#include "logbook/LogbookEngine.h"

#include "logbook/MdbLoader.h"
#include "logbook/count/ColumnarLog.h"

#include <sqlite3.h>

#include <QFileInfo>

namespace {

const QString LogTable = QStringLiteral("LOG");
/// The QSL flags of a contact (received, award-checked, sent): every count
/// compares them with the texts 'Y' and 'N'.
const std::vector<std::string> FlagColumns = {"R", "D", "S"};

/// The index that lets per-band texts SQLite answers (listings, and counts the
/// columnar copy leaves to it) skip the rest of the log. Made on the snapshot's
/// filling thread, once the rows are in.
Status addIndexes(sqlite3 *db)
{
    // A logbook without a band column still opens; queries naming it fail on their own.
    if (sqlite3_table_column_metadata(db, "main", "LOG", "Banda", nullptr, nullptr, nullptr, nullptr, nullptr) != SQLITE_OK)
        return {};
    return execSqlite(db, "CREATE INDEX log_banda ON LOG(Banda)");
}

/// Whether the file is still the one fingerprinted as `before` before it was
/// read: the same fingerprint, and the same contents when its times could
/// not tell a change (`settled` false).
bool unchangedSince(const QString &path, const LogFingerprint &before, const QByteArray &contentBefore, bool settled)
{
    const std::optional<LogFingerprint> after = LogFingerprint::of(path);
    if (!after || *after != before)
        return false;
    return settled || (!contentBefore.isEmpty() && LogFingerprint::contentHash(path) == contentBefore);
}

} // namespace

Result<std::shared_ptr<const LogSnapshot>> LogbookEngine::open(const QString &path)
{
    using R = Result<std::shared_ptr<const LogSnapshot>>;
    const QFileInfo info(path);
    if (!info.exists())
        return R::failure(QStringLiteral("file not found: %1").arg(path));
    const QString canonical = info.absoluteFilePath();
    if (m_holds > 0 && m_snapshot && canonical == m_path)
        return m_snapshot;
    const std::optional<LogFingerprint> before = LogFingerprint::of(canonical);
    const std::int64_t lookedNs = LogFingerprint::nowNs();
    if (m_snapshot && before && canonical == m_path && *before == m_fingerprint) {
        if (m_contentHash.isEmpty())
            return m_snapshot;
        if (LogFingerprint::contentHash(canonical) == m_contentHash) {
            // Settled now with the contents read: from here on a change
            // shows in the times, and the contents need not be read again.
            if (before->settledBefore(lookedNs))
                m_contentHash.clear();
            return m_snapshot;
        }
    }
    // A file changed just before it is read may change again without its
    // times showing it (times in whole seconds); its contents tell then.
    const bool settled = before && before->settledBefore(lookedNs);
    const QByteArray contentBefore = before && !settled ? LogFingerprint::contentHash(canonical) : QByteArray();

    clear();
    Result<std::unique_ptr<LogDatabase>> db = LogDatabase::create();
    if (!db)
        return R::failure(db.error());
    // Counts are answered from a columnar copy, made of the dictionaries and
    // ids the readers send; the SQLite table (listings, the counts the copy
    // leaves to SQLite) is filled the first time it is asked for.
    // The SQLite copy is filled by reading the file once more: only while it
    // is still the file the columnar copy was made of.
    std::function<bool()> stillThisFile = [] { return false; };
    if (before) {
        stillThisFile = [canonical, fingerprint = *before, contentBefore, settled] {
            return unchangedSince(canonical, fingerprint, contentBefore, settled);
        };
    }
    Result<std::shared_ptr<const ColumnarLog>> columnar =
        loadMdbTableColumnarFirst(canonical, LogTable, **db, addIndexes, m_reader, FlagColumns, stillThisFile);
    // The rows may come from two versions of a file changed while it was
    // read: they are let go, and the next open reads the file again. Such a
    // change is also the likelier cause of a read that failed. A file that
    // could not be fingerprinted before is not vouched for.
    const bool unchanged = before && unchangedSince(canonical, *before, contentBefore, settled);
    if (!columnar && (unchanged || !before))
        return R::failure(columnar.error());
    if (!unchanged)
        return R::failure(QStringLiteral("the logbook changed while it was read: %1").arg(canonical));
    m_path = canonical;
    m_fingerprint = *before;
    m_contentHash = contentBefore;
    m_snapshot = std::make_shared<const LogSnapshot>(std::move(columnar.value()), std::move(db.value()));
    return m_snapshot;
}

void LogbookEngine::clear()
{
    m_snapshot.reset();
    m_path.clear();
    m_fingerprint = LogFingerprint();
    m_contentHash.clear();
}
