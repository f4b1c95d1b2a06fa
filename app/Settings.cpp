#include "app/Settings.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString LiveKey = QStringLiteral("Live");
const QString RecentKey = QStringLiteral("RecentLogbooks");
const QString OpenFolderKey = QStringLiteral("Folders/Open");
const QString SaveFolderKey = QStringLiteral("Folders/Save");
const QString WindowGroup = QStringLiteral("Windows/");

/// One spelling per file: absolute and clean; the same file in another case
/// where the file system does not tell cases apart.
QString canonical(const QString &path) { return QDir::cleanPath(QFileInfo(path).absoluteFilePath()); }

bool sameFile(const QString &a, const QString &b)
{
#ifdef Q_OS_WIN
    return a.compare(b, Qt::CaseInsensitive) == 0;
#else
    return a == b;
#endif
}

QStringList without(QStringList list, const QString &path)
{
    list.removeIf([&path](const QString &p) { return sameFile(p, path); });
    return list;
}

} // namespace

Settings::Settings()
    : m_settings(QSettings::defaultFormat(), QSettings::UserScope, QStringLiteral("Varkel"), QStringLiteral("VarkelChecker"))
{
}

bool Settings::live(bool byDefault) const { return m_settings.value(LiveKey, byDefault).toBool(); }

void Settings::setLive(bool on) { m_settings.setValue(LiveKey, on); }

QStringList Settings::recentLogbooks() const { return m_settings.value(RecentKey).toStringList().mid(0, RecentCount); }

void Settings::addRecentLogbook(const QString &path)
{
    const QString file = canonical(path);
    m_settings.setValue(RecentKey, (QStringList{file} + without(recentLogbooks(), file)).mid(0, RecentCount));
}

void Settings::removeRecentLogbook(const QString &path) { m_settings.setValue(RecentKey, without(recentLogbooks(), canonical(path))); }

QString Settings::openFolder() const { return m_settings.value(OpenFolderKey).toString(); }

void Settings::setOpenFolder(const QString &folder) { m_settings.setValue(OpenFolderKey, canonical(folder)); }

QString Settings::saveFolder() const { return m_settings.value(SaveFolderKey).toString(); }

void Settings::setSaveFolder(const QString &folder) { m_settings.setValue(SaveFolderKey, canonical(folder)); }

std::optional<Settings::WindowPlace> Settings::windowPlace(const QString &key) const
{
    const QString group = WindowGroup + key + QLatin1Char('/');
    const QRect frame = m_settings.value(group + QStringLiteral("frame")).toRect();
    const QRect client = m_settings.value(group + QStringLiteral("client")).toRect();
    if (!frame.isValid() || !client.isValid())
        return std::nullopt;
    return WindowPlace{frame, client, m_settings.value(group + QStringLiteral("maximized")).toBool()};
}

void Settings::setWindowPlace(const QString &key, const WindowPlace &place)
{
    const QString group = WindowGroup + key + QLatin1Char('/');
    m_settings.setValue(group + QStringLiteral("frame"), place.frame);
    m_settings.setValue(group + QStringLiteral("client"), place.client);
    m_settings.setValue(group + QStringLiteral("maximized"), place.maximized);
}
