#include "StationCallsign.h"

#include <QSettings>

QString readStationCallsign()
{
#ifdef Q_OS_WIN
    const QSettings host(QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Varkel"), QSettings::NativeFormat);
    return host.value(QStringLiteral("Callsign")).toString();
#else
    if (qEnvironmentVariableIsSet("VARKEL_CALLSIGN"))
        return qEnvironmentVariable("VARKEL_CALLSIGN");
    const QSettings settings(QStringLiteral("Varkel"), QStringLiteral("VarkelChecker"));
    return settings.value(QStringLiteral("Callsign")).toString();
#endif
}
