#pragma once
#include "logbook/types/Prompter.h"

/// Passes every question on to another prompter; a base for prompters that
/// change a few of them.
class ForwardingPrompter : public Prompter {
public:
    explicit ForwardingPrompter(Prompter &to) : m_to(to) {}

    int message(const QString &text, int flags, const QString &title, const QString &detail = QString()) override
    {
        return m_to.message(text, flags, title, detail);
    }
    QString input(const QString &prompt, const QString &title, const QString &defaultText) override
    {
        return m_to.input(prompt, title, defaultText);
    }
    QString openFile(const QString &title, const QString &filter, const QString &folder) override
    {
        return m_to.openFile(title, filter, folder);
    }
    QString saveFile(const QString &title, const QString &filter, const QString &proposedPath) override
    {
        return m_to.saveFile(title, filter, proposedPath);
    }
    void beep() override { m_to.beep(); }
    bool openDocument(const QString &path) override { return m_to.openDocument(path); }

protected:
    Prompter &m_to;
};
