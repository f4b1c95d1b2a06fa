#pragma once
#include <QString>

/// The logbook the program has loaded: the name the operator knows it by and
/// the file really opened. Field names are the program's own vocabulary.
struct LoadedLog {
    QString LogName; ///< base name of the loaded logbook; empty = none loaded
    QString LogPath; ///< full path of the logbook file that is really opened

    bool hasLog() const { return !LogName.isEmpty(); }
};
