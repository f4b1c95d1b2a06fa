// The streams between varkel-reader and the program (the rows, and the text
// columns as dictionaries and ids): what the reader sends arrives unchanged,
// and what a broken reader sends is refused with a reason.
#include "logbook/mdb/ReaderStream.h"
#include "logbook/mdb/ColumnarStream.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <optional>
#include <set>

using namespace mdbreader;

namespace {

/// Keeps what arrives.
struct Collect : RowSink {
    std::vector<Column> cols;
    std::vector<std::vector<std::optional<std::string>>> texts;
    std::vector<std::vector<Value>> raw;
    int refuseAt = -1;
    bool columns(const std::vector<Column> &c) override
    {
        cols = c;
        return true;
    }
    bool row(const std::vector<Value> &values) override
    {
        if (int(raw.size()) == refuseAt)
            return false;
        raw.push_back(values);
        auto &t = texts.emplace_back();
        for (const Value &v : values)
            t.push_back(v.null ? std::nullopt : std::optional<std::string>(std::string(v.text)));
        return true;
    }
    std::string error() const override { return "refused"; }
};

std::string encode(const std::vector<Column> &cols, const std::vector<std::vector<Value>> &rows, bool finish = true)
{
    std::string out;
    StreamEncoder e([&out](const char *d, std::size_t n) {
        out.append(d, n);
        return true;
    });
    e.columns(cols);
    for (const auto &r : rows)
        e.row(r);
    if (finish)
        e.finish();
    else
        e.fail("no table LOG");
    return out;
}

Value integer(std::int64_t i) { return Value{false, i, 0, {}}; }
Value real(double d) { return Value{false, 0, d, {}}; }
Value text(std::string_view t) { return Value{false, 0, 0, t}; }

const std::vector<Column> Cols = {{"ID", Kind::Integer}, {"Freq", Kind::Real}, {"Callsign", Kind::Text}};

} // namespace

TEST(ReaderStream, ValuesArriveUnchangedWhateverPiecesThePipeCutsThemInto)
{
    const std::string longText(MaxFieldBytes, 'x');
    const std::string withNul("a\0b", 3);
    const std::vector<std::vector<Value>> rows = {
        {integer(std::numeric_limits<std::int64_t>::min()), real(-0.0), text("")},
        {integer(std::numeric_limits<std::int64_t>::max()), real(std::numeric_limits<double>::infinity()), text(longText)},
        {integer(-1), real(std::nan("")), text(withNul)},
        {Value{}, Value{}, Value{}},
        {integer(0), real(14.025), text("I1ABC/P")},
    };
    const std::string stream = encode(Cols, rows);
    for (const std::size_t piece : {std::size_t(1), std::size_t(7), std::size_t(4096), stream.size()}) {
        Collect got;
        StreamDecoder d(got);
        for (std::size_t at = 0; at < stream.size(); at += piece)
            ASSERT_TRUE(d.feed(stream.data() + at, std::min(piece, stream.size() - at))) << d.error();
        ASSERT_TRUE(d.complete());
        ASSERT_EQ(got.raw.size(), rows.size());
        EXPECT_EQ(got.cols.size(), 3u);
        EXPECT_EQ(got.cols[2].name, "Callsign");
        EXPECT_EQ(got.raw[0][0].integer, std::numeric_limits<std::int64_t>::min());
        EXPECT_TRUE(std::signbit(got.raw[0][1].real));
        EXPECT_EQ(got.texts[0][2], std::optional<std::string>(""));
        EXPECT_EQ(got.raw[1][0].integer, std::numeric_limits<std::int64_t>::max());
        EXPECT_TRUE(std::isinf(got.raw[1][1].real));
        EXPECT_EQ(got.texts[1][2], longText);
        EXPECT_EQ(got.raw[2][0].integer, -1);
        EXPECT_TRUE(std::isnan(got.raw[2][1].real));
        EXPECT_EQ(got.texts[2][2], withNul);
        EXPECT_TRUE(got.raw[3][0].null && got.raw[3][1].null && got.raw[3][2].null);
        EXPECT_EQ(got.raw[4][1].real, 14.025);
    }
}

