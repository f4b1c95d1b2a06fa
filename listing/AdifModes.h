#pragma once
#include <QString>
#include <optional>

/// A log's mode text as ADIF names it: a mode of ADIF's mode enumeration, or
/// a submode with the mode it belongs to ("FT4" is MFSK with submode FT4,
/// "USB" is SSB with submode USB). Texts are compared without regard to case
/// and to blanks around them.
namespace AdifModes {

struct Mode {
    QString mode;
    QString submode; ///< empty when the text is a mode of its own
};

/// The ADIF mode of `logMode`; nothing when ADIF has no such mode or submode.
std::optional<Mode> of(const QString &logMode);

} // namespace AdifModes
