#include "logbook/LogFileName.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(LogFileName, ChosenTitleGivesUpperCasedBaseName)
{
    EXPECT_EQ(*LogFileName::fromChosenTitle(QStringLiteral("varkeldt.mdb")), "VARKELDT");
    EXPECT_EQ(*LogFileName::fromChosenTitle(QStringLiteral("log.mdb")), "LOG");
    EXPECT_EQ(*LogFileName::fromChosenTitle(QStringLiteral("mylog.backup.mdb")), "MYLOG");
    EXPECT_EQ(*LogFileName::fromChosenTitle(QStringLiteral("varkeldt2018.mdb")), "VARKELDT");
    EXPECT_EQ(*LogFileName::fromChosenTitle(QStringLiteral("ab cdefgh.mdb")), "AB CDEFG");
    EXPECT_EQ(*LogFileName::fromChosenTitle(QStringLiteral("abcdefg h.mdb")), "ABCDEFG");
    EXPECT_FALSE(LogFileName::fromChosenTitle(QStringLiteral("varkeldt")).ok());
}

TEST(LogFileName, DisplayNameDropsTheLastTwoCharacters)
{
    EXPECT_EQ(*LogFileName::displayName(QStringLiteral("VARKELDT")), "VARKEL");
    EXPECT_EQ(*LogFileName::displayName(QStringLiteral("LOG")), "L");
    EXPECT_EQ(*LogFileName::displayName(QStringLiteral("varkeldt")), "varkel");
    EXPECT_EQ(*LogFileName::displayName(QStringLiteral("DT")), "");
    EXPECT_FALSE(LogFileName::displayName(QStringLiteral("X")).ok());
}

TEST(LogFileName, CommandLineNameIsTrimmedNotChanged)
{
    EXPECT_EQ(LogFileName::fromCommandLine(QStringLiteral("  varkeldt ")), "varkeldt");
    EXPECT_EQ(LogFileName::fromCommandLine(QStringLiteral("/home/op/logs/varkeldt")), "varkeldt");
    // With or without its extension, a logbook shows the same display name.
    EXPECT_EQ(LogFileName::fromCommandLine(QStringLiteral("varkeldt.mdb")), "varkeldt");
    EXPECT_EQ(LogFileName::fromCommandLine(QStringLiteral("C:\\Varkel\\Data\\VarkelDT.MDB")), "VarkelDT");
    EXPECT_EQ(LogFileName::fromCommandLine(QStringLiteral("log.backup")), "log.backup");
}

TEST(LogFileName, CommandLineNameIsFoundInTheProgramFolder)
{
    QTemporaryDir dir;
    QFile f(dir.filePath(QStringLiteral("varkeldt.mdb")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    const QString expected = dir.filePath(QStringLiteral("varkeldt.mdb"));
    EXPECT_EQ(LogFileName::resolveCommandLine(QStringLiteral("varkeldt"), dir.path()), expected);
    EXPECT_EQ(LogFileName::resolveCommandLine(QStringLiteral(" varkeldt.mdb "), dir.path()), expected);
    EXPECT_EQ(LogFileName::resolveCommandLine(QStringLiteral("VARKELDT"), dir.path()), expected);
    EXPECT_EQ(LogFileName::resolveCommandLine(expected, QStringLiteral("/nowhere")), expected);
    // A name that matches nothing still points into the program folder, so the
    // computation that opens it reports the missing file.
    EXPECT_EQ(LogFileName::resolveCommandLine(QStringLiteral("other"), dir.path()), dir.filePath(QStringLiteral("other.mdb")));
}

TEST(LogFileName, WindowsPathsWithBackslashesAndAnyCase)
{
    // As Windows users type them: C:\Varkel\Data\VarkelDT.MDB, here with the
    // test folder's own path (a drive letter on Windows) in backslashes.
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("Data")));
    QFile f(dir.filePath(QStringLiteral("Data/VarkelDT.MDB")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    const QString expected = dir.filePath(QStringLiteral("Data/VarkelDT.MDB"));
    const auto backslashed = [](QString p) { return p.replace(QLatin1Char('/'), QLatin1Char('\\')); };
    for (const QString &typed : {backslashed(expected), backslashed(dir.filePath(QStringLiteral("Data/varkeldt"))),
                                 backslashed(dir.filePath(QStringLiteral("Data/VARKELDT.mdb")))}) {
        EXPECT_EQ(LogFileName::resolveCommandLine(typed, QStringLiteral("/nowhere")), expected) << typed.toStdString();
        EXPECT_EQ(LogFileName::fromCommandLine(typed).toUpper(), QStringLiteral("VARKELDT")) << typed.toStdString();
    }
}
