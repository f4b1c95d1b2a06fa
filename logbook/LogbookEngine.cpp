#include "LogbookEngine.h"

#include "MdbLoader.h"

#include <QFileInfo>

namespace {

const QString LogTable = QStringLiteral("LOG");

/// Indexes that let per-band counts and listings skip the rest of the log.
Status addIndexes(const LogDatabase &db)
{
    // A logbook without a Banda column still opens; queries naming it fail on their own.
    const Result<QString> hasBand = db.scalar(
        QStringLiteral("SELECT COUNT(*) AS n FROM pragma_table_info('LOG') WHERE name = 'Banda' COLLATE NOCASE"), QStringLiteral("n"));
    if (!hasBand || *hasBand == QLatin1String("0"))
        return {};
    return db.exec("CREATE INDEX log_banda ON LOG(Banda)");
}

} // namespace

Result<std::shared_ptr<const LogDatabase>> LogbookEngine::open(const QString &path)
{
    using R = Result<std::shared_ptr<const LogDatabase>>;
    const QFileInfo info(path);
    if (!info.exists())
        return R::failure(QStringLiteral("file not found: %1").arg(path));
    const QString canonical = info.absoluteFilePath();
    if (m_snapshot && canonical == m_path && info.size() == m_size && info.lastModified() == m_modified)
        return m_snapshot;

    clear();
    Result<std::unique_ptr<LogDatabase>> db = LogDatabase::create();
    if (!db)
        return R::failure(db.error());
    if (Status s = loadMdbTable(canonical, LogTable, **db); !s)
        return R::failure(s.error());
    if (Status s = addIndexes(**db); !s)
        return R::failure(s.error());
    // The file may have changed while it was read; then the snapshot is not kept.
    const QFileInfo after(path);
    std::shared_ptr<const LogDatabase> snapshot(std::move(db.value()));
    if (after.size() == info.size() && after.lastModified() == info.lastModified()) {
        m_path = canonical;
        m_size = info.size();
        m_modified = info.lastModified();
        m_snapshot = snapshot;
    }
    return snapshot;
}

void LogbookEngine::clear()
{
    m_snapshot.reset();
    m_path.clear();
    m_size = -1;
    m_modified = QDateTime();
}
