#include "logbook/ProgramFolder.h"

#include "logbook/mdb/ChildProcess.h"

#include <QCoreApplication>
#include <QFileInfo>

QString programFolder()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QFileInfo(QString::fromStdString(ChildProcess::runningProgram())).canonicalFilePath().section(QLatin1Char('/'), 0, -2);
}
