// The table stream between varkel-reader and the program: what the reader
// sends arrives unchanged, and what a broken reader sends is refused.
#include "ReaderStream.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

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
