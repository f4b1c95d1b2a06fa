#include "app/Console.h"

void prepareReportConsole() {}
