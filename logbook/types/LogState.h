#pragma once
#include <QString>
#include <cstdint>

/// The program-wide state, one record owned by the main window. Field names are
/// the program's own vocabulary and used as they stand.
struct LogState {
    QString LogName;             ///< base name of the loaded logbook; empty = none loaded
    QString PendingLogName;      ///< name given on the command line, consumed by the next load
    int16_t ActiveBandCount = 0; ///< band headers that hold a band, as last counted
    QString StationCallsign;
    QString ListingQuery;    ///< SQL text of the next listing
    int16_t HeaderIndex = 0; ///< Lblstat index (320 + c) of the header of the last double-clicked cell
    QString ChosenBand;      ///< band of the single-band window

    QString LogPath;       ///< full path of the logbook file that is really opened
    QString ProgramFolder; ///< folder of the executable: where names without a folder are looked for

    bool hasLog() const { return !LogName.isEmpty(); }
};
