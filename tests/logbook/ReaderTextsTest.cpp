// Jet 4 texts as the reader turns them into UTF-8: "Unicode compressed" and
// plain UCS-2, in text and memo fields, every character of the Basic
// Multilingual Plane, surrogates, NULs, odd lengths and texts longer than a
// field gives. Each text must read exactly as libmdb converts it (with iconv
// on Linux, as mdbtools' commands do; on Windows, where libmdb has no iconv,
// with the conversion tools/windows/mdbtools-1.0.1-mingw.patch gives it), and
// texts written by the project's Jet writer must read back as written.
#include "logbook/mdb/MdbReader.h"
#include "logbook/testing/ReaderTesting.h"
#include "tests/support/TempLogbook.h"
#include "tests/tools/Jet4TestSupport.h"
#include "tools/jet4/Jet4Writer.h"

#include <QFile>
#include <gtest/gtest.h>
#include <random>

namespace {

/// The UTF-8 bytes of one character.
std::string utf8Of(char32_t c) { return jet4test::utf8(std::u32string(1, c)); }

/// A field as Jet stores the units: compressed (FF FE and one byte per unit
/// below 0x100, a 0 byte switching modes) when `compress` is set, as Access
/// does for texts whose units all have a low byte other than 0, else UCS-2
/// little endian. Compressing other texts gives the fields libmdb misreads,
/// which the reader must misread the same way.
std::string jetField(const std::u16string &units, bool compress)
{
    std::string out;
    if (!compress) {
        for (const char16_t u : units) {
            out += char(u & 0xff);
            out += char(u >> 8);
        }
        return out;
    }
    out = "\xff\xfe";
    bool narrow = true;
    for (const char16_t u : units) {
        const bool fits = u < 0x100;
        if (fits != narrow) {
            out += '\0';
            narrow = fits;
        }
        out += char(u & 0xff);
        if (!narrow)
            out += char(u >> 8);
    }
    return out;
}

/// Units drawn from every part of UCS-2 that behaves differently: ASCII,
/// Latin-1, units with a low byte of 0, Cyrillic, CJK, surrogates, the
/// byte-order marks and NUL.
char16_t randomUnit(std::mt19937 &rng)
{
    static const char16_t special[] = {0x0000, 0x0041, 0x007f, 0x0080, 0x00e9, 0x00ff, 0x0100, 0x0101, 0x0416,
                                       0x044f, 0x0800, 0x4e00, 0x4e2d, 0x6587, 0xd800, 0xd83d, 0xdbff, 0xdc00,
                                       0xde00, 0xdfff, 0xe000, 0xfeff, 0xfffe, 0xffff, 0x0a00, 0x2000, 0xff00};
    switch (rng() % 6) {
    case 0:
        return char16_t(0x20 + rng() % 0x5f);
    case 1:
        return char16_t(0x80 + rng() % 0x80);
    case 2:
        return special[rng() % std::size(special)];
    case 3:
        return char16_t(0x400 + rng() % 0x100);
    case 4:
        return char16_t((rng() % 0x100) << 8); // low byte 0
    default:
        return char16_t(rng() % 0x10000);
    }
}

/// What the reader gives for a text written as UTF-8 by the Jet writer:
/// the text itself, a '?' for each half of a character beyond U+FFFF (Jet
/// keeps it as a surrogate pair), cut before the character that would pass
/// `limit` bytes.
std::string expectedText(const std::u32string &text, std::size_t limit = std::size_t(mdbreader::MaxFieldBytes) - 1)
{
    std::string out;
    for (const char32_t c : text) {
        const std::string bytes = c > 0xffff ? std::string("??") : utf8Of(c);
        if (out.size() + bytes.size() > limit) {
            // a surrogate pair may still leave room for its first '?'
            if (c > 0xffff && out.size() < limit)
                out += '?';
            break;
        }
        out += bytes;
    }
    return out;
}

/// The longest start of UTF-8 text made of whole characters and at most `limit` bytes.
std::string cutUtf8(const std::string &text, std::size_t limit)
{
    std::size_t end = 0;
    while (end < text.size()) {
        const auto lead = static_cast<unsigned char>(text[end]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xe0 ? 2 : lead < 0xf0 ? 3 : 4;
        if (end + length > limit)
            break;
        end += length;
    }
    return text.substr(0, end);
}

/// The rows of a table as the reader gives them, read in this process.
class CollectingSink : public mdbreader::RowSink {
public:
    bool columns(const std::vector<mdbreader::Column> &) override { return true; }
    bool row(const std::vector<mdbreader::Value> &values) override
    {
        std::vector<std::optional<std::string>> r;
        for (const mdbreader::Value &v : values)
            r.push_back(v.null ? std::nullopt : std::optional<std::string>(std::string(v.text)));
        rows.push_back(std::move(r));
        return true;
    }
    std::string error() const override { return {}; }
    std::vector<std::vector<std::optional<std::string>>> rows;
};

/// Texts of every kind the writer can store, from empty to memos longer
/// than a field gives.
std::vector<std::u32string> sampleTexts()
{
    std::vector<std::u32string> texts = {
        U"",
        U"IK2ABC",
        U"Z\u00fcrich \u00e9t\u00e9 \u00ff",
        U"\u041c\u043e\u0441\u043a\u0432\u0430 RA3AA",
        U"\u4e2d\u6587 JA1\u4e00",
        U"\u0100",
        U"\u4e00",
        U"a\u0100\u4e2d\u00e9",
        U"\u00ff\u0101\u00ff",
        U"\U0001F600 smile",
        U"\U0010FFFF\U00010000",
        U"x\ufeffy\ufffd",
        U"tab\there\nline",
    };
    std::u32string longMixed;
    for (int i = 0; i < 3000; ++i)
        longMixed += (i % 3 == 0) ? U'\u4e2d' : (i % 3 == 1) ? U'\u0416' : U'k';
    texts.push_back(longMixed);                        // a memo on several pages
    texts.push_back(std::u32string(30000, U'\u6587')); // 90,000 bytes of UTF-8: cut
    texts.push_back(std::u32string(70000, U'a'));      // cut in a compressed memo
    std::u32string pairs(32767, U'\u00e9');
    pairs += U"\U0001F600"; // the limit falls between the halves of the pair
    texts.push_back(pairs);
    return texts;
}

} // namespace

TEST(ReaderTexts, FieldsOfEveryKindConvertAsLibmdbConvertsThem)
{
    TempLogbook dir;
    const QString path = dir.write(genlog::generate(10, 23));
    std::mt19937 rng(5);
    std::vector<std::string> fields = {"", "\xff\xfe", "\xff", "\xff\xfe\x00", std::string("\x41\x00\x00\x00\x42\x00", 6), "\x41"};
    // Raw bytes from a small alphabet that makes every mode switch, odd length and NUL likely.
    const unsigned char alphabet[] = {0, 0, 0, 'a', 'B', ' ', '1', 0x7f, 0x80, 0xff, 0xfe, 0x01, 0xe0, 0x20, 'z', 0xd8, 0xdc, 0x4e, 0x04};
    while (fields.size() < 20000) {
        std::string field;
        if (rng() % 2)
            field += "\xff\xfe";
        const size_t n = rng() % 24;
        for (size_t i = 0; i < n; ++i)
            field += char(alphabet[rng() % sizeof alphabet]);
        fields.push_back(field);
    }
    // Units of every kind, stored either way, some cut at an odd byte.
    while (fields.size() < 60000) {
        std::u16string units;
        const size_t n = rng() % 40;
        for (size_t i = 0; i < n; ++i)
            units += randomUnit(rng);
        std::string field = jetField(units, rng() % 2);
        if (rng() % 8 == 0 && !field.empty())
            field.pop_back();
        fields.push_back(field);
    }
    // Long fields, whose UTF-8 passes the longest text a field gives.
    for (const char16_t u : {char16_t(0x61), char16_t(0xe9), char16_t(0x4e2d), char16_t(0xd83d), char16_t(0x100)}) {
        for (const size_t n : {21844u, 21845u, 21846u, 32767u, 32768u, 65534u, 65535u, 65536u, 70000u}) {
            std::u16string units(n, u);
            units[n / 2] = u'\u4e2d';
            fields.push_back(jetField(units, false));
            fields.push_back(jetField(units, true));
        }
    }
    const std::vector<std::string> theirs = mdbreader::libmdbTexts(path.toStdString(), fields);
    ASSERT_EQ(theirs.size(), fields.size());
    std::size_t nonAscii = 0;
    for (size_t i = 0; i < fields.size(); ++i) {
        std::string ours;
        mdbreader::jetText(reinterpret_cast<const unsigned char *>(fields[i].data()), fields[i].size(), ours);
        ASSERT_EQ(ours, theirs[i]) << "field " << i << " (" << fields[i].size() << " bytes)";
        nonAscii += std::any_of(ours.begin(), ours.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    }
    EXPECT_GT(nonAscii, fields.size() / 2);
}

TEST(ReaderTexts, CharactersWithALowByteOfZeroSurrogatesAndNuls)
{
    const auto read = [](const std::string &field, std::size_t limit = std::size_t(mdbreader::MaxFieldBytes)) {
        std::string out;
        mdbreader::jetText(reinterpret_cast<const unsigned char *>(field.data()), field.size(), out, limit);
        return out;
    };
    EXPECT_EQ(read(""), "");
    EXPECT_EQ(read("\xff\xfe"), "");
    EXPECT_EQ(read(jetField(u"IK2ABC", true)), "IK2ABC");
    EXPECT_EQ(read(jetField(u"IK2ABC", false)), "IK2ABC");
    EXPECT_EQ(read(jetField(u"Z\u00fcrich", true)), "Z\xc3\xbcrich");
    EXPECT_EQ(read(jetField(u"\u041c\u0438\u0440", false)), "\xd0\x9c\xd0\xb8\xd1\x80");
    EXPECT_EQ(read(jetField(u"a\u041cb", true)), "a\xd0\x9c"
                                                 "b");
    // U+0100 and U+4E00 in plain UCS-2; their low byte 0 would switch modes in
    // the compressed form, where libmdb reads them as something else.
    EXPECT_EQ(read(jetField(u"\u0100\u4e00", false)), "\xc4\x80\xe4\xb8\x80");
    // FF FE 61 00 | 00 4E | 00 62: 'a', two switches, 'N', a switch and an odd byte.
    EXPECT_EQ(read(jetField(u"a\u4e00b", true)), "aN");
    // A surrogate pair is two surrogates to UCS-2, each a '?'; so is a lone one.
    EXPECT_EQ(read(jetField(u"x\U0001F600y", false)), "x??y");
    // Compressed, the second half (DE00) has a low byte of 0: it switches back,
    // DE is \u00de, and 'y' is left as an odd byte after a switch.
    EXPECT_EQ(read(jetField(u"x\U0001F600y", true)), "x?\xc3\x9e");
    EXPECT_EQ(read(jetField(std::u16string(1, u'\xdc00') + u"z", false)), "?z");
    // The text ends at a NUL; an odd byte at the end is left out.
    EXPECT_EQ(read(std::string("A\0B\0\0\0C\0", 8)), "AB");
    EXPECT_EQ(read(std::string("A\0B", 3)), "A");
    EXPECT_EQ(read(std::string("\xff\xfe"
                               "ab\0"
                               "c",
                               6)),
              "ab");
    // Cut before a character that does not fit whole.
    EXPECT_EQ(read(jetField(u"ab\u4e2d", false), 5), "ab");
    EXPECT_EQ(read(jetField(u"abc\u4e2d", false), 7), "abc\xe4\xb8\xad");
    EXPECT_EQ(read(jetField(u"ab\U0001F600", false), 4), "ab?");
}

TEST(ReaderTexts, TextsAndMemosReadBackAsWritten)
{
    TempLogbook dir;
    const std::vector<std::u32string> texts = sampleTexts();
    jet4::Jet4Writer writer("LOG",
                            {{"ID", jet4::ColumnType::Long}, {"Callsign", jet4::ColumnType::Text, 255}, {"NOTE", jet4::ColumnType::Memo}});
    std::vector<std::string> expectedField, expectedMemo;
    int id = 0;
    for (const std::u32string &text : texts) {
        // A text column holds at most 255 units; longer texts go to the memo only.
        std::u32string shortText = text.substr(0, 120);
        writer.addRow({jet4::Value(++id), jet4::Value(jet4test::utf8(shortText)), jet4::Value(jet4test::utf8(text))});
        expectedField.push_back(expectedText(shortText));
        expectedMemo.push_back(expectedText(text));
    }
    const QString path = dir.path(QStringLiteral("textsdt.mdb"));
    ASSERT_EQ(writer.save(QFile::encodeName(path).toStdString()), "");

    // In this process.
    CollectingSink sink;
    ASSERT_EQ(mdbreader::readTable(path.toStdString(), "LOG", sink), "");
    ASSERT_EQ(sink.rows.size(), texts.size());
    for (size_t i = 0; i < texts.size(); ++i) {
        EXPECT_EQ(sink.rows[i][1], expectedField[i]) << "row " << i;
        EXPECT_EQ(sink.rows[i][2], expectedMemo[i]) << "row " << i << " (" << expectedMemo[i].size() << " bytes expected)";
    }

    // libmdb's own reading (as mdbtools' commands read the file) gives the same.
    jet4test::MdbTableReader theirs(QFile::encodeName(path).toStdString(), "LOG");
    ASSERT_TRUE(theirs.ok());
    for (size_t i = 0; i < texts.size(); ++i) {
        ASSERT_TRUE(theirs.next());
        EXPECT_EQ(std::string(*theirs.value(1)), expectedField[i]) << "row " << i;
        // The helper binds larger buffers than the reader: its memo is
        // cut as the reader cuts it, before the first character past the limit.
        EXPECT_EQ(cutUtf8(std::string(*theirs.value(2)), std::size_t(mdbreader::MaxFieldBytes) - 1), expectedMemo[i]) << "row " << i;
    }
}
