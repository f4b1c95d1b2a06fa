#include "listing/XlsxExport.h"

#include "listing/FileBeside.h"

#include <map>
#include <memory>
#include <tuple>
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

Status writeText(lxw_worksheet *sheet, qsizetype row, int column, const QString &text, lxw_format *format = nullptr)
{
    const QByteArray utf8 = text.toUtf8();
    const lxw_error err = worksheet_write_string(sheet, lxw_row_t(row), lxw_col_t(column), utf8.constData(), format);
    if (err != LXW_NO_ERROR)
        return Status::failure(QString::fromUtf8(lxw_strerror(err)));
    return {};
}

lxw_worksheet *addSheet(lxw_workbook *wb, const QString &name)
{
    return workbook_add_worksheet(wb, name.isEmpty() ? nullptr : name.left(31).toUtf8().constData());
}

/// The formats of a workbook by fill, text colour, weight and alignment, each made once.
class Formats {
public:
    explicit Formats(lxw_workbook *wb) : m_wb(wb) {}
    lxw_format *of(const SheetCell &c)
    {
        if (!c.filled && !c.coloured && !c.bold && !c.centred)
            return nullptr;
        const Key key{c.filled ? int64_t(c.fill) : -1, c.coloured ? int64_t(c.colour) : -1, c.bold, c.centred};
        lxw_format *&f = m_made[key];
        if (!f) {
            f = workbook_add_format(m_wb);
            if (c.filled) {
                format_set_pattern(f, LXW_PATTERN_SOLID);
                format_set_bg_color(f, lxw_color_t(c.fill));
            }
            if (c.coloured)
                format_set_font_color(f, lxw_color_t(c.colour));
            if (c.bold)
                format_set_bold(f);
            if (c.centred)
                format_set_align(f, LXW_ALIGN_CENTER);
        }
        return f;
    }

private:
    using Key = std::tuple<int64_t, int64_t, bool, bool>;
    lxw_workbook *m_wb;
    std::map<Key, lxw_format *> m_made;
};

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

Status writeSheetsXlsx(const QString &path, const std::vector<Sheet> &sheets)
{
    FileBeside file(path);
    Workbook wb = openWorkbook(file.temp());
    if (!wb)
        return Status::failure(QStringLiteral("cannot create %1").arg(path));
    Formats formats(wb.get());
    for (const Sheet &one : sheets) {
        lxw_worksheet *sheet = addSheet(wb.get(), one.name);
        if (!sheet)
            return Status::failure(QStringLiteral("cannot add the sheet %1 to %2").arg(one.name, path));
        if (one.frozenRows > 0 || one.frozenColumns > 0)
            worksheet_freeze_panes(sheet, lxw_row_t(one.frozenRows), lxw_col_t(one.frozenColumns));
        for (size_t r = 0; r < one.rows.size(); ++r) {
            for (size_t c = 0; c < one.rows[r].size(); ++c) {
                const SheetCell &cell = one.rows[r][c];
                lxw_format *format = formats.of(cell);
                if (cell.number) {
                    worksheet_write_number(sheet, lxw_row_t(r), lxw_col_t(c), cell.text.toDouble(), format);
                    continue;
                }
                // An empty cell keeps its fill.
                if (cell.text.isEmpty()) {
                    if (format)
                        worksheet_write_blank(sheet, lxw_row_t(r), lxw_col_t(c), format);
                    continue;
                }
                if (Status s = writeText(sheet, qsizetype(r), int(c), cell.text, format); !s)
                    return s;
            }
        }
    }
    return finish(wb, file, path);
}
