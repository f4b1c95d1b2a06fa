#include "Console.h"

void prepareReportConsole() {}
