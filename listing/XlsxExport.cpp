#include "XlsxExport.h"

#include <QFile>
#include <memory>
#include <xlsxwriter.h>

namespace {

struct WorkbookCloser {
    void operator()(lxw_workbook *wb) const
    {
        if (wb)
            workbook_close(wb);
    }
};

using Workbook = std::unique_ptr<lxw_workbook, WorkbookCloser>;

Workbook openWorkbook(const QString &path)
{
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE; // rows go to disk as they are written
    options.tmpdir = nullptr;
    return Workbook(workbook_new_opt(QFile::encodeName(path).constData(), &options));
}

Status closeWorkbook(Workbook &wb, const QString &path)
{
    const lxw_error err = workbook_close(wb.release());
    if (err != LXW_NO_ERROR)
        return Status::failure(QStringLiteral("cannot write %1: %2").arg(path, QString::fromUtf8(lxw_strerror(err))));
    return {};
}

Status writeText(lxw_worksheet *sheet, qsizetype row, int column, const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    const lxw_error err = worksheet_write_string(sheet, lxw_row_t(row), lxw_col_t(column), utf8.constData(), nullptr);
    if (err != LXW_NO_ERROR && err != LXW_ERROR_WORKSHEET_INDEX_OUT_OF_RANGE)
        return Status::failure(QString::fromUtf8(lxw_strerror(err)));
    return {};
}

} // namespace

Status writeListingXlsx(const QString &path, const QStringList &fieldNames, qsizetype rowCount,
                        const std::function<QString(qsizetype, int)> &cell)
{
    Workbook wb = openWorkbook(path);
    if (!wb)
        return Status::failure(QStringLiteral("cannot create %1").arg(path));
    lxw_worksheet *sheet = workbook_add_worksheet(wb.get(), nullptr);
    for (int i = 0; i < fieldNames.size(); ++i) {
        if (Status s = writeText(sheet, 0, i, fieldNames[i]); !s)
            return s;
    }
    for (qsizetype n = 0; n < rowCount; ++n) {
        for (int i = 0; i < fieldNames.size(); ++i) {
            if (Status s = writeText(sheet, n + 1, i, QLatin1Char(' ') + cell(n, i) + QLatin1Char(' ')); !s)
                return s;
        }
    }
    return closeWorkbook(wb, path);
}

Status writeRowsXlsx(const QString &path, const QString &sheetName, const std::vector<QStringList> &rows)
{
    Workbook wb = openWorkbook(path);
    if (!wb)
        return Status::failure(QStringLiteral("cannot create %1").arg(path));
    lxw_worksheet *sheet = workbook_add_worksheet(wb.get(), sheetName.isEmpty() ? nullptr : sheetName.left(31).toUtf8().constData());
    for (size_t r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < rows[r].size(); ++c) {
            // Counts go in as numbers, so the sheet can add them up.
            bool whole = false;
            const qlonglong number = rows[r][c].toLongLong(&whole);
            if (whole && r > 0) {
                worksheet_write_number(sheet, lxw_row_t(r), lxw_col_t(c), double(number), nullptr);
                continue;
            }
            if (Status s = writeText(sheet, qsizetype(r), c, rows[r][c]); !s)
                return s;
        }
    }
    return closeWorkbook(wb, path);
}
