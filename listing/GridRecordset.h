#pragma once
#include "logbook/jet/QueryTable.h"

#include <QAbstractTableModel>

/// The rows of the current listing as a read-only table model. Entity listings
/// show the columns after the entity (and after its name, in listings of DXC
/// entities) under the grid's own captions; every other result keeps its field
/// names. Sorting by a column reorders the rows in place.
class GridRecordset : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit GridRecordset(QObject *parent = nullptr);

    /// Replaces the rows; `entityCaptions` for the listings of distinct
    /// entities, `entityNames` when column 1 holds the entities' names.
    void setTable(QueryTable table, bool entityCaptions, bool entityNames = false);
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
    int m_firstCaptioned = 1; ///< the first column under the grid's captions
};
