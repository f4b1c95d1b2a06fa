#pragma once
#include "logbook/types/Prompter.h"

#include <QQueue>
#include <QString>
#include <QStringList>
#include <QVector>

/// A Prompter for tests: answers from queues and records every request.
/// Without a queued answer a message is answered OK (or Yes for Yes/No
/// questions), an input box and a file dialog are cancelled.
class FakePrompter : public Prompter {
public:
    enum class Kind { Message, Input, OpenFile, SaveFile, OpenDocument };

    struct Request {
        Kind kind;
        QString text; ///< message text, input prompt, or the document path
        QString title;
        int flags = 0;  ///< message flags
        QString filter; ///< file dialogs
        QString folder; ///< file dialogs: start folder or proposed path; input: default text
        QString detail; ///< message: the reason shown beneath the text
    };

    int message(const QString &text, int flags, const QString &title, const QString &detail = QString()) override;
    QString input(const QString &prompt, const QString &title, const QString &defaultText) override;
    QString openFile(const QString &title, const QString &filter, const QString &folder) override;
    QString saveFile(const QString &title, const QString &filter, const QString &proposedPath) override;
    void beep() override { ++beeps; }
    bool openDocument(const QString &path) override;

    /// Requests of one kind in the order they came.
    QVector<Request> of(Kind kind) const;
    QVector<Request> messages() const { return of(Kind::Message); }
    /// Message texts and titles in order, for compact comparisons.
    QStringList messageTexts() const;
    QStringList messageTitles() const;
    void clear();

    QQueue<int> messageAnswers;
    QQueue<QString> inputAnswers;
    QQueue<QString> openFileAnswers;
    QQueue<QString> saveFileAnswers;
    bool openDocumentAnswer = true;

    QVector<Request> requests;
    int beeps = 0;
};
