#pragma once
#include "ColumnarLog.h"

#include <QHash>
#include <QString>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>

class CountPlan;

/// A count and the name of the field that holds it.
struct CountAnswer {
    int64_t count = 0;
    QString field;
};

/// Answers the count texts of the statistics grid from a ColumnarLog, giving
/// the numbers the SQLite snapshot of the same log gives:
///   SELECT COUNT(* | col) AS f FROM LOG [WHERE ...]
///   SELECT COUNT(* | col) AS f FROM (SELECT DISTINCT col FROM LOG [WHERE ...])
/// with LIKE 'text', = 'text', <> 'text', AND, OR, NOT and parentheses over
/// the text columns of LOG. Any other text is not answered, so the caller
/// asks SQLite. Compiled texts are kept, since a run asks the same ones again.
class CountEvaluator {
public:
    explicit CountEvaluator(std::shared_ptr<const ColumnarLog> log);
    ~CountEvaluator();

    /// The count, or nothing when the text is not one the evaluator answers.
    std::optional<CountAnswer> count(const QString &text) const;

    const ColumnarLog &log() const { return *m_log; }

private:
    struct Compiled {
        std::shared_ptr<const CountPlan> plan; ///< nullptr: not answered here
        QString field;
    };

    std::shared_ptr<const ColumnarLog> m_log;
    mutable std::mutex m_mutex;
    mutable QHash<QString, Compiled> m_compiled;
};
