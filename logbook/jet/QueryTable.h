#pragma once
#include <QString>
#include <QStringList>
#include <vector>

/// The rows of one query result, all values as text. A NULL value is a null
/// QString (isNull()), the empty text an empty one.
struct QueryTable {
    QStringList fields;
    std::vector<QString> cells; ///< row-major, fields.size() values per row

    qsizetype columnCount() const { return fields.size(); }
    qsizetype rowCount() const { return fields.isEmpty() ? 0 : qsizetype(cells.size()) / fields.size(); }
    const QString &at(qsizetype row, qsizetype column) const { return cells[size_t(row * fields.size() + column)]; }
};