TEST(ReaderStream, WhatABrokenReaderSendsIsRefused)
{
    const std::vector<std::vector<Value>> rows = {{integer(1), real(7.0), text("I1ABC")}, {integer(2), real(14.0), text("DL1XX")}};
    const std::string good = encode(Cols, rows);
    auto verdict = [](const std::string &bytes, StreamDecoder::Limits limits = {}) {
        Collect got;
        StreamDecoder d(got, limits);
        const bool fed = d.feed(bytes.data(), bytes.size());
        return fed && d.complete();
    };
    ASSERT_TRUE(verdict(good));

    // Cut anywhere, the stream is never complete.
    for (std::size_t n = 0; n < good.size(); ++n)
        EXPECT_FALSE(verdict(good.substr(0, n))) << n;
    EXPECT_FALSE(verdict(good + "R")) << "bytes after the end";
    EXPECT_FALSE(verdict("garbage" + good));
    EXPECT_FALSE(verdict(std::string(100000, 'y')));

    std::string wrongCount = good;
    wrongCount.back() = 3; // 'E' with 3 rows
    EXPECT_FALSE(verdict(wrongCount));

    std::string textInNumber = good;
    textInNumber[textInNumber.find('R') + 1] = 3;
    EXPECT_FALSE(verdict(textInNumber));

    // A text claiming to be longer than a field can be.
    const std::string hugeText =
        encode(Cols, {}).substr(0, encode(Cols, {}).size() - 2) + std::string("R\x01\x02\x00\x03\xff\xff\xff\x7f", 9);
    EXPECT_FALSE(verdict(hugeText));

    EXPECT_FALSE(verdict(good, {1, UINT64_MAX})) << "more rows than allowed";
    EXPECT_FALSE(verdict(good, {UINT64_MAX, 20})) << "more bytes than allowed";

    // A reader that could not read the table says why.
    Collect got;
    StreamDecoder d(got);
    const std::string failed = encode(Cols, {}, false);
    ASSERT_TRUE(d.feed(failed.data(), failed.size()));
    EXPECT_TRUE(d.readerFailed());
    EXPECT_EQ(d.readerError(), "no table LOG");

    // A sink that refuses a row stops the stream with the sink's reason.
    Collect refusing;
    refusing.refuseAt = 1;
    StreamDecoder r(refusing);
    EXPECT_FALSE(r.feed(good.data(), good.size()));
    EXPECT_TRUE(r.sinkFailed());
    EXPECT_EQ(r.error(), "refused");
}

namespace {

std::string encodeColumnar(const std::vector<Column> &cols, const std::vector<std::vector<Value>> &rows)
{
    std::string out;
    ColumnarEncoder e([&out](const char *d, std::size_t n) {
        out.append(d, n);
        return true;
    });
    e.columns(cols);
    for (const auto &r : rows)
        e.row(r);
    e.finish();
    return out;
}

/// Whether the stream arrives whole, fed in pieces of `piece` bytes; `why` gets the decoder's reason.
bool columnarArrives(const std::string &bytes, ColumnarTable &table, std::string &why, std::size_t piece = SIZE_MAX,
                     StreamDecoder::Limits limits = {})
{
    ColumnarDecoder d(table, limits);
    for (std::size_t at = 0; at < bytes.size(); at += piece) {
        if (!d.feed(bytes.data() + at, std::min(piece, bytes.size() - at))) {
            why = d.error();
            return false;
        }
    }
    why = d.error();
    return d.complete();
}

} // namespace

