// The station callsign on Windows: the host program's registry value. The
// host program is a 32-bit program, so on 64-bit Windows its key lies in the
// 32-bit view (Software\WOW6432Node\Varkel); the 64-bit view is asked after it.
#include "app/StationCallsign.h"

#include <QSettings>

QString readStationCallsign()
{
    const QString key = QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Varkel");
    for (const QSettings::Format view : {QSettings::Registry32Format, QSettings::Registry64Format}) {
        const QSettings host(key, view);
        const QString callsign = host.value(QStringLiteral("Callsign")).toString();
        if (!callsign.isEmpty())
            return callsign;
    }
    return {};
}
