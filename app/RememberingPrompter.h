#pragma once
#include "logbook/types/ForwardingPrompter.h"

class Settings;

/// The file dialogs start where the operator last went: an open-file dialog
/// (Load LogBook) in the folder of the last file opened, a save dialog (the
/// exports) in the folder of the last file saved, with the proposed name.
/// A folder that is gone, or none yet, leaves the caller's folder. Every other
/// question passes on as it is.
class RememberingPrompter : public ForwardingPrompter {
public:
    RememberingPrompter(Prompter &to, Settings &settings) : ForwardingPrompter(to), m_settings(settings) {}

    QString openFile(const QString &title, const QString &filter, const QString &folder) override;
    QString saveFile(const QString &title, const QString &filter, const QString &proposedPath) override;

private:
    Settings &m_settings;
};
