#pragma once
// Logbooks for the count evaluator's tests: generated rows (plus rows whose
// texts differ only in case or reach beyond ASCII), written with the
// project's Jet writer and opened as the program opens them.

#include "LogDatabase.h"
#include "LogGenerator.h"
#include "TempLogbook.h"
#include "count/CountEvaluator.h"

#include <QString>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace counttest {

/// Rows whose texts test case folding: the same entity in several spellings,
/// letters outside ASCII whose case folds, NULL and empty texts.
std::vector<genlog::LogRow> caseVariantRows();

/// A logbook opened through LogbookEngine, with its rows.
struct OpenedLog {
    std::vector<genlog::LogRow> rows;
    std::unique_ptr<TempLogbook> folder;
    std::shared_ptr<const LogDatabase> db;
};

/// genlog::generate(count, seed) followed by caseVariantRows(), opened.
OpenedLog openGenerated(size_t count, uint32_t seed);

/// What SQLite answers (db.scalar), or nothing when it fails.
std::optional<QString> sqliteCount(const LogDatabase &db, const QString &text, const QString &field = QStringLiteral("Quanti"));

/// What the evaluator answers, or nothing when it leaves the text to SQLite.
std::optional<CountAnswer> evaluatorCount(const LogDatabase &db, const QString &text);

/// Distinct values of a column in the rows (NULL left out), as the generator wrote them.
std::vector<std::string> distinctValues(const std::vector<genlog::LogRow> &rows, const char *column);

/// The text columns of LOG by name, and their values in a row.
const std::vector<std::string> &textColumns();
const genlog::Text &valueOf(const genlog::LogRow &row, const std::string &column);

} // namespace counttest
