#include "entities/CountryFile.h"

// The packages carry cty.csv beside the program; there is no system folder.
std::vector<std::string> countryFileFolders() { return {}; }
