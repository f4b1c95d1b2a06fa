#pragma once
#include "logbook/types/Prompter.h"

/// Hears what a count done in the background would tell the operator, without
/// showing it: the window says why later, in a line of its own.
class QuietPrompter : public Prompter {
public:
    int message(const QString &text, int, const QString &, const QString &detail) override
    {
        if (reason.isEmpty())
            reason = detail.isEmpty() ? text : detail;
        return MsgAnswer::Ok;
    }
    QString input(const QString &, const QString &, const QString &) override { return {}; }
    QString openFile(const QString &, const QString &, const QString &) override { return {}; }
    QString saveFile(const QString &, const QString &, const QString &) override { return {}; }
    void beep() override {}

    /// Why the first failure failed; empty while nothing failed.
    QString reason;
};