TEST(ColumnarStream, DictionariesAndIdsArriveAsTheRowsGaveThemWhateverThePieces)
{
    // More texts than one byte holds, so the ids of Callsign go out two bytes wide.
    std::vector<std::string> calls;
    for (int i = 0; i < 400; ++i)
        calls.push_back("I" + std::to_string(i % 350) + "ABC");
    std::vector<std::vector<Value>> rows;
    for (std::size_t i = 0; i < calls.size(); ++i)
        rows.push_back({integer(std::int64_t(i)), i % 7 == 3 ? Value{} : text(calls[i]), text(i % 2 ? "CW" : "")});
    const std::vector<Column> cols = {{"ID", Kind::Integer}, {"Callsign", Kind::Text}, {"Mode", Kind::Text}};
    const std::string stream = encodeColumnar(cols, rows);
    for (const std::size_t piece : {std::size_t(1), std::size_t(5), std::size_t(4096), stream.size()}) {
        ColumnarTable table;
        std::string why;
        ASSERT_TRUE(columnarArrives(stream, table, why, piece)) << why;
        ASSERT_EQ(table.rows, rows.size());
        ASSERT_EQ(table.text.size(), 2u);
        EXPECT_EQ(table.columns.size(), 3u);
        EXPECT_EQ(table.text[0].width, 2) << "more than 255 texts";
        EXPECT_EQ(table.text[1].width, 1);
        // Each row's text found again through its id, as a plain loop over the rows has it.
        for (std::size_t t = 0; t < 2; ++t) {
            const ColumnarTextColumn &c = table.text[t];
            std::vector<std::string> texts;
            std::size_t offset = 0;
            for (const std::uint32_t length : c.lengths) {
                texts.push_back(c.bytes.substr(offset, length));
                offset += length;
            }
            for (std::size_t r = 0; r < rows.size(); ++r) {
                const Value &v = rows[r][t + 1];
                const std::uint32_t id = c.id(r);
                if (v.null)
                    EXPECT_EQ(id, 0u) << r;
                else
                    EXPECT_EQ(id == 0 ? std::string("NULL") : texts.at(id - 1), std::string(v.text)) << r;
            }
        }
        std::set<std::string> distinct;
        for (const auto &r : rows) {
            if (!r[1].null)
                distinct.emplace(r[1].text);
        }
        EXPECT_EQ(table.text[0].texts, distinct.size());
        EXPECT_EQ(table.text[1].texts, 2u) << "'' and CW";
    }
}

/// A stream of one dictionary column (Banda) and one plain column (TDate), as the page reader hands them over.
std::string encodePlain(const std::vector<std::optional<std::string>> &dates)
{
    std::string out;
    ColumnarEncoder e([&out](const char *d, std::size_t n) {
        out.append(d, n);
        return true;
    });
    e.columns({{"Banda", Kind::Text}, {"TDate", Kind::Text}});
    std::vector<EncodedColumn> columns(2);
    columns[1].plain = true;
    for (std::size_t r = 0; r < dates.size(); ++r) {
        columns[0].ids.push_back(columns[0].dictionary.intern(r % 2 ? "14.0" : "7.0"));
        columns[1].lengths.push_back(dates[r] ? std::uint32_t(dates[r]->size()) : NullLength);
        columns[1].bytes += dates[r].value_or("");
    }
    e.take(std::move(columns), dates.size());
    e.finish();
    return out;
}

TEST(ColumnarStream, PlainTextsArriveRowByRowAndWrongLengthsAreRefused)
{
    std::vector<std::optional<std::string>> dates;
    for (int i = 0; i < 300; ++i)
        dates.push_back(i % 9 == 4 ? std::nullopt
                                   : std::optional<std::string>(i % 5 ? "2001-02-03 04:05:" + std::to_string(10 + i % 50) : ""));
    const std::string stream = encodePlain(dates);
    for (const std::size_t piece : {std::size_t(1), std::size_t(7), stream.size()}) {
        ColumnarTable table;
        std::string why;
        ASSERT_TRUE(columnarArrives(stream, table, why, piece)) << why;
        ASSERT_EQ(table.rows, dates.size());
        ASSERT_EQ(table.text.size(), 2u);
        EXPECT_FALSE(table.text[0].plain);
        const ColumnarTextColumn &c = table.text[1];
        ASSERT_TRUE(c.plain);
        ASSERT_EQ(c.lengths.size(), dates.size());
        std::size_t at = 0;
        for (std::size_t r = 0; r < dates.size(); ++r) {
            if (!dates[r]) {
                EXPECT_EQ(c.lengths[r], NullLength) << r;
                continue;
            }
            EXPECT_EQ(c.bytes.substr(at, c.lengths[r]), *dates[r]) << r;
            at += c.lengths[r];
        }
        EXPECT_EQ(at, c.bytes.size());
    }
    const auto refused = [](const std::string &bytes) {
        ColumnarTable t;
        std::string why;
        EXPECT_FALSE(columnarArrives(bytes, t, why));
        return why;
    };
    // "VKC1", the columns, Banda's 'T' record (22 bytes, 2 lengths, "7.0" "14.0", an id per row),
    // then 'P' u64 rows, u64 bytes and a u32 length per row: the first date (empty) one byte longer than the bytes sent.
    const std::size_t plain = 4 + 1 + 2 + (1 + 2 + 5) * 2 + 22 + 8 + 7 + 300;
    ASSERT_EQ(stream[plain], 'P');
    std::string longer = stream;
    longer[plain + 17] = char(longer[plain + 17] + 1);
    EXPECT_EQ(refused(longer), "wrong dictionary lengths");
    std::string tooLong = stream;
    tooLong[plain + 17 + 3] = 0x7f;
    EXPECT_EQ(refused(tooLong), "text too long");
    std::string rows = stream;
    rows[plain + 1] = 3;
    EXPECT_EQ(refused(rows), "the text columns differ in their rows");
}

