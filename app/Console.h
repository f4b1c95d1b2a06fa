#pragma once

/// Readies standard output and error for the headless report. On Windows
/// the program is built as a windowed program, which gets no console of its
/// own: output that leads nowhere is joined to the console of the program
/// that started it (a redirection into a file or pipe is kept), and lines
/// end in LF as on other systems, so that a report is the same file
/// everywhere. Elsewhere there is nothing to do (ConsolePosix.cpp,
/// ConsoleWin.cpp).
void prepareReportConsole();
