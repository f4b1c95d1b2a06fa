#pragma once
// Logbooks for the count evaluator's tests: generated rows (plus rows whose
// texts differ only in case or reach beyond ASCII), written with the
// project's Jet writer and opened as the program opens them.

#include "logbook/LogSnapshot.h"
#include "tests/support/TempLogbook.h"
#include "tools/genlog/LogGenerator.h"

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
    std::shared_ptr<const LogSnapshot> log;
};

/// Contacts of one entity in every award column that no generated row has,
/// on 21.0 in every mode class and never confirmed.
std::vector<genlog::LogRow> neverConfirmedRows();

/// genlog::generate(count, seed) followed by caseVariantRows() and `extra`, opened.
OpenedLog openGenerated(size_t count, uint32_t seed, const std::vector<genlog::LogRow> &extra = {});

/// Distinct band labels of the rows (NULL left out), as the generator wrote them.
std::vector<std::string> bandLabels(const std::vector<genlog::LogRow> &rows);

} // namespace counttest
