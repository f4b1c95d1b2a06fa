#include "ScreenPrint.h"

#include "PrinterPort.h"
#include "Prompter.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QWidget>

SystemPrinter::SystemPrinter() = default;
SystemPrinter::~SystemPrinter() { delete m_printer; }

QPrinter *SystemPrinter::printer()
{
    if (!m_printer) {
        const QPrinterInfo info = QPrinterInfo::defaultPrinter();
        if (info.isNull())
            return nullptr;
        m_printer = new QPrinter(info, QPrinter::HighResolution);
    }
    return m_printer;
}

namespace ScreenPrint {

namespace {
const QString Title = QStringLiteral("VarkelChecher Print screen!");
} // namespace

bool printLandscape(QWidget *window, QPrinter &printer)
{
    printer.setPageOrientation(QPageLayout::Landscape);
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
    const QSize size = window->size();
    const double scale = std::min(page.width() / size.width(), page.height() / size.height());
    painter.translate((page.width() - size.width() * scale) / 2, (page.height() - size.height() * scale) / 2);
    painter.scale(scale, scale);
    // Rendering through the painter draws text and lines at the printer's resolution.
    window->render(&painter, QPoint(), QRegion(), QWidget::DrawWindowBackground | QWidget::DrawChildren);
    return painter.end();
}

void run(Prompter &prompter, PrinterPort &port, QWidget *window, const std::function<void()> &prepare, const std::function<void()> &restore)
{
    const QString question = QStringLiteral("ATTENTION: VarkelChecker force your printer format to horizontal page") + QStringLiteral("\r\n") +
                             QStringLiteral("modify this options in the set of your printer default!") + QStringLiteral("\r\n\r\n") +
                             QStringLiteral("Print Screen?");
    if (prompter.message(question, MsgFlags::YesNo, Title) != MsgAnswer::Yes) {
        prompter.message(QStringLiteral("EXIT WITHOUT PRINTING"), MsgFlags::OkOnly, QString());
        return;
    }
    prepare();
    QCoreApplication::processEvents();
    QPrinter *printer = port.printer();
    bool printed = false;
    if (printer)
        printed = printLandscape(window, *printer);
    restore();
    if (!printer)
        prompter.message(QStringLiteral("No printer is set up on this computer: nothing was printed."), MsgFlags::Exclamation, Title);
    else if (!printed)
        prompter.message(QStringLiteral("The printer could not print the page."), MsgFlags::Exclamation, Title);
}

} // namespace ScreenPrint
