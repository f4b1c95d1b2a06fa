#pragma once
#include <string>
#include <vector>

/// Where a country file (cty.csv) is looked for after the program's own
/// folder, on this system: the folder of the system's package, if any.
std::vector<std::string> countryFileFolders();
