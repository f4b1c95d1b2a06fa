#include "tests/support/FakePrompter.h"

int FakePrompter::message(const QString &text, int flags, const QString &title, const QString &detail)
{
    requests.push_back({Kind::Message, text, title, flags, {}, {}, detail});
    if (!messageAnswers.isEmpty())
        return messageAnswers.dequeue();
    return (flags & 0x7) == MsgFlags::YesNo ? MsgAnswer::Yes : MsgAnswer::Ok;
}

QString FakePrompter::input(const QString &prompt, const QString &title, const QString &defaultText)
{
    requests.push_back({Kind::Input, prompt, title, 0, {}, defaultText, {}});
    return inputAnswers.isEmpty() ? QString() : inputAnswers.dequeue();
}

QString FakePrompter::openFile(const QString &title, const QString &filter, const QString &folder)
{
    requests.push_back({Kind::OpenFile, {}, title, 0, filter, folder, {}});
    return openFileAnswers.isEmpty() ? QString() : openFileAnswers.dequeue();
}

QString FakePrompter::saveFile(const QString &title, const QString &filter, const QString &proposedPath)
{
    requests.push_back({Kind::SaveFile, {}, title, 0, filter, proposedPath, {}});
    return saveFileAnswers.isEmpty() ? QString() : saveFileAnswers.dequeue();
}

bool FakePrompter::openDocument(const QString &path)
{
    requests.push_back({Kind::OpenDocument, path, {}, 0, {}, {}, {}});
    return openDocumentAnswer;
}

QVector<FakePrompter::Request> FakePrompter::of(Kind kind) const
{
    QVector<Request> list;
    for (const Request &r : requests) {
        if (r.kind == kind)
            list.push_back(r);
    }
    return list;
}

QStringList FakePrompter::messageTexts() const
{
    QStringList list;
    for (const Request &r : of(Kind::Message))
        list << r.text;
    return list;
}

QStringList FakePrompter::messageTitles() const
{
    QStringList list;
    for (const Request &r : of(Kind::Message))
        list << r.title;
    return list;
}

void FakePrompter::clear()
{
    requests.clear();
    beeps = 0;
}
