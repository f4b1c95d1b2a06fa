#pragma once
#include <QString>

/// The station callsign shown in the title line. On Windows it is the value
/// "Callsign" of the host program's key HKEY_LOCAL_MACHINE\Software\Varkel,
/// in the registry's 32-bit view first (where a 32-bit host program writes
/// it on 64-bit Windows), then in the 64-bit view.
/// Elsewhere it is the environment variable VARKEL_CALLSIGN when set, else the
/// setting "Callsign" of organization "Varkel", application "VarkelChecker".
/// Empty when none of them holds a value.
QString readStationCallsign();
