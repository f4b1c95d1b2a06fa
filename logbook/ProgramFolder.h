#pragma once
#include <QString>

/// The folder of the running program, whether or not a QCoreApplication runs
/// (test programs without one find what lies beside them too).
QString programFolder();
