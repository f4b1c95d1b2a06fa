#include "listing/GridView.h"

#include "listing/GridRecordset.h"

#include <QHeaderView>
#include <QTableView>

void setUpGridView(QTableView *view, GridRecordset *model)
{
    view->setModel(model);
    view->setSortingEnabled(false); // rows first appear in the order they came
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setAlternatingRowColors(true);
    view->setWordWrap(false);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->horizontalHeader()->setResizeContentsPrecision(200);
    view->horizontalHeader()->setSectionsClickable(true);
    view->horizontalHeader()->setSortIndicatorShown(true);
    view->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    // The header turns its own indicator on a click (ascending on a new
    // column, then the other way); the rows follow the indicator.
    QObject::connect(view->horizontalHeader(), &QHeaderView::sortIndicatorChanged, model,
                     [model](int column, Qt::SortOrder order) { model->sort(column, order); });
}

void fitGridColumns(QTableView *view)
{
    view->resizeColumnsToContents();
    for (int c = 0; c < view->model()->columnCount(); ++c) {
        if (view->columnWidth(c) > 320)
            view->setColumnWidth(c, 320);
    }
}
