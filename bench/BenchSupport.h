#pragma once
// What every benchmark program needs: its sizes, the generated logbooks, a
// prompter that only reports, and the clock.

#include "logbook/types/QuietPrompter.h"
#include "tools/genlog/LogGenerator.h"

#include <QDir>
#include <QFileInfo>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;

inline double seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

/// The contact counts named on the command line, else the defaults.
inline std::vector<size_t> sizes(int argc, char **argv, std::vector<size_t> defaults)
{
    std::vector<size_t> out;
    for (int i = 1; i < argc; ++i)
        out.push_back(std::strtoull(argv[i], nullptr, 10));
    return out.empty() ? defaults : out;
}

/// The generated logbook of `contacts` contacts (seed 42) in /tmp/varkel-bench,
/// written on first use; nothing when it cannot be written.
inline std::optional<QString> logbook(size_t contacts)
{
    const QString folder = QDir::temp().filePath(QStringLiteral("varkel-bench"));
    QDir().mkpath(folder);
    const QString path = QDir(folder).filePath(QStringLiteral("bench%1dt.mdb").arg(contacts));
    if (!QFileInfo::exists(path)) {
        const std::string error = genlog::writeGeneratedLogbook(path.toStdString(), contacts, 42);
        if (!error.empty()) {
            std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(path), error.c_str());
            return std::nullopt;
        }
    }
    return path;
}

/// Answers nothing; a message means a computation failed, and is printed.
class QuietPrompter : public ::QuietPrompter {
public:
    int message(const QString &text, int, const QString &title, const QString &detail) override
    {
        std::fprintf(stderr, "message: %s (%s) %s\n", qPrintable(text), qPrintable(title), qPrintable(detail));
        ++failures;
        return MsgAnswer::Ok;
    }
    int failures = 0;
};

} // namespace bench
