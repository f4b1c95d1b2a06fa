#pragma once
#include "logbook/types/Prompter.h"

#include <QPointer>
#include <QWidget>

/// The operator's side of Prompter: message boxes, the input box, file dialogs
/// and the beep of the toolkit, owned by the window given as parent.
class QtPrompter : public Prompter {
public:
    explicit QtPrompter(QWidget *parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget *parent) { m_parent = parent; }

    int message(const QString &text, int flags, const QString &title, const QString &detail = QString()) override;
    QString input(const QString &prompt, const QString &title, const QString &defaultText) override;
    QString openFile(const QString &title, const QString &filter, const QString &folder) override;
    QString saveFile(const QString &title, const QString &filter, const QString &proposedPath) override;
    void beep() override;
    bool openDocument(const QString &path) override;

private:
    QPointer<QWidget> m_parent;
};
