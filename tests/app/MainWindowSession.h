#pragma once
// One main window as the program builds it, with a scripted prompter and a
// printer that writes PDF files, for the window tests.
#include "app/MainController.h"
#include "app/MainWindow.h"
#include "print/PrinterPort.h"
#include "tests/support/FakePrompter.h"

#include <QAction>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <memory>

/// Passes the test's messages on but for the one the offscreen platform gives
/// at every window, that it cannot pass size hints on: nothing to see.
inline void quietOffscreenWarnings()
{
    static QtMessageHandler testHandler = nullptr;
    testHandler = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &context, const QString &message) {
        if (!message.contains(QLatin1String("does not support propagateSizeHints")))
            testHandler(type, context, message);
    });
}

/// Prints into a PDF file.
class PdfPrinterPort : public PrinterPort {
public:
    QPrinter *printer() override
    {
        if (!available)
            return nullptr;
        if (!m_printer) {
            m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
            m_printer->setOutputFormat(QPrinter::PdfFormat);
        }
        m_printer->setOutputFileName(file);
        return m_printer.get();
    }
    QString file;
    bool available = true;

private:
    std::unique_ptr<QPrinter> m_printer;
};

/// The settings the window reads and writes go to a folder of this test run's
/// own, never to the operator's.
inline void useScratchSettings()
{
    static QTemporaryDir folder;
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder.path());
}

/// One main window as the program builds it, with a scripted prompter.
struct Session {
    static constexpr int Bands = 20;
    static constexpr int Slots = 16;
    explicit Session(const QString &programFolder) : controller(prompter, programFolder), window(controller, nullptr, &printer)
    {
        controller.setYield([this] {
            ++yields;
            if (onYield)
                onYield();
            QCoreApplication::processEvents();
        });
        window.resize(1280, 900);
        window.show();
        window.activateWindow();
        activated = QTest::qWaitForWindowActive(&window);
    }

    void start(const QString &commandLine, QSize screen = {1280, 1024}, const QString &callsign = QStringLiteral("IK2ABC"))
    {
        controller.startUp({commandLine, screen, callsign});
    }

    template<typename T = QWidget>
    T *find(const QString &name)
    {
        T *w = window.findChild<T *>(name);
        if (!w)
            qFatal("no control %s", qPrintable(name));
        return w;
    }
    QString text(const QString &name) { return find<QLabel>(name)->text(); }
    QString cell(int band, int r) { return text(QStringLiteral("Lblstat_%1").arg(band + 20 * r)); }
    QString header(int band) { return text(QStringLiteral("Lblstat_%1").arg(320 + band)); }
    QString line(const QString &prefix, int r) { return text(QStringLiteral("%1_%2").arg(prefix).arg(r)); }
    /// The 16 counts of a band, and of a line (MIX, TOT, FULL).
    QStringList row(int band)
    {
        QStringList l;
        for (int r = 0; r < 16; ++r)
            l << cell(band, r);
        return l;
    }
    QStringList lineCaptions(const QString &prefix)
    {
        QStringList l;
        for (int r = 0; r < 16; ++r)
            l << line(prefix, r);
        return l;
    }
    QStringList headers()
    {
        QStringList list;
        for (int c = 0; c < Bands; ++c)
            list << header(c);
        return list;
    }
    QStringList allCounts()
    {
        QStringList list;
        for (int i = 0; i < 320; ++i)
            list << text(QStringLiteral("Lblstat_%1").arg(i));
        for (const char *p : {"lblMix", "LblTot", "lblFull"})
            for (int r = 0; r < Slots; ++r)
                list << line(QLatin1String(p), r);
        return list;
    }
    void clickStats(int index) { QTest::mouseClick(find<QPushButton>(QStringLiteral("CmdStats_%1").arg(index)), Qt::LeftButton); }
    QAction *action(const QString &name)
    {
        QAction *a = window.findChild<QAction *>(name);
        if (!a)
            qFatal("no menu entry %s", qPrintable(name));
        return a;
    }

    /// First of the members: the settings are scratch ones before the window reads them.
    struct Scratch {
        Scratch() { useScratchSettings(); }
    } scratch;
    FakePrompter prompter;
    PdfPrinterPort printer;
    MainController controller;
    MainWindow window;
    std::function<void()> onYield;
    int yields = 0;
    bool activated = false;
};
