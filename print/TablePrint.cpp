#include "print/TablePrint.h"

#include <QAbstractItemModel>
#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>

namespace TablePrint {
namespace {

/// Columns that fill one page width: the key columns, then as many others as fit.
std::vector<std::vector<int>> columnPages(const std::vector<double> &width, int keyColumns, double pageWidth)
{
    const int count = int(width.size());
    keyColumns = std::min(keyColumns, count);
    double keyWidth = 0;
    std::vector<int> key;
    for (int c = 0; c < keyColumns; ++c) {
        keyWidth += width[size_t(c)];
        key.push_back(c);
    }
    std::vector<std::vector<int>> pages;
    int next = keyColumns;
    do {
        std::vector<int> page = key;
        double used = keyWidth;
        // At least one column a page, however wide.
        while (next < count && (page.size() == key.size() || used + width[size_t(next)] <= pageWidth)) {
            used += width[size_t(next)];
            page.push_back(next++);
        }
        pages.push_back(std::move(page));
    } while (next < count);
    return pages;
}

void drawCell(QPainter &p, const QRectF &r, const QString &text, const QVariant &background, const QVariant &font, const QVariant &align,
              const QFont &base, bool header)
{
    if (background.canConvert<QColor>() && background.value<QColor>().isValid())
        p.fillRect(r, background.value<QColor>());
    else if (header)
        p.fillRect(r, QColor(0xE8, 0xE8, 0xE8));
    p.setPen(QColor(0x90, 0x90, 0x90));
    p.drawRect(r);
    p.setPen(Qt::black);
    QFont f = base;
    if (font.canConvert<QFont>())
        f.setBold(font.value<QFont>().bold());
    if (header)
        f.setBold(true);
    p.setFont(f);
    const int flags = align.isValid() ? align.toInt() : int(Qt::AlignLeft | Qt::AlignVCenter);
    const QFontMetricsF fm(f, p.device());
    const QRectF inner = r.adjusted(fm.averageCharWidth() / 2, 0, -fm.averageCharWidth() / 2, 0);
    p.drawText(inner, flags | Qt::AlignVCenter | Qt::TextSingleLine, fm.elidedText(text, Qt::ElideRight, inner.width()));
}

/// Where a table's pages break: its column widths, the columns of each page
/// across and the rows of each page down.
struct Layout {
    std::vector<double> width;
    std::vector<std::vector<int>> across;
    int perPage = 1;
    int down = 1;
    int pages() const { return down * int(across.size()); }
};

} // namespace

bool print(QPrinter &printer, const std::vector<Table> &tables)
{
    printer.setPageOrientation(QPageLayout::Landscape);
    QPainter p;
    if (!p.begin(&printer))
        return false;
    const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
    QFont base(QStringLiteral("Sans Serif"));
    base.setPointSizeF(8);
    p.setFont(base);
    QFont bold = base;
    bold.setBold(true);
    const QFontMetricsF fm(base, &printer), fmBold(bold, &printer);
    const double rowHeight = fm.height() * 1.35;
    const double pad = fm.averageCharWidth() * 1.5;
    const double titleHeight = fmBold.height() * 1.8;

    std::vector<Layout> layouts;
    int total = 0;
    for (const Table &table : tables) {
        const QAbstractItemModel &model = *table.model;
        Layout l;
        const int rows = model.rowCount(), columns = model.columnCount();
        l.width.assign(size_t(columns), 0);
        for (int c = 0; c < columns; ++c) {
            double &w = l.width[size_t(c)];
            w = fmBold.horizontalAdvance(model.headerData(c, Qt::Horizontal).toString()) + pad;
            for (int r = 0; r < rows; ++r)
                w = std::max(w, fmBold.horizontalAdvance(model.index(r, c).data().toString()) + pad);
            w = std::min(w, page.width() / 3);
        }
        l.across = columnPages(l.width, table.keyColumns, page.width());
        l.perPage = std::max(1, int((page.height() - titleHeight - 2 * rowHeight) / rowHeight));
        l.down = std::max(1, (rows + l.perPage - 1) / l.perPage);
        total += l.pages();
        layouts.push_back(std::move(l));
    }

    int number = 0;
    for (size_t t = 0; t < tables.size(); ++t) {
        const QAbstractItemModel &model = *tables[t].model;
        const Layout &l = layouts[t];
        const int rows = model.rowCount();
        for (int d = 0; d < l.down; ++d) {
            for (const std::vector<int> &cols : l.across) {
                if (number > 0 && !printer.newPage())
                    return false;
                ++number;
                p.setFont(bold);
                p.setPen(Qt::black);
                p.drawText(QRectF(0, 0, page.width(), titleHeight), Qt::AlignLeft | Qt::AlignVCenter, tables[t].title);
                p.setFont(base);
                p.drawText(QRectF(0, 0, page.width(), titleHeight), Qt::AlignRight | Qt::AlignVCenter,
                           QStringLiteral("page %1 of %2").arg(number).arg(total));
                double x = 0;
                for (const int c : cols) {
                    const QRectF r(x, titleHeight, l.width[size_t(c)], rowHeight);
                    drawCell(p, r, model.headerData(c, Qt::Horizontal).toString(), {}, {}, int(Qt::AlignCenter), base, true);
                    x += l.width[size_t(c)];
                }
                for (int r = d * l.perPage, line = 1; r < std::min(rows, (d + 1) * l.perPage); ++r, ++line) {
                    x = 0;
                    for (const int c : cols) {
                        const QModelIndex i = model.index(r, c);
                        drawCell(p, QRectF(x, titleHeight + line * rowHeight, l.width[size_t(c)], rowHeight), i.data().toString(),
                                 i.data(Qt::BackgroundRole), i.data(Qt::FontRole), i.data(Qt::TextAlignmentRole), base, false);
                        x += l.width[size_t(c)];
                    }
                }
            }
        }
    }
    return p.end();
}

bool print(QPrinter &printer, const QString &title, const QAbstractItemModel &model, int keyColumns)
{
    return print(printer, {Table{title, &model, keyColumns}});
}

} // namespace TablePrint
