#pragma once
#include <QString>
#include <QStringList>
#include <vector>

/// One entry of the BAND menu: a fixed band set written into the band headers.
struct BandPreset {
    QString objectName;     ///< menu entry name, e.g. "MnuDxc5"
    QString caption;        ///< menu caption, e.g. "DXCC 5 BAND"
    QString shortcut;       ///< key sequence text ("F12") or empty
    QStringList bands;      ///< labels for positions 0, 1, 2, ...
    bool clearFirst = true; ///< every header is emptied before the labels are written
};

namespace BandPresets {

/// The BAND menu entries in menu order; DEFAULT first.
const std::vector<BandPreset> &all();

/// The preset whose caption or entry name equals `name` without regard to
/// case and surrounding blanks; nullptr when there is none.
const BandPreset *find(const QString &name);

/// The 20 header captions a preset leaves behind when applied over `current`
/// (20 captions): positions after its last label are empty unless the preset
/// writes every position directly.
QStringList headersAfter(const BandPreset &preset, const QStringList &current);

} // namespace BandPresets
