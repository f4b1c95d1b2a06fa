#include "bands/BandChoice.h"

#include <gtest/gtest.h>

TEST(BandChoice, ChoiceGoesToTheFirstEmptyPosition)
{
    QStringList h(20);
    h[0] = "14.0";
    h[1] = "21.0";
    h = BandChoice::choose(h, "7.0");
    EXPECT_EQ(h[2], "7.0");
    h = BandChoice::choose(h, "7.0"); // the same band again is added again
    EXPECT_EQ(h[3], "7.0");
    h[5] = " ";
    h[4] = "x";
    h = BandChoice::choose(h, "28.0"); // a blank caption is not empty
    EXPECT_EQ(h[5], " ");
    EXPECT_EQ(h[6], "28.0");
}

TEST(BandChoice, NoneAndFullSetsChangeNothing)
{
    QStringList h(20);
    h[0] = "14.0";
    EXPECT_EQ(BandChoice::choose(h, "NONE"), h);
    QStringList full(20, "50");
    EXPECT_EQ(BandChoice::choose(full, "7.0"), full);
    full = BandChoice::clearLast(full);
    EXPECT_EQ(full[19], "");
    EXPECT_EQ(BandChoice::choose(full, "7.0")[19], "7.0");
}

TEST(BandChoice, ClearRemovesFromTheEnd)
{
    QStringList h(20);
    h[0] = "3.5";
    h[1] = "7.0";
    h[2] = "14.0";
    h = BandChoice::clearLast(h);
    EXPECT_EQ(h.mid(0, 3), QStringList({"3.5", "7.0", ""}));
    h = BandChoice::clearLast(BandChoice::clearLast(h));
    EXPECT_EQ(h, QStringList(20));
    EXPECT_EQ(BandChoice::clearLast(h), QStringList(20));
}
