#include "logbook/LogFileName.h"

#include <QDir>
#include <QFileInfo>

namespace LogFileName {

Result<QString> fromChosenTitle(const QString &fileTitle)
{
    const qsizetype dot = fileTitle.indexOf(QLatin1Char('.'));
    if (dot < 0)
        return Result<QString>::failure(QStringLiteral("file name without extension: %1").arg(fileTitle));
    return fileTitle.left(dot).toUpper().left(8).trimmed();
}

QString fromCommandLine(const QString &argument)
{
    QString name = argument.trimmed();
    if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')))
        name = QFileInfo(name.replace(QLatin1Char('\\'), QLatin1Char('/'))).fileName();
    // "varkeldt.mdb" names the same logbook as "varkeldt", and shows the same name.
    if (name.endsWith(QStringLiteral(".mdb"), Qt::CaseInsensitive))
        name.chop(4);
    return name;
}

Result<QString> displayName(const QString &logName)
{
    if (logName.size() < 2)
        return Result<QString>::failure(QStringLiteral("logbook name too short: %1").arg(logName));
    return logName.left(logName.size() - 2);
}

QString matchCaseInsensitive(const QString &path)
{
    const QFileInfo info(path);
    const QDir dir = info.dir();
    const QString wanted = info.fileName();
    // A file system that ignores case (Windows) finds the name in any case:
    // the name as the folder spells it is the one kept, as everywhere else.
    const QStringList entries = dir.entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    if (entries.contains(wanted))
        return path;
    for (const QString &entry : entries) {
        if (entry.compare(wanted, Qt::CaseInsensitive) == 0)
            return dir.filePath(entry);
    }
    return path;
}

QString resolveCommandLine(const QString &argument, const QString &programFolder)
{
    QString name = argument.trimmed();
    name.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (!name.endsWith(QStringLiteral(".mdb"), Qt::CaseInsensitive))
        name += QStringLiteral(".mdb");
    const bool hasFolder = name.contains(QLatin1Char('/'));
    const QString path = hasFolder ? name : QDir(programFolder).filePath(name);
    return matchCaseInsensitive(path);
}

} // namespace LogFileName
