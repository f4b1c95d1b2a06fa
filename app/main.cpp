// VarkelChecker: award statistics of a Varkel logbook.
#include "CountQuery.h"
#include "CountSql.h"
#include "LogFileName.h"
#include "LogbookEngine.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty()) {
        err << "usage: varkelchecker LOGBOOK\n";
        return 2;
    }
    const QString path = LogFileName::resolveCommandLine(args.first(), app.applicationDirPath());
    LogbookEngine engine;
    const auto db = engine.open(path);
    if (!db) {
        err << db.error() << "\n";
        return 1;
    }
    const auto count = CountQuery(**db, CountSql::totalQsos());
    if (!count) {
        err << count.error() << "\n";
        return 1;
    }
    out << "QSOs: " << *count << "\n";
    return 0;
}
