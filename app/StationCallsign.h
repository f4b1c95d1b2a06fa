#pragma once
#include <QString>

/// The station callsign shown in the title line. On Windows it is the value
/// "Callsign" of the host program's key HKEY_LOCAL_MACHINE\Software\Varkel.
/// Elsewhere it is the environment variable VARKEL_CALLSIGN when set, else the
/// setting "Callsign" of organization "Varkel", application "VarkelChecker".
/// Empty when none of them holds a value.
QString readStationCallsign();
