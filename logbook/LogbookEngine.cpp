#include "LogbookEngine.h"

#include "MdbLoader.h"
#include "count/ColumnarLog.h"

#include <sqlite3.h>

#include <QFileInfo>

namespace {

const QString LogTable = QStringLiteral("LOG");

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

} // namespace

Result<std::shared_ptr<const LogDatabase>> LogbookEngine::open(const QString &path)
{
    using R = Result<std::shared_ptr<const LogDatabase>>;
    const QFileInfo info(path);
    if (!info.exists())
        return R::failure(QStringLiteral("file not found: %1").arg(path));
    const QString canonical = info.absoluteFilePath();
    const std::optional<LogFingerprint> before = LogFingerprint::of(canonical);
    if (m_snapshot && before && canonical == m_path && *before == m_fingerprint &&
        (m_contentHash.isEmpty() || LogFingerprint::contentHash(canonical) == m_contentHash))
        return m_snapshot;
    // A file changed just before it is read may change again without its
    // times showing it (times in whole seconds); its contents tell then.
    const bool settled = before && before->settledBefore(LogFingerprint::nowNs());
    const QByteArray contentBefore = before && !settled ? LogFingerprint::contentHash(canonical) : QByteArray();

    clear();
    Result<std::unique_ptr<LogDatabase>> db = LogDatabase::create();
    if (!db)
        return R::failure(db.error());
    // Count texts are answered from a columnar copy, made as the rows arrive;
    // the SQLite table (listings, the texts the copy leaves to SQLite) is
    // filled in the background, and its queries wait for it.
    Result<std::shared_ptr<const ColumnarLog>> columnar = loadMdbTableColumnarFirst(canonical, LogTable, **db, addIndexes);
    if (!columnar)
        return R::failure(columnar.error());
    (*db)->setColumnar(*columnar);
    // The snapshot is kept only when the file did not change while it was read.
    const std::optional<LogFingerprint> after = LogFingerprint::of(canonical);
    std::shared_ptr<const LogDatabase> snapshot(std::move(db.value()));
    if (before && after && *after == *before && (settled || !contentBefore.isEmpty())) {
        m_path = canonical;
        m_fingerprint = *before;
        m_contentHash = contentBefore;
        m_snapshot = snapshot;
    }
    return snapshot;
}

void LogbookEngine::clear()
{
    m_snapshot.reset();
    m_path.clear();
    m_fingerprint = LogFingerprint();
    m_contentHash.clear();
}
