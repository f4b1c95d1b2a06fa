#include "entities/CountryFile.h"

// Debian's package hamradio-files installs the country files here.
std::vector<std::string> countryFileFolders() { return {"/usr/share/hamradio-files"}; }
