#pragma once
#include <QRect>
#include <QSettings>
#include <QString>
#include <QStringList>

#include <optional>

/// What the program remembers of the operator's last sessions, in the
/// settings of the user (QSettings, organisation "Varkel", application
/// "VarkelChecker"), never beside the logbook: the LIVE option, the
/// logbooks last loaded, the folders the file dialogs last went to and the
/// windows' places. Nothing here decides what the program does at start-up.
class Settings {
public:
    /// How many logbooks the recent list keeps.
    static constexpr int RecentCount = 5;

    /// Where a window stood when it was last hidden.
    struct WindowPlace {
        QRect frame;            ///< with its title bar and borders, in screen coordinates
        QRect client;           ///< its client area (no frame), in screen coordinates
        bool maximized = false; ///< it was maximized (the place is its last one before)
    };

    Settings();

    bool live(bool byDefault) const;
    void setLive(bool on);

    /// The logbooks last loaded, newest first, at most RecentCount.
    QStringList recentLogbooks() const;
    /// Puts `path` (made absolute) at the head of the list, once.
    void addRecentLogbook(const QString &path);
    void removeRecentLogbook(const QString &path);

    /// The folder of the last file picked in an open-file dialog (the
    /// logbook's) and of the last file saved (an export); empty when none.
    QString openFolder() const;
    void setOpenFolder(const QString &folder);
    QString saveFolder() const;
    void setSaveFolder(const QString &folder);

    /// The place of the window named `key` (its object name).
    std::optional<WindowPlace> windowPlace(const QString &key) const;
    void setWindowPlace(const QString &key, const WindowPlace &place);

private:
    mutable QSettings m_settings;
};
