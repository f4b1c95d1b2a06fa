#include "matrixwindow/MatrixExport.h"

#include <QAbstractItemModel>
#include <QColor>
#include <QFont>

std::vector<std::vector<SheetCell>> shownSheet(const QString &title, const QAbstractItemModel &shown)
{
    std::vector<std::vector<SheetCell>> rows;
    rows.reserve(size_t(shown.rowCount()) + 2);
    SheetCell head;
    head.text = title;
    head.bold = true;
    rows.push_back({head});
    std::vector<SheetCell> titles;
    for (int c = 0; c < shown.columnCount(); ++c) {
        SheetCell t;
        t.text = shown.headerData(c, Qt::Horizontal).toString();
        t.bold = true;
        t.centred = c > 0;
        titles.push_back(std::move(t));
    }
    rows.push_back(std::move(titles));
    for (int r = 0; r < shown.rowCount(); ++r) {
        std::vector<SheetCell> line;
        line.reserve(size_t(shown.columnCount()));
        for (int c = 0; c < shown.columnCount(); ++c) {
            const QModelIndex i = shown.index(r, c);
            const QVariant value = i.data();
            SheetCell cell;
            cell.text = value.toString();
            cell.number = value.typeId() == QMetaType::Int || value.typeId() == QMetaType::LongLong;
            if (const QVariant fill = i.data(Qt::BackgroundRole); fill.canConvert<QColor>() && fill.value<QColor>().isValid()) {
                cell.filled = true;
                cell.fill = fill.value<QColor>().rgb() & 0xFFFFFFu;
            }
            cell.bold = i.data(Qt::FontRole).value<QFont>().bold();
            cell.centred = (i.data(Qt::TextAlignmentRole).toInt() & Qt::AlignHCenter) != 0;
            line.push_back(std::move(cell));
        }
        rows.push_back(std::move(line));
    }
    return rows;
}