TEST(ColumnarStream, ADamagedCutOrMiscountedStreamIsRefusedWithAReason)
{
    const std::vector<Column> cols = {{"Callsign", Kind::Text}, {"Banda", Kind::Text}};
    const std::string good = encodeColumnar(cols, {{text("I1ABC"), text("14.0")}, {text("DL1XX"), Value{}}, {text("I1ABC"), text("7.0")}});
    ColumnarTable table;
    std::string why;
    ASSERT_TRUE(columnarArrives(good, table, why)) << why;

    // Cut anywhere, the stream is never complete.
    for (std::size_t n = 0; n < good.size(); ++n) {
        ColumnarTable cut;
        EXPECT_FALSE(columnarArrives(good.substr(0, n), cut, why)) << n;
    }
    const auto refused = [](const std::string &bytes, StreamDecoder::Limits limits = {}) {
        ColumnarTable t;
        std::string why;
        EXPECT_FALSE(columnarArrives(bytes, t, why, SIZE_MAX, limits));
        return why;
    };
    EXPECT_EQ(refused(good + "E"), "data after the end of the table");
    EXPECT_EQ(refused("VKC2" + good.substr(4)), "not a columnar table stream");

    // The layout: "VKC1", 'C' u16 2 {u8, u16, name} x2, then per column 'T' u64 rows, u32 texts, u64 bytes, u8 width.
    const std::size_t firstText = good.find('T', 4 + 1 + 2 + (1 + 2 + 8) + (1 + 2 + 5));
    ASSERT_EQ(good[firstText], 'T');
    std::string wrongEnd = good;
    wrongEnd[wrongEnd.size() - 8] = 4; // 'E' with 4 rows
    EXPECT_EQ(refused(wrongEnd), "wrong row count at the end");
    std::string moreTexts = good;
    moreTexts[firstText + 9] = 9; // 9 texts in 3 rows
    EXPECT_EQ(refused(moreTexts), "a dictionary with more texts than rows");
    std::string width = good;
    width[firstText + 21] = 3;
    EXPECT_EQ(refused(width), "wrong id width");
    std::string lengths = good;
    lengths[firstText + 22] = 6; // the first text one byte longer than the bytes sent
    EXPECT_EQ(refused(lengths), "wrong dictionary lengths");
    // Callsign's ids follow its 2 lengths and 10 bytes: the last names id 3 of a dictionary of 2.
    std::string outside = good;
    outside[firstText + 22 + 8 + 10 + 2] = 3;
    EXPECT_EQ(refused(outside), "an id outside its dictionary");
    std::string otherRows = good;
    const std::size_t secondText = firstText + 22 + 8 + 10 + 3;
    ASSERT_EQ(otherRows[secondText], 'T');
    otherRows[secondText + 1] = 2;
    EXPECT_EQ(refused(otherRows), "the text columns differ in their rows");
    EXPECT_EQ(refused(good, {2, UINT64_MAX}), "more rows than the file can hold");
    EXPECT_EQ(refused(good, {UINT64_MAX, 20}), "more data than the file can hold");

    // A reader that could not read the table says why.
    std::string failed;
    ColumnarEncoder e([&failed](const char *d, std::size_t n) {
        failed.append(d, n);
        return true;
    });
    e.columns(cols);
    e.fail("no table LOG");
    ColumnarTable none;
    ColumnarDecoder d(none, {});
    ASSERT_TRUE(d.feed(failed.data(), failed.size()));
    EXPECT_TRUE(d.readerFailed());
    EXPECT_EQ(d.readerError(), "no table LOG");
}
