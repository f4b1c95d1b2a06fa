#pragma once
// Random count texts of the evaluator's forms, for differential tests.

#include "LogDatabase.h"

#include <QString>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace counttest {

class RandomCondition {
public:
    /// Literals are drawn from the texts the snapshot holds in each text column.
    RandomCondition(const LogDatabase &db, uint32_t seed);

    /// A count text of one of the four forms, with a random WHERE condition.
    QString countText();
    /// A random condition, as it stands after WHERE.
    std::string condition(int depth);

    /// True when the last text holds a LIKE pattern that may be malformed.
    bool mayBeMalformed() const { return m_malformed; }

private:
    std::string columnName(const std::string &column);
    std::string literal(const std::string &column);
    std::string pattern(const std::string &column);
    std::string quoted(const std::string &value);
    std::string word(const char *w);
    std::string blank();
    const std::string &pickColumn();
    int below(int n) { return int(m_rng() % uint32_t(n)); }

    std::mt19937 m_rng;
    std::map<std::string, std::vector<std::string>> m_values;
    bool m_malformed = false;
};

} // namespace counttest
