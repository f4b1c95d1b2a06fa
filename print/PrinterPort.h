#pragma once
#include <memory>

class QPrinter;

/// Where a screen print goes. The program's port is the system's default
/// printer; tests hand in a printer that writes a PDF file.
class PrinterPort {
public:
    virtual ~PrinterPort() = default;
    /// The printer to use, kept between jobs (its orientation stays as the last
    /// job left it); nullptr when the system has no printer.
    virtual QPrinter *printer() = 0;
};

/// The system's default printer.
class SystemPrinter : public PrinterPort {
public:
    SystemPrinter();
    ~SystemPrinter() override;
    QPrinter *printer() override;

private:
    std::unique_ptr<QPrinter> m_printer;
};
