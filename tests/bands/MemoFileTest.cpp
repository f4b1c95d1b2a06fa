#include "bands/MemoFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <chrono>
#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace {

class MemoFileTest : public testing::Test {
protected:
    QString write(const QByteArray &bytes, const QString &name = QStringLiteral("memo1.ini"))
    {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return f.fileName();
    }
    QStringList load(const QByteArray &bytes)
    {
        const Result<QStringList> r = MemoFile::read(write(bytes));
        EXPECT_TRUE(r.ok());
        return r.ok() ? *r : QStringList();
    }
    QTemporaryDir dir;
};

QStringList bands(std::initializer_list<const char *> labels)
{
    QStringList h(20);
    int i = 0;
    for (const char *l : labels)
        h[i++] = QString::fromUtf8(l);
    return h;
}

} // namespace

TEST_F(MemoFileTest, CommentsAndBlanksAreSkippedAndLabelsCutToFiveCharacters)
{
    EXPECT_EQ(load("# my DXCC bands\n3.5\n7.0\n\n   \n14.0\n21.0\n28.0\n"), bands({"3.5", "7.0", "14.0", "21.0", "28.0"}));
    EXPECT_EQ(load("1296 MHz\r\n  14.0\r\n #7.0\r\n"), bands({"1296 ", "  14.", " #7.0"}));
}

TEST_F(MemoFileTest, AtMostTwentyBandsAreRead)
{
    QByteArray text;
    for (int i = 1; i <= 25; ++i)
        text += QByteArray::number(i) + "\n";
    const QStringList h = load(text);
    ASSERT_EQ(h.size(), 20);
    EXPECT_EQ(h[19], "20");
}

TEST_F(MemoFileTest, EmptyOrCommentOnlyFilesEmptyEveryHeader)
{
    EXPECT_EQ(load(""), QStringList(20));
    EXPECT_EQ(load("# nothing\n\n#more\n"), QStringList(20));
}

TEST_F(MemoFileTest, WindowsCodePageAndUtf8BothLoad)
{
    EXPECT_EQ(load("\xEF\xBB\xBF"
                   "2\xC2\xB5m\n")[0],
              QString::fromUtf8("2µm"));
    EXPECT_EQ(load("2\xB5m\r\n\x80x\r\n")[0], QString::fromUtf8("2µm"));
    EXPECT_EQ(load("2\xB5m\r\n\x80x\r\n")[1], QString::fromUtf8("€x"));
}

TEST_F(MemoFileTest, Utf16WithByteOrderMarkAndEveryLineEnd)
{
    const QString text = QString::fromUtf8("# bands\r\n2\u00b5m\r14.0\n\u0416Z\r\n");
    QByteArray le("\xFF\xFE");
    QByteArray be("\xFE\xFF");
    for (const QChar c : text) {
        le += char(c.unicode() & 0xFF);
        le += char(c.unicode() >> 8);
        be += char(c.unicode() >> 8);
        be += char(c.unicode() & 0xFF);
    }
    const QStringList expected = bands({"2\u00b5m", "14.0", "\u0416Z"});
    EXPECT_EQ(load(le), expected);
    EXPECT_EQ(load(be), expected);
    // A lone CR ends a line as LF and CR LF do.
    EXPECT_EQ(load("3.5\r7.0\r\r14.0\r\n21.0\n"), bands({"3.5", "7.0", "14.0", "21.0"}));
}

TEST_F(MemoFileTest, FilesThatAreNotTextFail)
{
    for (const QByteArray &bytes : {QByteArray("14.0\n\x00\x01\x02", 7), QByteArray("PK\x03\x04\x14\x00"), QByteArray("7.0\n\x1b[31m\n")}) {
        const Result<QStringList> r = MemoFile::read(write(bytes));
        EXPECT_FALSE(r.ok()) << bytes.toHex().toStdString();
        EXPECT_TRUE(r.error().contains("not a text file")) << r.error().toStdString();
    }
    // Tabs are text.
    EXPECT_EQ(load("\t14.0\n")[0], "\t14.0");
}

TEST_F(MemoFileTest, FifoOrFolderIsRefusedWithoutWaiting)
{
#ifndef _WIN32
    // Windows keeps its pipes apart from folders (\\.\pipe\): only a folder can take a memo file's name there.
    const QString fifo = dir.filePath(QStringLiteral("memo2.ini"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const auto start = std::chrono::steady_clock::now();
    const Result<QStringList> r = MemoFile::read(MemoFile::path(dir.path(), 2));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_FALSE(r.ok());
    EXPECT_TRUE(r.error().contains("not a regular file")) << r.error().toStdString();
#endif
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("memo3.ini")));
    const Result<QStringList> folder = MemoFile::read(MemoFile::path(dir.path(), 3));
    EXPECT_FALSE(folder.ok());
    EXPECT_TRUE(folder.error().contains("not a regular file")) << folder.error().toStdString();
}

TEST_F(MemoFileTest, MissingFileFailsAndNameMatchesWithoutCase)
{
    EXPECT_FALSE(MemoFile::read(MemoFile::path(dir.path(), 4)).ok());
    write("14.0\n", QStringLiteral("MEMO4.INI"));
    const Result<QStringList> r = MemoFile::read(MemoFile::path(dir.path(), 4));
    ASSERT_TRUE(r.ok());
    EXPECT_EQ((*r)[0], "14.0");
    EXPECT_TRUE(MemoFile::failureMessage().startsWith("ATTENTION:\r\nIt is had to create"));
}
