#include "listing/NeededSheets.h"

#include "stats/GridTexts.h"

namespace NeededSheets {

std::vector<List> lists(const Needed::Tables &tables, AwardKind kind, const QString &logName)
{
    const QString head = QStringLiteral("What do I still need? %1 [%2] - ").arg(GridTexts::kindCaption(kind), logName);
    return {{QStringLiteral("QSL chase"), head + QStringLiteral("QSL chase (%1)").arg(tables.qsl.rowCount()), &tables.qsl},
            {QStringLiteral("Band-slot chase"),
             head + QStringLiteral("Band-slot chase, every mode class (%1)").arg(tables.bandSlots.rowCount()), &tables.bandSlots}};
}

std::vector<Sheet> sheets(const std::vector<List> &lists)
{
    const auto cell = [](const QString &text, bool bold) {
        SheetCell c;
        c.text = text;
        c.bold = bold;
        return c;
    };
    std::vector<Sheet> out;
    for (const List &list : lists) {
        const QueryTable &table = *list.table;
        Sheet sheet{list.name, {{cell(list.title, true)}}, 2, 0};
        std::vector<SheetCell> titles;
        for (const QString &field : table.fields)
            titles.push_back(cell(field, true));
        sheet.rows.push_back(std::move(titles));
        for (qsizetype r = 0; r < table.rowCount(); ++r) {
            std::vector<SheetCell> row;
            for (qsizetype c = 0; c < table.columnCount(); ++c)
                row.push_back(cell(table.at(r, c), false));
            sheet.rows.push_back(std::move(row));
        }
        out.push_back(std::move(sheet));
    }
    return out;
}

} // namespace NeededSheets
