#pragma once
#include <QString>

/// Message box flags and answers, as the program's messages give them.
namespace MsgFlags {
constexpr int OkOnly = 0;
constexpr int YesNo = 4;
constexpr int Critical = 16;
constexpr int Exclamation = 48;
constexpr int Information = 64;
constexpr int YesNoInformation = YesNo | Information; // 68
} // namespace MsgFlags

namespace MsgAnswer {
constexpr int Ok = 1;
constexpr int Yes = 6;
constexpr int No = 7;
} // namespace MsgAnswer

/// Every question the program puts to the operator goes through here: message
/// boxes, the input box, file dialogs and the beep. The window build shows real
/// dialogs; tests answer from a queue and record what was asked.
class Prompter {
public:
    virtual ~Prompter() = default;

    /// Shows `text` (lines joined by CR LF) with `flags` and `title`; an empty
    /// title means the program's own. `detail`, when given, says why (the
    /// engine's reason) beneath the text. Returns MsgAnswer::Ok, Yes or No.
    virtual int message(const QString &text, int flags, const QString &title, const QString &detail = QString()) = 0;

    /// Asks for a line of text; the empty text when cancelled.
    virtual QString input(const QString &prompt, const QString &title, const QString &defaultText) = 0;

    /// Asks for an existing file; its full path, or the empty text when cancelled.
    virtual QString openFile(const QString &title, const QString &filter, const QString &folder) = 0;

    /// Asks where to save; the chosen full path, or the empty text when cancelled.
    virtual QString saveFile(const QString &title, const QString &filter, const QString &proposedPath) = 0;

    /// The system beep.
    virtual void beep() = 0;

    /// Opens a document in the desktop's application for it (a spreadsheet);
    /// false when no application could open it.
    virtual bool openDocument(const QString &path)
    {
        Q_UNUSED(path);
        return false;
    }
};
