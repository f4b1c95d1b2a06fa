#include "stats/EntityData.h"

#include "entities/CountryFile.h"
#include "logbook/ProgramFolder.h"

#include <QDir>
#include <QFile>
#include <QHash>

namespace EntityData {
namespace {

QStringList defaultFolders()
{
    QStringList folders{programFolder()};
    for (const std::string &f : countryFileFolders())
        folders << QString::fromStdString(f);
    return folders;
}

struct Loaded {
    QString source;
    EntityTable table;
};

const Loaded &loaded()
{
    static const Loaded data = [] {
        Loaded l;
        l.table = read(defaultFolders(), &l.source);
        return l;
    }();
    return data;
}

} // namespace

EntityTable read(const QStringList &folders, QString *source)
{
    for (const QString &folder : folders) {
        QFile file(QDir(folder).filePath(QStringLiteral("cty.csv")));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QByteArray text = file.readAll();
        EntityTable table = EntityTable::fromCountryFile(std::string_view(text.constData(), size_t(text.size())));
        if (table.currentCount() == 0)
            continue; // empty or not a country file: the next one serves
        if (source)
            *source = file.fileName();
        return table;
    }
    if (source)
        source->clear();
    return EntityTable();
}

const EntityTable &table() { return loaded().table; }

QString source() { return loaded().source; }

QString name(const DxccEntity *entity)
{
    if (!entity)
        return {};
    const QString n = QString::fromStdString(entity->name);
    return entity->deleted ? n + QStringLiteral(" (deleted)") : n;
}

QString nameOf(const QString &dxcText) { return name(table().lookup(dxcText.toStdString())); }

QString withName(const QString &dxcText) { return withName(dxcText, nameOf(dxcText)); }

QString withName(const QString &text, const QString &name) { return name.isEmpty() ? text : text + QLatin1Char(' ') + name; }

void insertNames(QueryTable &table, int entityColumn)
{
    const qsizetype columns = table.columnCount();
    if (entityColumn < 0 || entityColumn >= columns)
        return;
    const qsizetype rows = table.rowCount();
    QHash<QString, QString> names; // a listing repeats its texts
    std::vector<QString> cells;
    cells.reserve(size_t(rows * (columns + 1)));
    for (qsizetype r = 0; r < rows; ++r) {
        for (qsizetype c = 0; c < columns; ++c) {
            cells.push_back(std::move(table.cells[size_t(r * columns + c)]));
            if (c != entityColumn)
                continue;
            const QString &text = cells.back();
            auto it = names.constFind(text);
            if (it == names.constEnd())
                it = names.insert(text, nameOf(text));
            cells.push_back(*it);
        }
    }
    table.cells = std::move(cells);
    table.fields.insert(entityColumn + 1, NameField);
}

} // namespace EntityData
