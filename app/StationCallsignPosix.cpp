// The station callsign away from Windows: the environment, else the settings.
#include "app/StationCallsign.h"

#include <QSettings>

QString readStationCallsign()
{
    if (qEnvironmentVariableIsSet("VARKEL_CALLSIGN"))
        return qEnvironmentVariable("VARKEL_CALLSIGN");
    const QSettings settings(QStringLiteral("Varkel"), QStringLiteral("VarkelChecker"));
    return settings.value(QStringLiteral("Callsign")).toString();
}
