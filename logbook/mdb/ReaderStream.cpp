#include "logbook/mdb/ReaderStream.h"

#include "logbook/mdb/StreamRecords.h"

#include <algorithm>
#include <cstring>

namespace mdbreader {
namespace {

constexpr char Magic[4] = {'V', 'K', 'R', '1'};
constexpr std::size_t FlushAt = 1 << 18;

enum Tag : std::uint8_t { Null = 0, IntegerTag = 1, RealTag = 2, TextTag = 3 };

std::uint64_t zigzag(std::int64_t v) { return (std::uint64_t(v) << 1) ^ std::uint64_t(v >> 63); }
std::int64_t unzigzag(std::uint64_t v) { return std::int64_t(v >> 1) ^ -std::int64_t(v & 1); }

} // namespace

StreamEncoder::StreamEncoder(Write write) : m_write(std::move(write))
{
    m_buffer.reserve(FlushAt + 4 * 65536);
    m_buffer.append(Magic, sizeof Magic);
}

void StreamEncoder::varint(std::uint64_t v) { appendVarint(m_buffer, v); }

bool StreamEncoder::flush() { return flushTo(m_write, m_buffer, m_error); }

bool StreamEncoder::flushIfFull() { return m_buffer.size() < FlushAt || flush(); }

bool StreamEncoder::columns(const std::vector<Column> &columns)
{
    m_kinds.clear();
    for (const Column &c : columns)
        m_kinds.push_back(c.kind);
    m_buffer.push_back('C');
    appendColumns(m_buffer, columns);
    return flushIfFull();
}

bool StreamEncoder::row(const std::vector<Value> &values)
{
    m_buffer.push_back('R');
    for (std::size_t i = 0; i < values.size() && i < m_kinds.size(); ++i) {
        const Value &v = values[i];
        if (v.null) {
            m_buffer.push_back(char(Null));
            continue;
        }
        switch (m_kinds[i]) {
        case Kind::Integer:
            m_buffer.push_back(char(IntegerTag));
            varint(zigzag(v.integer));
            break;
        case Kind::Real: {
            m_buffer.push_back(char(RealTag));
            char raw[8];
            std::memcpy(raw, &v.real, 8);
            m_buffer.append(raw, 8);
            break;
        }
        case Kind::Text:
            m_buffer.push_back(char(TextTag));
            varint(v.text.size());
            m_buffer.append(v.text.data(), v.text.size());
            break;
        }
    }
    ++m_rows;
    return flushIfFull();
}

bool StreamEncoder::finish()
{
    m_buffer.push_back('E');
    varint(m_rows);
    return flush();
}

bool StreamEncoder::fail(std::string_view why)
{
    m_buffer.push_back('X');
    appendFailure(m_buffer, why);
    return flush();
}

StreamDecoder::StreamDecoder(RowSink &sink, Limits limits) : m_sink(sink), m_limits(limits) {}

bool StreamDecoder::bad(std::string why)
{
    m_state = State::Broken;
    m_error = std::move(why);
    m_pending.clear();
    return false;
}

bool StreamDecoder::feed(const char *data, std::size_t size)
{
    if (m_state == State::Broken)
        return false;
    if (size == 0)
        return true;
    if (const char *why = refuseMore(m_state == State::Complete || m_state == State::ReaderFailed, m_bytes, size, m_limits.maxBytes))
        return bad(why);
    m_pending.append(data, size);
    std::size_t at = 0;
    while (at < m_pending.size()) {
        if (m_state == State::Complete || m_state == State::ReaderFailed)
            return bad("data after the end of the table");
        std::size_t used = 0;
        const Step step = parseOne(std::string_view(m_pending).substr(at), used);
        if (step == Step::Bad)
            return false;
        if (step == Step::NeedMore)
            break;
        at += used;
    }
    m_pending.erase(0, at);
    return true;
}

StreamDecoder::Step StreamDecoder::fail(std::string why)
{
    bad(std::move(why));
    return Step::Bad;
}

StreamDecoder::Step StreamDecoder::sinkRefused()
{
    m_sinkFailed = true;
    return fail(m_sink.error());
}

StreamDecoder::Step StreamDecoder::parseOne(std::string_view in, std::size_t &used)
{
    StreamCursor c(in);
    Step step = Step::Done;
    if (m_state == State::Magic) {
        step = parseMagic(c, in);
    } else {
        std::uint8_t tag;
        if (!c.byte(tag))
            return Step::NeedMore;
        switch (tag) {
        case 'C':
            step = parseColumns(c);
            break;
        case 'R':
            step = parseRow(c);
            break;
        case 'E':
            step = parseEnd(c);
            break;
        case 'X':
            step = parseFailure(c);
            break;
        default:
            return fail("unknown record");
        }
    }
    if (step == Step::Done)
        used = c.used();
    return step;
}

StreamDecoder::Step StreamDecoder::parseMagic(StreamCursor &c, std::string_view in)
{
    std::string_view magic;
    if (!c.bytes(sizeof Magic, magic))
        return in == std::string_view(Magic, in.size()) ? Step::NeedMore : fail("not a table stream");
    if (magic != std::string_view(Magic, sizeof Magic))
        return fail("not a table stream");
    m_state = State::Columns;
    return Step::Done;
}

StreamDecoder::Step StreamDecoder::parseColumns(StreamCursor &c)
{
    if (m_state != State::Columns)
        return fail("columns out of place");
    std::vector<Column> columns;
    std::string why;
    if (const Parsed p = parseColumnsRecord(c, columns, why); p != Parsed::Done)
        return p == Parsed::NeedMore ? Step::NeedMore : fail(std::move(why));
    m_columns = std::move(columns);
    m_values.assign(m_columns.size(), Value{});
    if (!m_sink.columns(m_columns))
        return sinkRefused();
    m_state = State::Rows;
    return Step::Done;
}

StreamDecoder::Step StreamDecoder::parseValue(StreamCursor &c, Kind kind, Value &v)
{
    v = Value{};
    std::uint8_t tag;
    if (!c.byte(tag))
        return Step::NeedMore;
    if (tag == Null)
        return Step::Done;
    v.null = false;
    bool overflow = false;
    if (tag == IntegerTag && kind == Kind::Integer) {
        std::uint64_t raw;
        if (!c.varint(raw, overflow))
            return Step::NeedMore;
        if (overflow)
            return fail("wrong number");
        v.integer = unzigzag(raw);
    } else if (tag == RealTag && kind == Kind::Real) {
        std::string_view raw;
        if (!c.bytes(8, raw))
            return Step::NeedMore;
        std::memcpy(&v.real, raw.data(), 8);
    } else if (tag == TextTag && kind == Kind::Text) {
        std::uint64_t length;
        if (!c.varint(length, overflow))
            return Step::NeedMore;
        if (overflow || length > std::uint64_t(MaxFieldBytes))
            return fail("text too long");
        if (!c.bytes(std::size_t(length), v.text))
            return Step::NeedMore;
    } else {
        return fail("value of the wrong kind");
    }
    return Step::Done;
}

StreamDecoder::Step StreamDecoder::parseRow(StreamCursor &c)
{
    if (m_state != State::Rows)
        return fail("row out of place");
    if (m_rows >= m_limits.maxRows)
        return fail("more rows than the file can hold");
    for (std::size_t i = 0; i < m_columns.size(); ++i) {
        if (const Step step = parseValue(c, m_columns[i].kind, m_values[i]); step != Step::Done)
            return step;
    }
    ++m_rows;
    if (!m_sink.row(m_values))
        return sinkRefused();
    return Step::Done;
}

StreamDecoder::Step StreamDecoder::parseEnd(StreamCursor &c)
{
    if (m_state != State::Rows)
        return fail("end out of place");
    std::uint64_t rows;
    bool overflow = false;
    if (!c.varint(rows, overflow))
        return Step::NeedMore;
    if (overflow || rows != m_rows)
        return fail("wrong row count at the end");
    m_state = State::Complete;
    return Step::Done;
}

StreamDecoder::Step StreamDecoder::parseFailure(StreamCursor &c)
{
    std::string why;
    if (const Parsed p = parseFailureRecord(c, m_readerError, why); p != Parsed::Done)
        return p == Parsed::NeedMore ? Step::NeedMore : fail(std::move(why));
    m_state = State::ReaderFailed;
    return Step::Done;
}

} // namespace mdbreader
