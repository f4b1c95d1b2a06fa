#pragma once
#include "logbook/LoadedLog.h"

#include <QString>
#include <cstdint>

/// The main window's state beside the loaded logbook, one record owned by its
/// controller. Field names are the program's own vocabulary.
struct LogState : LoadedLog {
    QString PendingLogName;      ///< name given on the command line, consumed by the next load
    int16_t ActiveBandCount = 0; ///< band headers that hold a band, counted at start-up
    QString StationCallsign;
    QString ChosenBand;    ///< band of the single-band window
    QString ProgramFolder; ///< folder of the executable: where names without a folder are looked for
};
