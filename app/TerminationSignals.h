#pragma once

/// Makes the requests to end the program from outside (SIGINT and SIGTERM;
/// on Windows Ctrl+C, Ctrl+Break and the console closing) end the event loop
/// of the running QCoreApplication, so that it returns normally: the headless
/// report's --watch ends there with status 0 (TerminationSignalsPosix.cpp,
/// TerminationSignalsWin.cpp).
void quitOnTerminationSignals();
