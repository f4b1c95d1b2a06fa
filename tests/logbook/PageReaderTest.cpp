// The page reader against libmdb: every table of the project's logbooks, of
// real Access files and of damaged ones reads alike, value for value, or the
// page reader declines it with a reason (and libmdb reads it then).
#include "logbook/mdb/PageReader.h"
#include "logbook/mdb/MdbReader.h"
#include "logbook/testing/ReaderTesting.h"
#include "tests/support/TempLogbook.h"
#include "tools/genlog/LogGenerator.h"
#include "tools/jet4/Jet4Writer.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <gtest/gtest.h>

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

const unsigned char *bytesOf(const QByteArray &image) { return reinterpret_cast<const unsigned char *>(image.constData()); }

/// Every table of the image read by both alike, or declined; the tables the page reader read.
int tablesRead(const QByteArray &image, const std::string &what)
{
    int read = 0;
    EXPECT_EQ(mdbreader::pageReaderAgainstLibmdb(image.constData(), std::size_t(image.size()), &read), "") << what;
    return read;
}

/// The parts of the table, one after the other, as the whole.
void expectPartsMakeTheWhole(const QByteArray &image, const std::string &table, unsigned parts)
{
    mdbreader::CopiedTable whole;
    ASSERT_FALSE(mdbreader::readTablePages(bytesOf(image), std::size_t(image.size()), table, whole).declined);
    std::vector<std::vector<std::optional<std::string>>> joined;
    for (unsigned k = 0; k < parts; ++k) {
        mdbreader::CopiedTable part;
        const mdbreader::PageRead got = mdbreader::readTablePages(bytesOf(image), std::size_t(image.size()), table, part, {k, parts});
        ASSERT_FALSE(got.declined) << got.why;
        mdbreader::CopiedTable libmdb;
        ASSERT_EQ(mdbreader::readTableWithLibmdb(image.constData(), std::size_t(image.size()), table, libmdb, {k, parts}), "");
        EXPECT_EQ(part.rows, libmdb.rows) << "part " << k << " of " << parts;
        joined.insert(joined.end(), part.rows.begin(), part.rows.end());
    }
    EXPECT_EQ(joined, whole.rows);
}

std::string repeated(const std::string &piece, std::size_t bytes)
{
    std::string s;
    while (s.size() < bytes)
        s += piece;
    return s;
}

} // namespace

TEST(PageReader, GeneratedLogbooksReadAsLibmdbReadsThem)
{
    TempLogbook dir;
    for (const auto &[contacts, seed] : {std::pair{0, 1}, {3, 2}, {2500, 3}, {20000, 4}}) {
        const QByteArray image = readAll(dir.write(genlog::generate(contacts, unsigned(seed))));
        EXPECT_EQ(tablesRead(image, std::to_string(contacts) + " contacts"), 1) << "LOG (MSysObjects has OLE columns)";
        if (contacts > 1000)
            expectPartsMakeTheWhole(image, "LOG", 3);
    }

    // Every type the page reader reads, NULLs, and memos in the row, on one
    // long-value page and on chains, some longer than a field gives.
    jet4::Jet4Writer writer("Mixed", {{"Flag", jet4::ColumnType::YesNo},
                                      {"Number", jet4::ColumnType::Long},
                                      {"When", jet4::ColumnType::DateTime},
                                      {"Name", jet4::ColumnType::Text, 40},
                                      {"Memo", jet4::ColumnType::Memo}});
    const std::string memos[] = {"", "short", repeated("Città ", 1500), repeated("Москва 東京 ", 9000), repeated("QSL via büro. ", 90000)};
    for (int i = 0; i < 60; ++i) {
        std::vector<jet4::Value> row(5);
        row[0].emplace(i % 3 == 0);
        if (i % 7)
            row[1].emplace(std::int32_t(i * 1000003 - 30000000));
        if (i % 5)
            row[2].emplace(jet4::oleDate(1990 + i % 30, 1 + i % 12, 1 + i % 28, i % 24, i % 60, (i * 7) % 60));
        if (i % 4)
            row[3].emplace(i % 2 ? std::string("ÄÖÜ ") + std::to_string(i) : std::string("plain ") + std::to_string(i));
        if (i % 6)
            row[4].emplace(memos[std::size_t(i) % std::size(memos)]);
        writer.addRow(row);
    }
    const QString mixed = dir.path(QStringLiteral("mixeddt.mdb"));
    ASSERT_EQ(writer.save(QFile::encodeName(mixed).toStdString()), "");
    EXPECT_EQ(tablesRead(readAll(mixed), "mixed types"), 1);
}

TEST(PageReader, RealAccessFilesAndDamagedFilesReadAlikeOrAreDeclined)
{
    const QDir real(QStringLiteral(VARKEL_REAL_MDB));
    int files = 0;
    for (const QString &name : real.entryList({QStringLiteral("*.mdb")}, QDir::Files)) {
        const QByteArray image = readAll(real.filePath(name));
        if (!mdbreader::checkHeader(std::string_view(image.constData(), std::size_t(std::min<qsizetype>(image.size(), 20))),
                                    std::uint64_t(image.size()))
                 .empty()) {
            EXPECT_EQ(mdbreader::checkHeader(std::string_view(image.constData(), 20), std::uint64_t(image.size())), "not a Jet database")
                << name.toStdString();
            continue;
        }
        tablesRead(image, name.toStdString());
        ++files;
    }
    if (real.exists()) {
        EXPECT_GE(files, 3);
    }

    // Pages changed as the fuzzer changes them: alike, or declined.
    TempLogbook dir;
    const QByteArray good = readAll(dir.write(genlog::generate(1500, 9)));
    for (int n = 0; n < 300; ++n) {
        QByteArray image = good;
        const qsizetype at = qsizetype((std::uint64_t(n) * 2654435761u) % std::uint64_t(image.size()));
        image[at] = char(image[at] ^ (1 << (n % 8)));
        if (n % 3 == 0 && at + 1 < image.size())
            image[at + 1] = char(0xff);
        tablesRead(image, "damaged at " + std::to_string(at));
    }
    QDirIterator it(QStringLiteral(VARKEL_MDB_REGRESSIONS), QDir::Files);
    while (it.hasNext())
        tablesRead(readAll(it.next()), it.fileName().toStdString());
}
