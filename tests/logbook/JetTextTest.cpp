#include "logbook/jet/JetText.h"

#include <gtest/gtest.h>

using JetText::Match;

struct LikeCase {
    const char *name;
    const char *pattern;
    const char *value;
    Match expected;
};

class JetLike : public testing::TestWithParam<LikeCase> {};

TEST_P(JetLike, MatchesAsJetDoes)
{
    const LikeCase &c = GetParam();
    EXPECT_EQ(JetText::like(c.pattern, c.value), c.expected) << c.pattern << " vs " << c.value;
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, JetLike,
    testing::Values(LikeCase{"star_any", "*", "", Match::Yes}, LikeCase{"star_inside", "14*", "14.0", Match::Yes},
                    LikeCase{"star_both", "*S*", "PSK31", Match::Yes}, LikeCase{"literal_case", "cw", "CW", Match::Yes},
                    LikeCase{"literal_other", "CW", "CWR", Match::No}, LikeCase{"question_one", "FT?", "FT8", Match::Yes},
                    LikeCase{"question_not_empty", "FT?", "FT", Match::No}, LikeCase{"hash_digit", "FT#", "FT4", Match::Yes},
                    LikeCase{"hash_not_letter", "FT#", "FTX", Match::No}, LikeCase{"class", "[CS]W", "SW", Match::Yes},
                    LikeCase{"class_range", "[a-c]*", "Bravo", Match::Yes}, LikeCase{"class_negated", "[!C]W", "CW", Match::No},
                    LikeCase{"class_negated_hit", "[!C]W", "SW", Match::Yes}, LikeCase{"class_literal_star", "1[*]", "1*", Match::Yes},
                    LikeCase{"percent_is_literal", "10%", "100", Match::No}, LikeCase{"underscore_is_literal", "a_c", "abc", Match::No},
                    LikeCase{"non_ascii_case", "città*", "CITTÀ DEL VATICANO", Match::Yes},
                    LikeCase{"cyrillic_case", "москва", "МОСКВА", Match::Yes}, LikeCase{"unclosed_class", "[ab", "a", Match::BadPattern}),
    [](const testing::TestParamInfo<LikeCase> &info) { return std::string(info.param.name); });

TEST(JetTextCompare, IgnoresCaseAndOrdersLikeText)
{
    EXPECT_EQ(JetText::compare("ssb", "SSB"), 0);
    EXPECT_EQ(JetText::compare("Ärger", "ärger"), 0);
    EXPECT_LT(JetText::compare("14.0", "7.0"), 0);
    EXPECT_LT(JetText::compare("7", "7.0"), 0);
    EXPECT_GT(JetText::compare("b", "A"), 0);
    EXPECT_LT(JetText::compare("", "a"), 0);
}
