#include "matrixwindow/MatrixModel.h"

#include "matrixwindow/MatrixColours.h"
#include "stats/EntityData.h"
#include "stats/GridTexts.h"

#include <QColor>
#include <QFont>

using AwardMatrix::Cell;

namespace {

const QString WorkedTitle = QStringLiteral("WORKED");
const QString ConfirmedTitle = QStringLiteral("CONFIRMED");

QColor colour(uint32_t rgb) { return QColor::fromRgb(QRgb(rgb)); }

} // namespace

MatrixModel::MatrixModel(QObject *parent) : QAbstractTableModel(parent) {}

void MatrixModel::setReport(MatrixReport::Report report)
{
    beginResetModel();
    m_report = std::move(report);
    endResetModel();
}

int MatrixModel::leadColumns() const { return m_report.dxcc ? 3 : 1; }

int MatrixModel::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : int(m_report.rows.size()) + 2; }

int MatrixModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : leadColumns() + int(m_report.bands.size()) + 2;
}

int MatrixModel::bandOf(int column) const
{
    const int band = column - leadColumns();
    return band >= 0 && band < m_report.bands.size() ? band : -1;
}

QString MatrixModel::entityOf(int row) const
{
    return row >= 0 && size_t(row) < m_report.rows.size() ? m_report.rows[size_t(row)].entity : QString();
}

QVariant MatrixModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    const size_t row = size_t(index.row());
    if (row >= m_report.rows.size())
        return totalData(int(row - m_report.rows.size()), index.column(), role);
    return cellData(m_report.rows[row], index.column(), role);
}

QVariant MatrixModel::cellData(const MatrixReport::Row &row, int column, int role) const
{
    const int band = bandOf(column);
    const int totals = leadColumns() + int(m_report.bands.size());
    if (role == TotalRole)
        return false;
    if (role == NeededRole)
        return MatrixReport::needed(row);
    if (band >= 0) {
        const Cell c = row.cells[size_t(band)];
        switch (role) {
        case Qt::DisplayRole:
            return MatrixReport::cellText(c);
        case SortRole:
            return int(c);
        case Qt::BackgroundRole:
            return colour(MatrixColours::of(c));
        case Qt::ForegroundRole:
            return QColor(Qt::black);
        case Qt::TextAlignmentRole:
            return int(Qt::AlignCenter);
        case Qt::ToolTipRole: {
            return QStringLiteral("%1 on %2: %3\nDouble-click to list its contacts there")
                .arg(EntityData::withName(row.entity, row.name), m_report.bands[band], MatrixReport::cellState(c));
        }
        default:
            return {};
        }
    }
    if (column >= totals) {
        const int n = column == totals ? row.worked : row.confirmed;
        switch (role) {
        case Qt::DisplayRole:
        case SortRole:
            return n;
        case Qt::BackgroundRole:
            return colour(MatrixColours::Totals);
        case Qt::ForegroundRole:
            return QColor(Qt::black);
        case Qt::TextAlignmentRole:
            return int(Qt::AlignCenter);
        default:
            return {};
        }
    }
    if (role != Qt::DisplayRole && role != SortRole)
        return {};
    switch (column) {
    case 0:
        return row.entity;
    case 1:
        return row.name;
    default:
        return row.continent;
    }
}

QVariant MatrixModel::totalData(int line, int column, int role) const
{
    const int band = bandOf(column);
    switch (role) {
    case TotalRole:
        return true;
    case NeededRole:
        return false;
    case Qt::BackgroundRole:
        return colour(MatrixColours::Totals);
    case Qt::ForegroundRole:
        return QColor(Qt::black);
    case Qt::FontRole: {
        QFont bold;
        bold.setBold(true);
        return bold;
    }
    case Qt::TextAlignmentRole:
        return band >= 0 ? int(Qt::AlignCenter) : int(Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::DisplayRole:
        if (column == 0)
            return line == 0 ? WorkedTitle : ConfirmedTitle;
        if (band >= 0)
            return qlonglong(line == 0 ? m_report.columnWorked[size_t(band)] : m_report.columnConfirmed[size_t(band)]);
        return {};
    case Qt::ToolTipRole:
        if (band >= 0)
            return QStringLiteral("Entities %1 on %2: the grid's %1 count")
                .arg(line == 0 ? QStringLiteral("worked") : QStringLiteral("confirmed"), m_report.bands[band]);
        return {};
    default:
        return {};
    }
}

QVariant MatrixModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return {};
    if (role == Qt::ToolTipRole && bandOf(section) >= 0)
        return QStringLiteral("C confirmed, W worked not confirmed, empty not worked; a click sorts");
    if (role != Qt::DisplayRole)
        return {};
    if (const int band = bandOf(section); band >= 0)
        return m_report.bands[band];
    const int totals = leadColumns() + int(m_report.bands.size());
    if (section == totals)
        return WorkedTitle;
    if (section > totals)
        return ConfirmedTitle;
    switch (section) {
    case 0:
        return m_report.kind;
    case 1:
        return QStringLiteral("NAME");
    default:
        return QStringLiteral("CONT");
    }
}

MatrixFilter::MatrixFilter(QObject *parent) : QSortFilterProxyModel(parent)
{
    setSortRole(MatrixModel::SortRole);
    setSortCaseSensitivity(Qt::CaseInsensitive);
}

void MatrixFilter::setNeededOnly(bool neededOnly)
{
    if (m_neededOnly == neededOnly)
        return;
    m_neededOnly = neededOnly;
    invalidateFilter();
}

bool MatrixFilter::filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const
{
    if (!m_neededOnly)
        return true;
    const QModelIndex i = sourceModel()->index(sourceRow, 0, sourceParent);
    return i.data(MatrixModel::TotalRole).toBool() || i.data(MatrixModel::NeededRole).toBool();
}

bool MatrixFilter::lessThan(const QModelIndex &left, const QModelIndex &right) const
{
    // The totals stay below the entities in either order.
    const bool leftTotal = left.data(MatrixModel::TotalRole).toBool(), rightTotal = right.data(MatrixModel::TotalRole).toBool();
    if (leftTotal || rightTotal) {
        if (leftTotal && rightTotal)
            return (left.row() < right.row()) == (sortOrder() == Qt::AscendingOrder);
        return rightTotal == (sortOrder() == Qt::AscendingOrder);
    }
    const QVariant a = left.data(MatrixModel::SortRole), b = right.data(MatrixModel::SortRole);
    if (a.typeId() == QMetaType::QString)
        return QString::compare(a.toString(), b.toString(), Qt::CaseInsensitive) < 0;
    return a.toInt() < b.toInt();
}
