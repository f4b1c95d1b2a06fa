#include "TablePrint.h"

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
    const double pad = QFontMetricsF(f).averageCharWidth() / 2;
    p.drawText(r.adjusted(pad, 0, -pad, 0), flags | Qt::AlignVCenter | Qt::TextSingleLine, text);
}

} // namespace

bool print(QPrinter &printer, const QString &title, const QAbstractItemModel &model, int keyColumns)
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

    const int rows = model.rowCount(), columns = model.columnCount();
    std::vector<double> width(size_t(columns), 0);
    for (int c = 0; c < columns; ++c) {
        width[size_t(c)] = fmBold.horizontalAdvance(model.headerData(c, Qt::Horizontal).toString()) + pad;
        for (int r = 0; r < rows; ++r)
            width[size_t(c)] = std::max(width[size_t(c)], fmBold.horizontalAdvance(model.index(r, c).data().toString()) + pad);
        width[size_t(c)] = std::min(width[size_t(c)], page.width() / 3);
    }
    const auto across = columnPages(width, keyColumns, page.width());
    const double titleHeight = fmBold.height() * 1.8;
    const int perPage = std::max(1, int((page.height() - titleHeight - 2 * rowHeight) / rowHeight));
    const int down = std::max(1, (rows + perPage - 1) / perPage);
    const int total = down * int(across.size());

    int number = 0;
    for (int d = 0; d < down; ++d) {
        for (const std::vector<int> &cols : across) {
            if (number > 0 && !printer.newPage())
                return false;
            ++number;
            p.setFont(bold);
            p.setPen(Qt::black);
            p.drawText(QRectF(0, 0, page.width(), titleHeight), Qt::AlignLeft | Qt::AlignVCenter, title);
            p.setFont(base);
            p.drawText(QRectF(0, 0, page.width(), titleHeight), Qt::AlignRight | Qt::AlignVCenter,
                       QStringLiteral("page %1 of %2").arg(number).arg(total));
            double x = 0;
            for (const int c : cols) {
                const QRectF r(x, titleHeight, width[size_t(c)], rowHeight);
                drawCell(p, r, model.headerData(c, Qt::Horizontal).toString(), {}, {}, int(Qt::AlignCenter), base, true);
                x += width[size_t(c)];
            }
            for (int r = d * perPage, line = 1; r < std::min(rows, (d + 1) * perPage); ++r, ++line) {
                x = 0;
                for (const int c : cols) {
                    const QModelIndex i = model.index(r, c);
                    drawCell(p, QRectF(x, titleHeight + line * rowHeight, width[size_t(c)], rowHeight), i.data().toString(),
                             i.data(Qt::BackgroundRole), i.data(Qt::FontRole), i.data(Qt::TextAlignmentRole), base, false);
                    x += width[size_t(c)];
                }
            }
        }
    }
    return p.end();
}

} // namespace TablePrint
