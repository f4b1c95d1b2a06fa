// VarkelChecker: award statistics of a Varkel logbook.
#include "app/Console.h"
#include "app/HeadlessReport.h"
#include "app/MainController.h"
#include "app/MainWindow.h"
#include "app/QtPrompter.h"
#include "app/RememberingPrompter.h"
#include "app/Settings.h"
#include "app/StationCallsign.h"
#include "window/EventYield.h"

#include <QApplication>
#include <QIcon>
#include <QScreen>
#include <QTextStream>

int main(int argc, char **argv)
{
    // The report runs without a window, and so without a display: decide before
    // any window system is touched.
    if (HeadlessReport::wanted(argc, argv)) {
        prepareReportConsole();
        return HeadlessReport::exec(argc, argv);
    }

    QApplication app(argc, argv);
    // What the toolkit has not taken of the arguments is the logbook's name.
    const Result<QString> commandLine = HeadlessReport::windowCommandLine(app.arguments().mid(1));
    if (!commandLine) {
        prepareReportConsole();
        QTextStream(stderr) << HeadlessReport::refusal(commandLine.error());
        return 2;
    }
    QApplication::setOrganizationName(QStringLiteral("Varkel"));
    QApplication::setApplicationName(QStringLiteral("VarkelChecker"));
    // The menu entry and icon the Linux package installs (on Windows the
    // program's own icon resource is the windows' icon).
    QGuiApplication::setDesktopFileName(QStringLiteral("org.varkelchecker.VarkelChecker"));
    if (QIcon::hasThemeIcon(QStringLiteral("varkelchecker")))
        QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("varkelchecker")));

    QtPrompter dialogs;
    // The file dialogs start in the folders the operator last went to.
    Settings settings;
    RememberingPrompter prompter(dialogs, settings);
    MainController controller(prompter, QCoreApplication::applicationDirPath());
    controller.setYield(eventYield());
    MainWindow window(controller);
    dialogs.setParent(&window);
    window.show();

    MainController::Startup startup;
    startup.commandLine = *commandLine;
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        startup.screenSize = screen->size();
    startup.callsign = readStationCallsign();
    controller.startUp(startup);

    return app.exec();
}
