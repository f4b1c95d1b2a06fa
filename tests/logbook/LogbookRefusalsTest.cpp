// Logbooks libmdb reads without complaint but whose counts could not be
// trusted: a table that gives more rows than it counts, R, D or S that are not
// text columns, and a file that changes while it is read. Each open fails with
// its reason and gives no snapshot.
#include "logbook/LogSnapshot.h"
#include "logbook/LogbookEngine.h"
#include "logbook/MdbLoader.h"
#include "logbook/jet/LogDatabase.h"
#include "tests/support/TempLogbook.h"
#include "tests/support/TestPlatform.h"
#include "tests/tools/Jet4TestSupport.h"

#include <QFile>
#include <algorithm>
#include <gtest/gtest.h>
#include <strings.h>

namespace {

constexpr qsizetype Page = 4096;
// A Jet 4 data page (type 0x01): free space at 2, owner (its table's
// definition page) at 4, row count at 12, then the row offsets.
constexpr qsizetype FreeSpaceAt = 2;
constexpr qsizetype RowCountAt = 12;

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void overwrite(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

QString contacts(const LogSnapshot &log)
{
    const Result<QString> r = log.database().scalar(QStringLiteral("SELECT COUNT(*) AS Quanti FROM LOG"), QStringLiteral("Quanti"));
    return r ? *r : QStringLiteral("error: ") + r.error();
}

struct DataPage {
    std::uint32_t number;
    unsigned rows;
    unsigned freeBytes;
};

/// The data pages of the table LOG in file order, found through libmdb's
/// catalog and the pages' owners.
std::vector<DataPage> logDataPages(const QString &path)
{
    const std::string file = QFile::encodeName(path).toStdString();
    const jet4test::MdbTableReader log(file, "LOG");
    if (!log.ok())
        return {};
    const jet4test::PageFile pages(file);
    std::vector<DataPage> found;
    for (std::uint32_t n = 0; n < pages.pageCount(); ++n) {
        const std::uint8_t *p = pages.page(n);
        if (p[0] == 0x01 && jet4test::le32(p + 4) == log.tableDefPage())
            found.push_back({n, jet4test::le16(p + RowCountAt), jet4test::le16(p + FreeSpaceAt)});
    }
    return found;
}

/// The image with one bit of the row count of data page `page` flipped.
QByteArray flipRowCountBit(QByteArray image, std::uint32_t page, unsigned bit)
{
    char *at = image.data() + qsizetype(page) * Page + RowCountAt;
    const unsigned count = (unsigned(quint8(at[0])) | unsigned(quint8(at[1])) << 8) ^ (1u << bit);
    at[0] = char(count & 0xff);
    at[1] = char(count >> 8);
    return image;
}

/// The rows libmdb gives of the table LOG of a file, as mdb-export reads them.
std::size_t rowsLibmdbGives(const QString &path)
{
    jet4test::MdbTableReader log(QFile::encodeName(path).toStdString(), "LOG");
    std::size_t rows = 0;
    while (log.ok() && log.next())
        ++rows;
    return rows;
}

/// The reason a table that gives `read` rows and counts `counted` is refused.
QString damagedReason(std::size_t read, int counted)
{
    return QStringLiteral("the table LOG is damaged: %1 rows read where its definition counts %2").arg(read).arg(counted);
}

} // namespace

TEST(LogbookRefusals, ATableGivingMoreRowsThanItCountsIsDamagedWhicheverPartReadsThePage)
{
    constexpr int Contacts = 3000;
    TempLogbook dir;
    const QString path = dir.write(genlog::generate(Contacts, 41));
    const QByteArray good = readAll(path);
    const std::vector<DataPage> pages = logDataPages(path);
    ASSERT_GT(pages.size(), 10u);

    // Bit 3 of a page's row count set where it was clear: eight more row
    // offsets, taken from the page's free space. libmdb makes a row of the
    // page's first bytes whenever they crack as one.
    constexpr unsigned Bit = 3;
    const QString probe = dir.path(QStringLiteral("probedt.mdb"));
    struct Damage {
        QByteArray image;
        std::size_t rows = 0;
    };
    const auto firstDamaging = [&](auto from, auto to) {
        for (auto p = from; p != to; ++p) {
            if (p->rows & (1u << Bit) || p->freeBytes < 2u << Bit)
                continue;
            Damage d{flipRowCountBit(good, p->number, Bit)};
            overwrite(probe, d.image);
            d.rows = rowsLibmdbGives(probe);
            if (d.rows > std::size_t(Contacts))
                return d;
        }
        return Damage{};
    };
    // One page among the rows read first, one among those a later part reads
    // side by side with the first.
    const auto half = pages.begin() + std::ptrdiff_t(pages.size() / 2);
    const Damage early = firstDamaging(pages.begin(), half);
    const Damage late = firstDamaging(pages.rbegin(), std::make_reverse_iterator(half));
    ASSERT_FALSE(early.image.isEmpty());
    ASSERT_FALSE(late.image.isEmpty());

    for (const Damage &damage : {early, late}) {
        const QString reason = damagedReason(damage.rows, Contacts);
        SCOPED_TRACE(reason.toStdString());
        overwrite(path, damage.image);
        for (const unsigned parts : {1u, 2u, 3u}) {
            auto db = LogDatabase::create();
            ASSERT_TRUE(db);
            MdbReaderOptions options;
            options.parts = parts;
            const auto log = loadMdbTableColumnarFirst(path, QStringLiteral("LOG"), **db, nullptr, options);
            ASSERT_FALSE(log) << parts << " parts";
            EXPECT_TRUE(log.error().endsWith(": " + reason)) << parts << " parts: " << log.error().toStdString();
        }

        // The program's way, after a good open of the file at the same place.
        LogbookEngine engine;
        overwrite(path, good);
        const auto before = engine.open(path);
        ASSERT_TRUE(before) << before.error().toStdString();
        EXPECT_EQ(contacts(**before), QString::number(Contacts));
        overwrite(path, damage.image);
        const auto opened = engine.open(path);
        ASSERT_FALSE(opened);
        EXPECT_EQ(opened.error(), QStringLiteral("cannot read the logbook %1: %2").arg(path, reason));
    }
}

namespace {

/// Writes rows of genlog as a logbook whose column `name` (as spelled here)
/// is of `type`: a Yes/No or Long column holds Yes or 1 for the texts Y and y.
QString writeWithFlagColumn(const TempLogbook &dir, const std::vector<genlog::LogRow> &rows, const std::string &name, jet4::ColumnType type)
{
    std::vector<jet4::Column> columns = genlog::logColumns();
    const auto column = std::find_if(columns.begin(), columns.end(),
                                     [&name](const jet4::Column &c) { return strcasecmp(c.name.c_str(), name.c_str()) == 0; });
    if (column == columns.end())
        throw std::runtime_error("no column " + name);
    const std::size_t at = std::size_t(column - columns.begin());
    *column = jet4::Column{name, type};
    jet4::Jet4Writer writer("LOG", columns);
    for (const genlog::LogRow &row : rows) {
        std::vector<jet4::Value> values = genlog::toValues(row);
        const jet4::Value &text = values[at];
        const bool yes = text && strcasecmp(std::get<std::string>(*text).c_str(), "Y") == 0;
        if (type == jet4::ColumnType::YesNo)
            values[at].emplace(yes);
        else if (type == jet4::ColumnType::Long)
            values[at].emplace(std::int32_t(yes));
        writer.addRow(values);
    }
    const QString path = dir.path(QString::fromStdString("flag " + name + "dt.mdb"));
    const std::string error = writer.save(QFile::encodeName(path).toStdString());
    if (!error.empty())
        throw std::runtime_error(error);
    return path;
}

} // namespace

TEST(LogbookRefusals, RDOrSThatIsNotATextColumnIsRefusedByName)
{
    TempLogbook dir;
    const std::vector<genlog::LogRow> rows = genlog::generate(200, 42);
    LogbookEngine engine;
    const std::pair<const char *, jet4::ColumnType> refused[] = {
        {"R", jet4::ColumnType::YesNo},
        {"D", jet4::ColumnType::Long},
        {"S", jet4::ColumnType::YesNo},
        {"d", jet4::ColumnType::YesNo}, // names compare without regard to case
    };
    for (const auto &[name, type] : refused) {
        const auto opened = engine.open(writeWithFlagColumn(dir, rows, name, type));
        ASSERT_FALSE(opened) << name;
        EXPECT_TRUE(opened.error().endsWith(QStringLiteral(": the column %1 of table LOG is not a text column").arg(QLatin1String(name))))
            << opened.error().toStdString();
    }

    // A memo is a text column: the log opens and R counts as text.
    const auto memo = engine.open(writeWithFlagColumn(dir, rows, "R", jet4::ColumnType::Memo));
    ASSERT_TRUE(memo) << memo.error().toStdString();
    const auto confirmed =
        std::count_if(rows.begin(), rows.end(), [](const genlog::LogRow &r) { return r.R && strcasecmp(r.R->c_str(), "Y") == 0; });
    ASSERT_GT(confirmed, 0);
    const Result<QString> counted =
        (*memo)->database().scalar(QStringLiteral("SELECT COUNT(*) AS Quanti FROM LOG WHERE R ='Y'"), QStringLiteral("Quanti"));
    ASSERT_TRUE(counted) << counted.error().toStdString();
    EXPECT_EQ(*counted, QString::number(confirmed));
}

TEST(LogbookRefusals, ALogbookReplacedWhileItIsReadGivesNoSnapshotAndIsReadAgain)
{
    TempLogbook dir;
    const QString path = dir.write(genlog::generate(400, 43), QStringLiteral("logdt.mdb"));
    const QString saved = dir.write(genlog::generate(450, 44), QStringLiteral("saveddt.mdb"));
    const QString next = dir.write(genlog::generate(500, 45), QStringLiteral("nextdt.mdb"));
    const QString replaced = dir.path(QStringLiteral("replaced"));

    // The reader, once `replaced` is gone, first puts the next version in the
    // logbook's place (a new file, as a program saving by renaming does) and
    // then reads: when the program's readers run side by side, some may have
    // read the version before.
    const QByteArray script = "if [ ! -e '" + QFile::encodeName(replaced) +
                              "' ]; then\n"
                              "  cp '" +
                              QFile::encodeName(next) + "' '" + QFile::encodeName(path) +
                              ".new'$$ &&\n"
                              "  mv -f '" +
                              QFile::encodeName(path) + ".new'$$ '" + QFile::encodeName(path) +
                              "' &&\n"
                              "  : > '" +
                              QFile::encodeName(replaced) +
                              "'\n"
                              "fi\n"
                              "exec '" +
                              QFile::encodeName(mdbReaderProgram()) + "' \"$@\"";
    const QString reader = testplatform::fakeReader(dir.folder(), QStringLiteral("reader"), script, {"replace", replaced, next, path});
    ASSERT_TRUE(QFile::exists(reader));
    overwrite(replaced, {});
    MdbReaderOptions options;
    options.program = reader;
    LogbookEngine engine(options);

    const auto first = engine.open(path);
    ASSERT_TRUE(first) << first.error().toStdString();
    EXPECT_EQ(contacts(**first), "400");
    const auto cached = engine.open(path);
    ASSERT_TRUE(cached);
    EXPECT_EQ(cached->get(), first->get());

    // Saved in place (its snapshot is no longer the file's), and replaced
    // again while that version is read.
    overwrite(path, readAll(saved));
    ASSERT_TRUE(QFile::remove(replaced));
    const auto during = engine.open(path);
    ASSERT_FALSE(during) << "a snapshot of " << contacts(**during).toStdString() << " contacts";
    EXPECT_TRUE(during.error().startsWith(QStringLiteral("the logbook changed while it was read: "))) << during.error().toStdString();
    EXPECT_TRUE(QFile::exists(replaced));

    const auto after = engine.open(path);
    ASSERT_TRUE(after) << after.error().toStdString();
    EXPECT_EQ(contacts(**after), "500");
    EXPECT_NE(after->get(), first->get());

    // Replaced by a file cut short: the read fails, and the change is the
    // reason given; read again, the cut file gives its own.
    const QByteArray whole = readAll(next);
    overwrite(next, whole.left(whole.size() / 2 / Page * Page));
    overwrite(path, readAll(saved));
    ASSERT_TRUE(QFile::remove(replaced));
    const auto cut = engine.open(path);
    ASSERT_FALSE(cut);
    EXPECT_TRUE(cut.error().startsWith(QStringLiteral("the logbook changed while it was read: "))) << cut.error().toStdString();
    const auto again = engine.open(path);
    ASSERT_FALSE(again);
    EXPECT_TRUE(again.error().startsWith(QStringLiteral("cannot read the logbook "))) << again.error().toStdString();
}
