#include "print/ScreenPrint.h"

#include "logbook/types/Prompter.h"
#include "print/PrinterPort.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPicture>
#include <QPrinter>
#include <QPrinterInfo>
#include <QWidget>

SystemPrinter::SystemPrinter() = default;
SystemPrinter::~SystemPrinter() = default;

QPrinter *SystemPrinter::printer()
{
    if (!m_printer) {
        const QPrinterInfo info = QPrinterInfo::defaultPrinter();
        if (info.isNull())
            return nullptr;
        m_printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    }
    return m_printer.get();
}

namespace ScreenPrint {

namespace {
const QString Title = QStringLiteral("VarkelChecher Print screen!");
} // namespace

bool printLandscape(QWidget *window, QPrinter &printer)
{
    printer.setPageOrientation(QPageLayout::Landscape);
    // The window is recorded as drawing commands first and played on the page:
    // a widget tree rendered straight onto a printer is rasterised by Qt as one
    // picture of the whole page at the printer's resolution (hundreds of MB at
    // 1200 dpi), while the recording keeps text and lines as they are.
    QPicture picture;
    {
        QPainter recorder(&picture);
        window->render(&recorder, QPoint(), QRegion(), QWidget::DrawWindowBackground | QWidget::DrawChildren);
    }
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
    const QSize size = window->size();
    // Page pixels per window pixel, so the window fills the page with its proportions kept.
    const double fit = std::min(page.width() / size.width(), page.height() / size.height());
    painter.translate((page.width() - size.width() * fit) / 2, (page.height() - size.height() * fit) / 2);
    // Playing a picture already scales it from the screen's resolution to the printer's.
    painter.scale(fit * picture.logicalDpiX() / printer.resolution(), fit * picture.logicalDpiY() / printer.resolution());
    painter.drawPicture(0, 0, picture);
    return painter.end();
}

void confirmAndPrint(Prompter &prompter, PrinterPort &port, const std::function<bool(QPrinter &printer)> &print)
{
    // Without a printer there is nothing to ask.
    QPrinter *printer = port.printer();
    if (!printer) {
        prompter.message(QStringLiteral("No printer is set up on this computer: nothing was printed."), MsgFlags::Exclamation, Title);
        return;
    }
    const QString question = QStringLiteral("ATTENTION: VarkelChecker force your printer format to horizontal page") +
                             QStringLiteral("\r\n") + QStringLiteral("modify this options in the set of your printer default!") +
                             QStringLiteral("\r\n\r\n") + QStringLiteral("Print Screen?");
    if (prompter.message(question, MsgFlags::YesNo, Title) != MsgAnswer::Yes) {
        prompter.message(QStringLiteral("EXIT WITHOUT PRINTING"), MsgFlags::OkOnly, QString());
        return;
    }
    if (!print(*printer))
        prompter.message(QStringLiteral("The printer could not print the page."), MsgFlags::Exclamation, Title);
}

void run(Prompter &prompter, PrinterPort &port, QWidget *window, const std::function<void()> &prepare, const std::function<void()> &restore)
{
    confirmAndPrint(prompter, port, [&](QPrinter &printer) {
        prepare();
        QCoreApplication::processEvents();
        const bool printed = printLandscape(window, printer);
        restore();
        return printed;
    });
}

} // namespace ScreenPrint
