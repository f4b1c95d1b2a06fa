#include "XlsxExport.h"

#include "FileBeside.h"

#include <memory>
#include <xlsxwriter.h>

namespace {

/// A workbook given up before it was closed: freed without writing its file.
struct WorkbookCloser {
    void operator()(lxw_workbook *wb) const
    {
        if (wb)
            lxw_workbook_free(wb);
    }
};

using Workbook = std::unique_ptr<lxw_workbook, WorkbookCloser>;

Workbook openWorkbook(const QString &path)
{
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE; // rows go to disk as they are written
    options.tmpdir = nullptr;
    // libxlsxwriter takes UTF-8 names (on Windows it opens them as UTF-16).
    return Workbook(workbook_new_opt(path.toUtf8().constData(), &options));
}

/// Closes the workbook, which writes the file, and puts it in the target's place.
Status finish(Workbook &wb, FileBeside &file, const QString &target)
{
    const lxw_error err = workbook_close(wb.release());
    if (err != LXW_NO_ERROR)
        return Status::failure(QStringLiteral("cannot write %1: %2").arg(target, QString::fromUtf8(lxw_strerror(err))));
    return file.commit();
}

Status writeText(lxw_worksheet *sheet, qsizetype row, int column, const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    const lxw_error err = worksheet_write_string(sheet, lxw_row_t(row), lxw_col_t(column), utf8.constData(), nullptr);
    if (err != LXW_NO_ERROR)
        return Status::failure(QString::fromUtf8(lxw_strerror(err)));
    return {};
}

} // namespace

Result<qsizetype> writeListingXlsx(const QString &path, const QStringList &fieldNames, qsizetype rowCount,
                                   const std::function<QString(qsizetype, int)> &cell, qsizetype maxRows)
{
    using R = Result<qsizetype>;
    FileBeside file(path);
    Workbook wb = openWorkbook(file.temp());
    if (!wb)
        return R::failure(QStringLiteral("cannot create %1").arg(path));
    lxw_worksheet *sheet = workbook_add_worksheet(wb.get(), nullptr);
    for (int i = 0; i < fieldNames.size(); ++i) {
        if (Status s = writeText(sheet, 0, i, fieldNames[i]); !s)
            return R::failure(s.error());
    }
    const qsizetype written = std::min(rowCount, std::max<qsizetype>(maxRows, 0));
    for (qsizetype n = 0; n < written; ++n) {
        for (int i = 0; i < fieldNames.size(); ++i) {
            if (Status s = writeText(sheet, n + 1, i, QLatin1Char(' ') + cell(n, i) + QLatin1Char(' ')); !s)
                return R::failure(s.error());
        }
    }
    if (Status s = finish(wb, file, path); !s)
        return R::failure(s.error());
    return written;
}

Status writeRowsXlsx(const QString &path, const QString &sheetName, const std::vector<QStringList> &rows)
{
    FileBeside file(path);
    Workbook wb = openWorkbook(file.temp());
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
    return finish(wb, file, path);
}
