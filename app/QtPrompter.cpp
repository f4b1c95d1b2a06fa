#include "app/QtPrompter.h"

#include "window/OwnedWindow.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QUrl>

namespace {

QString shownTitle(const QString &title) { return title.isEmpty() ? QStringLiteral("VarkelChecker") : title; }

QString shownText(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

QMessageBox::Icon iconOf(int flags)
{
    switch (flags & 0x70) {
    case 16:
        return QMessageBox::Critical;
    case 32:
        return QMessageBox::Question;
    case 48:
        return QMessageBox::Warning;
    case 64:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

QMessageBox::StandardButtons buttonsOf(int flags)
{
    switch (flags & 0x7) {
    case 1:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case 2:
        return QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
    case 3:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case 4:
        return QMessageBox::Yes | QMessageBox::No;
    case 5:
        return QMessageBox::Retry | QMessageBox::Cancel;
    default:
        return QMessageBox::Ok;
    }
}

int answerOf(int button)
{
    switch (button) {
    case QMessageBox::Cancel:
        return 2;
    case QMessageBox::Abort:
        return 3;
    case QMessageBox::Retry:
        return 4;
    case QMessageBox::Ignore:
        return 5;
    case QMessageBox::Yes:
        return MsgAnswer::Yes;
    case QMessageBox::No:
        return MsgAnswer::No;
    default:
        return MsgAnswer::Ok;
    }
}

} // namespace

int QtPrompter::message(const QString &text, int flags, const QString &title, const QString &detail)
{
    QMessageBox box(iconOf(flags), shownTitle(title), shownText(text), buttonsOf(flags));
    OwnedWindow::attach(&box, m_parent);
    if (!detail.isEmpty())
        box.setInformativeText(shownText(detail));
    return answerOf(box.exec());
}

QString QtPrompter::input(const QString &prompt, const QString &title, const QString &defaultText)
{
    QInputDialog box;
    OwnedWindow::attach(&box, m_parent);
    box.setWindowTitle(shownTitle(title));
    box.setLabelText(shownText(prompt));
    box.setInputMode(QInputDialog::TextInput);
    box.setTextValue(defaultText);
    return box.exec() == QDialog::Accepted ? box.textValue() : QString();
}

QString QtPrompter::openFile(const QString &title, const QString &filter, const QString &folder)
{
    return QFileDialog::getOpenFileName(m_parent, shownTitle(title), folder, filter);
}

QString QtPrompter::saveFile(const QString &title, const QString &filter, const QString &proposedPath)
{
    return QFileDialog::getSaveFileName(m_parent, shownTitle(title), proposedPath, filter);
}

void QtPrompter::beep() { QApplication::beep(); }

bool QtPrompter::openDocument(const QString &path) { return QDesktopServices::openUrl(QUrl::fromLocalFile(path)); }
