#pragma once
#include "QueryTable.h"

#include <QAbstractTableModel>

/// The rows of the current listing as a read-only table model. Entity listings
/// show their columns 1..9 under the grid's own captions; every other result
/// keeps its field names. Sorting by a column reorders the rows in place.
class GridRecordset : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit GridRecordset(QObject *parent = nullptr);

    /// Replaces the rows; `entityCaptions` for the listings of distinct entities.
    void setTable(QueryTable table, bool entityCaptions);
    const QueryTable &table() const { return m_table; }
    bool hasEntityCaptions() const { return m_entityCaptions; }

    /// Field name (or alias) of a column, as the query gave it.
    QString fieldName(int column) const;
    /// Display width of a column in pixels for entity listings, 0 for the default.
    int columnWidth(int column) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    /// Text shown in a cell (NULL shows as empty).
    QString text(int row, int column) const;

private:
    QueryTable m_table;
    std::vector<qsizetype> m_order; ///< display row -> table row
    bool m_entityCaptions = false;
};
