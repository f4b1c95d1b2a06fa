#include "app/RememberingPrompter.h"

#include "app/Settings.h"

#include <QDir>
#include <QFileInfo>

namespace {

bool isFolder(const QString &folder) { return !folder.isEmpty() && QFileInfo(folder).isDir(); }

} // namespace

QString RememberingPrompter::openFile(const QString &title, const QString &filter, const QString &folder)
{
    const QString last = m_settings.openFolder();
    const QString chosen = ForwardingPrompter::openFile(title, filter, isFolder(last) ? last : folder);
    if (!chosen.isEmpty())
        m_settings.setOpenFolder(QFileInfo(chosen).absolutePath());
    return chosen;
}

QString RememberingPrompter::saveFile(const QString &title, const QString &filter, const QString &proposedPath)
{
    const QString last = m_settings.saveFolder();
    const QString proposed = isFolder(last) ? QDir(last).filePath(QFileInfo(proposedPath).fileName()) : proposedPath;
    const QString chosen = ForwardingPrompter::saveFile(title, filter, proposed);
    if (!chosen.isEmpty())
        m_settings.setSaveFolder(QFileInfo(chosen).absolutePath());
    return chosen;
}
