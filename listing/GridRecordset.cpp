#include "listing/GridRecordset.h"

#include <algorithm>
#include <numeric>

namespace {

struct EntityColumn {
    int twips;
    const char *caption;
};

/// Captions and widths of the columns after the entity itself.
const EntityColumn EntityColumns[] = {
    {1200, "FIRST CALL"}, {600, "BAND"},  {700, "MODE"},   {1700, "FIRST QSO DATE"},       {1000, "MANAGER"},
    {600, "QSLtx"},       {600, "QSLrx"}, {700, "QSLawd"}, {3600, "AWARD DXC WPX WAZ..."},
};
constexpr int EntityColumnCount = int(std::size(EntityColumns));
/// The width of the names of DXC entities ("Prince Edward & Marion Islands").
constexpr int NameTwips = 2700;
constexpr int TwipsPerPixel = 15;

} // namespace

GridRecordset::GridRecordset(QObject *parent) : QAbstractTableModel(parent) {}

void GridRecordset::setTable(QueryTable table, bool entityCaptions, bool entityNames)
{
    beginResetModel();
    m_table = std::move(table);
    m_entityCaptions = entityCaptions;
    m_firstCaptioned = entityCaptions && entityNames ? 2 : 1;
    m_order.resize(size_t(m_table.rowCount()));
    std::iota(m_order.begin(), m_order.end(), 0);
    endResetModel();
}

QString GridRecordset::fieldName(int column) const { return m_table.fields.value(column); }

int GridRecordset::columnWidth(int column) const
{
    if (!m_entityCaptions || column < 1 || column >= m_firstCaptioned + EntityColumnCount)
        return 0;
    const int twips = column < m_firstCaptioned ? NameTwips : EntityColumns[column - m_firstCaptioned].twips;
    return twips / TwipsPerPixel * 12 / 10;
}

int GridRecordset::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : int(m_order.size()); }

int GridRecordset::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : int(m_table.columnCount()); }

QString GridRecordset::text(int row, int column) const
{
    if (row < 0 || size_t(row) >= m_order.size() || column < 0 || column >= m_table.columnCount())
        return {};
    return m_table.at(m_order[size_t(row)], column);
}

QVariant GridRecordset::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    return text(index.row(), index.column());
}

QVariant GridRecordset::headerData(int section, Qt::Orientation orientation, int role) const
{
    // The first click on a column sorts it ascending, whatever the column sorted before.
    if (role == Qt::InitialSortOrderRole && orientation == Qt::Horizontal)
        return int(Qt::AscendingOrder);
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    if (m_entityCaptions && section >= m_firstCaptioned && section < m_firstCaptioned + EntityColumnCount)
        return QString::fromLatin1(EntityColumns[section - m_firstCaptioned].caption);
    return fieldName(section);
}

Qt::ItemFlags GridRecordset::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void GridRecordset::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= m_table.columnCount())
        return;
    emit layoutAboutToBeChanged();
    // One key per row, made once: NULL first, then numbers as numbers, then
    // text without regard to case.
    struct Key {
        int kind; ///< 0 NULL, 1 number, 2 text
        double number;
        QString text;
    };
    std::vector<Key> keys(size_t(m_table.rowCount()));
    for (qsizetype row = 0; row < m_table.rowCount(); ++row) {
        const QString &value = m_table.at(row, column);
        Key &key = keys[size_t(row)];
        bool numeric = false;
        key.number = value.isNull() ? 0 : value.toDouble(&numeric);
        key.kind = value.isNull() ? 0 : numeric ? 1 : 2;
        if (key.kind == 2)
            key.text = value.toCaseFolded();
    }
    const auto less = [&keys](qsizetype a, qsizetype b) {
        const Key &x = keys[size_t(a)];
        const Key &y = keys[size_t(b)];
        if (x.kind != y.kind)
            return x.kind < y.kind;
        if (x.kind == 1)
            return x.number < y.number;
        return x.text < y.text;
    };
    std::stable_sort(m_order.begin(), m_order.end(),
                     [&](qsizetype a, qsizetype b) { return order == Qt::AscendingOrder ? less(a, b) : less(b, a); });
    emit layoutChanged();
}
