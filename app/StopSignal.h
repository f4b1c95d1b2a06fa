#pragma once

/// Ends the event loop of the running QCoreApplication, which then returns 0,
/// when the program is asked to stop from outside: SIGINT (Ctrl+C) or SIGTERM
/// on POSIX systems; Ctrl+C, Ctrl+Break or the console closing on Windows
/// (StopSignalPosix.cpp, StopSignalWin.cpp), or WM_CLOSE posted to the main
/// thread on Windows (taskkill without /F). Call once the application exists.
void quitOnStopSignals();
