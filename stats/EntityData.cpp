#include "EntityData.h"

#include "CountryFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

namespace EntityData {
namespace {

QStringList defaultFolders()
{
    QStringList folders;
    if (QCoreApplication::instance())
        folders << QCoreApplication::applicationDirPath();
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

} // namespace EntityData
