#pragma once
#include <string>

/// One DXCC entity: what the country file says of a current one, or what the
/// table of deleted entities says of a deleted one.
struct DxccEntity {
    std::string prefix;    ///< its primary (usual) prefix, as the list writes it: "3B8", "VK9X", "3D2/c"
    std::string name;      ///< "Mauritius"
    int adif = 0;          ///< ADIF entity code (DXCC_Entity_Code)
    std::string continent; ///< "AF" ... "SA"; empty when unknown
    int cqZone = 0;        ///< 0 when unknown
    int ituZone = 0;       ///< 0 when unknown
    bool deleted = false;
    std::string countsUntil; ///< deleted ones: the last date whose contacts count, ISO "1990-10-02"
};
