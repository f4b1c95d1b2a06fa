#include "bands/BandPresets.h"

namespace BandPresets {

namespace {
constexpr int Positions = 20;
}

const std::vector<BandPreset> &all()
{
    static const std::vector<BandPreset> presets = {
        {"MnuDefault",
         "DEFAULT",
         "F12",
         {"0.134", "1.8", "3.5", "7.0", "10.1", "14.0", "18.1", "21.0", "24.9", "28.0",
          "50",    "70",  "144", "220", "430",  "1200", "2400", "5600", "10G",  "24G"},
         false},
        {"MnuDxc5", "DXCC 5 BAND", "", {"3.5", "7.0", "14.0", "21.0", "28.0"}, true},
        {"MnuWark", "DXCC WARC", "", {"10.1", "18.1", "24.9"}, true},
        {"mnuDxcHF", "DXCC HF", "", {"1.8", "3.5", "7.0", "10.1", "14.0", "18.1", "21.0", "24.9", "28.0"}, true},
        {"mnuDxchf6m", "DXCC HF + 6m", "", {"1.8", "3.5", "7.0", "10.1", "14.0", "18.1", "21.0", "24.9", "28.0", "50"}, true},
        {"mnuvhf", "DXCC VHF", "", {"144", "220", "430", "1200", "2400", "5600", "10G", "24G"}, true},
        {"mnuvhf6", "DXCC VHF + 6m", "", {"50", "144", "220", "430", "1200", "2400", "5600", "10G", "24G"}, true},
    };
    return presets;
}

const BandPreset *find(const QString &name)
{
    const QString wanted = name.trimmed();
    for (const BandPreset &p : all()) {
        if (p.caption.compare(wanted, Qt::CaseInsensitive) == 0 || p.objectName.compare(wanted, Qt::CaseInsensitive) == 0)
            return &p;
    }
    return nullptr;
}

QStringList headersAfter(const BandPreset &preset, const QStringList &current)
{
    QStringList headers = current.mid(0, Positions);
    while (headers.size() < Positions)
        headers << QString();
    if (preset.clearFirst) {
        for (QString &h : headers)
            h.clear();
    }
    for (int c = 0; c < preset.bands.size() && c < Positions; ++c)
        headers[c] = preset.bands[c];
    return headers;
}

} // namespace BandPresets
