#include "ColumnarLoad.h"

#include "ColumnarLogBuilder.h"
#include "LogDatabase.h"

#include <sqlite3.h>
#include <strings.h>

namespace {

struct StmtDeleter {
    void operator()(sqlite3_stmt *s) const { sqlite3_finalize(s); }
};

/// Declared TEXT and compared through JETCI: the columns whose comparisons the
/// count evaluator reproduces.
bool comparesAsJetText(sqlite3 *db, const char *column)
{
    const char *type = nullptr;
    const char *collation = nullptr;
    if (sqlite3_table_column_metadata(db, "main", "LOG", column, &type, &collation, nullptr, nullptr, nullptr) != SQLITE_OK)
        return false;
    return type && collation && strcasecmp(type, "TEXT") == 0 && strcasecmp(collation, "JETCI") == 0;
}

} // namespace

Result<std::shared_ptr<const ColumnarLog>> loadColumnarLog(const LogDatabase &db)
{
    using R = Result<std::shared_ptr<const ColumnarLog>>;
    sqlite3 *handle = db.handle();
    sqlite3_stmt *raw = nullptr;
    if (sqlite3_prepare_v2(handle, "SELECT * FROM LOG", -1, &raw, nullptr) != SQLITE_OK || !raw)
        return R::failure(QString::fromUtf8(sqlite3_errmsg(handle)));
    std::unique_ptr<sqlite3_stmt, StmtDeleter> stmt(raw);

    const int columns = sqlite3_column_count(raw);
    std::vector<std::string> names;
    std::vector<bool> text;
    for (int i = 0; i < columns; ++i) {
        names.emplace_back(sqlite3_column_name(raw, i));
        text.push_back(comparesAsJetText(handle, names.back().c_str()));
    }
    ColumnarLogBuilder builder(names, text);
    std::vector<ColumnarLogBuilder::Cell> cells(static_cast<size_t>(columns));
    int rc;
    while ((rc = sqlite3_step(raw)) == SQLITE_ROW) {
        for (int i = 0; i < columns; ++i) {
            ColumnarLogBuilder::Cell &cell = cells[size_t(i)];
            cell.reset();
            if (!text[size_t(i)])
                continue;
            const int type = sqlite3_column_type(raw, i);
            if (type == SQLITE_TEXT) {
                const auto *p = reinterpret_cast<const char *>(sqlite3_column_text(raw, i));
                const int n = sqlite3_column_bytes(raw, i);
                cell.emplace(p ? p : "", p ? size_t(n) : 0);
            } else if (type != SQLITE_NULL) {
                text[size_t(i)] = false;
                builder.dropColumn(size_t(i));
            }
        }
        builder.addRow(cells);
    }
    if (rc != SQLITE_DONE)
        return R::failure(QString::fromUtf8(sqlite3_errmsg(handle)));
    return R(builder.finish());
}
