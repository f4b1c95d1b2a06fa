#pragma once
#include "stats/MatrixReport.h"

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>

/// The award matrix as a table: a row per entity (its text; for DXC also its
/// name and continent), a column per band with C, W or nothing in the
/// colour of its state, the entity's bands worked and confirmed; below them
/// the bands' WORKED and CONFIRMED totals (the grid's counts).
class MatrixModel : public QAbstractTableModel {
    Q_OBJECT
public:
    /// What a column or row sorts by: texts without regard to case, cells
    /// by state (nothing, W, C), totals as numbers.
    static constexpr int SortRole = Qt::UserRole;
    /// True on the two lines of totals.
    static constexpr int TotalRole = Qt::UserRole + 1;
    /// True on a row with a band still to work or to confirm.
    static constexpr int NeededRole = Qt::UserRole + 2;

    explicit MatrixModel(QObject *parent = nullptr);

    void setReport(MatrixReport::Report report);
    const MatrixReport::Report &report() const { return m_report; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    /// The columns before the first band: the entity (and its name and continent).
    int leadColumns() const;
    /// The band (0.. of the report's bands) of a column; -1 for the others.
    int bandOf(int column) const;
    /// The entity of a row; empty for the totals.
    QString entityOf(int row) const;

private:
    QVariant cellData(const MatrixReport::Row &row, int column, int role) const;
    QVariant totalData(int line, int column, int role) const;

    MatrixReport::Report m_report;
};

/// The matrix as the window shows it: sorted by any column, the totals kept
/// below the entities whatever the order, "needed only" leaving out the
/// entities confirmed on every band.
class MatrixFilter : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit MatrixFilter(QObject *parent = nullptr);

    void setNeededOnly(bool neededOnly);
    bool neededOnly() const { return m_neededOnly; }

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;
    bool lessThan(const QModelIndex &left, const QModelIndex &right) const override;

private:
    bool m_neededOnly = false;
};
