#include "logbook/mdb/ColumnarStream.h"

#include "logbook/mdb/JetFieldText.h"
#include "logbook/mdb/StreamRecords.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>

namespace mdbreader {
namespace {

static_assert(std::endian::native == std::endian::little, "the ids and lengths are copied as they come");

constexpr char Magic[4] = {'V', 'K', 'C', '1'};
constexpr std::size_t FlushAt = 1 << 18;
constexpr std::size_t TextHeaderBytes = 8 + 4 + 8 + 1;

/// The narrowest width that holds the ids 0..texts.
std::uint8_t widthFor(std::uint64_t texts) { return texts <= 0xff ? 1 : texts <= 0xffff ? 2 : 4; }

std::uint64_t largestId(std::uint8_t width) { return width == 1 ? 0xff : width == 2 ? 0xffff : 0xffffffffu; }

template<typename Raw>
std::uint32_t largestOf(const std::vector<std::uint8_t> &ids)
{
    Raw largest = 0;
    for (std::size_t at = 0; at + sizeof(Raw) <= ids.size(); at += sizeof(Raw)) {
        Raw id;
        std::memcpy(&id, ids.data() + at, sizeof(Raw));
        largest = std::max(largest, id);
    }
    return largest;
}

} // namespace

ColumnarEncoder::ColumnarEncoder(Write write) : m_write(std::move(write))
{
    m_buffer.reserve(FlushAt + MaxFieldBytes + 64);
    m_buffer.append(Magic, sizeof Magic);
}

bool ColumnarEncoder::flush() { return flushTo(m_write, m_buffer, m_error); }

bool ColumnarEncoder::send(std::string_view bytes)
{
    if (bytes.size() >= FlushAt) {
        // A large block goes out as it is, after what the buffer holds.
        if (!flush())
            return false;
        if (!m_write(bytes.data(), bytes.size())) {
            m_error = "cannot hand the rows on";
            return false;
        }
        return true;
    }
    m_buffer.append(bytes);
    return m_buffer.size() < FlushAt || flush();
}

bool ColumnarEncoder::columns(const std::vector<Column> &columns)
{
    m_textColumns.clear();
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (columns[i].kind == Kind::Text)
            m_textColumns.push_back(i);
    }
    m_encoded.assign(m_textColumns.size(), EncodedColumn());
    m_buffer.push_back('C');
    appendColumns(m_buffer, columns);
    return flush();
}

bool ColumnarEncoder::row(const std::vector<Value> &values)
{
    for (std::size_t t = 0; t < m_textColumns.size(); ++t) {
        const std::size_t c = m_textColumns[t];
        if (c >= values.size()) {
            m_error = "a row does not match the columns";
            return false;
        }
        const Value &v = values[c];
        EncodedColumn &column = m_encoded[t];
        column.ids.push_back(v.null ? TextDictionary::Null : column.dictionary.intern(v.text));
    }
    ++m_rows;
    return true;
}

void ColumnarEncoder::take(std::vector<EncodedColumn> columns, std::uint64_t rows)
{
    m_encoded = std::move(columns);
    m_rows = rows;
}

bool ColumnarEncoder::sendDictionary(const EncodedColumn &column)
{
    const TextDictionary &dictionary = column.dictionary;
    const std::uint32_t texts = dictionary.size() - 1;
    std::uint64_t bytes = 0;
    for (std::uint32_t id = 1; id <= texts; ++id)
        bytes += dictionary.text(id).size();
    const std::uint8_t width = widthFor(texts);
    m_buffer.push_back('T');
    appendFixed(m_buffer, m_rows, 8);
    appendFixed(m_buffer, texts, 4);
    appendFixed(m_buffer, bytes, 8);
    m_buffer.push_back(char(width));
    for (std::uint32_t id = 1; id <= texts; ++id) {
        appendFixed(m_buffer, dictionary.text(id).size(), 4);
        if (m_buffer.size() >= FlushAt && !flush())
            return false;
    }
    for (std::uint32_t id = 1; id <= texts; ++id) {
        if (!send(dictionary.text(id)))
            return false;
    }
    // The ids in pieces, each narrowed at once.
    constexpr std::size_t Piece = 1 << 14;
    char narrow[Piece * 4];
    for (std::size_t at = 0; at < column.ids.size(); at += Piece) {
        const std::size_t n = std::min(Piece, column.ids.size() - at);
        const std::uint32_t *ids = column.ids.data() + at;
        if (width == 4) {
            std::memcpy(narrow, ids, n * 4);
        } else if (width == 2) {
            for (std::size_t i = 0; i < n; ++i) {
                const std::uint16_t id = std::uint16_t(ids[i]);
                std::memcpy(narrow + 2 * i, &id, 2);
            }
        } else {
            for (std::size_t i = 0; i < n; ++i)
                narrow[i] = char(ids[i]);
        }
        if (!send(std::string_view(narrow, n * width)))
            return false;
    }
    return true;
}

bool ColumnarEncoder::sendPlain(const EncodedColumn &column)
{
    if (column.lengths.size() != m_rows) {
        m_error = "a plain column does not match the rows";
        return false;
    }
    m_buffer.push_back('P');
    appendFixed(m_buffer, m_rows, 8);
    appendFixed(m_buffer, column.bytes.size(), 8);
    return send(std::string_view(reinterpret_cast<const char *>(column.lengths.data()), column.lengths.size() * 4)) && send(column.bytes);
}

bool ColumnarEncoder::finish()
{
    for (EncodedColumn &column : m_encoded) {
        if (!(column.plain ? sendPlain(column) : sendDictionary(column)))
            return false;
        column = EncodedColumn();
    }
    m_buffer.push_back('E');
    appendFixed(m_buffer, m_rows, 8);
    return flush();
}

bool ColumnarEncoder::fail(std::string_view why)
{
    m_buffer.push_back('X');
    appendFailure(m_buffer, why);
    return flush();
}

ColumnarDecoder::ColumnarDecoder(ColumnarTable &table, StreamDecoder::Limits limits, ColumnCheck check)
    : m_table(table), m_limits(limits), m_check(std::move(check))
{
}

bool ColumnarDecoder::bad(std::string why)
{
    m_state = State::Broken;
    m_error = std::move(why);
    m_pending.clear();
    m_blockLeft = 0;
    return false;
}

ColumnarDecoder::Step ColumnarDecoder::fail(std::string why)
{
    bad(std::move(why));
    return Step::Bad;
}

bool ColumnarDecoder::feed(const char *data, std::size_t size)
{
    if (m_state == State::Broken)
        return false;
    if (size == 0)
        return true;
    if (const char *why = refuseMore(m_state == State::Complete || m_state == State::ReaderFailed, m_bytes, size, m_limits.maxBytes))
        return bad(why);
    std::size_t at = 0;
    while (at < size) {
        if (m_blockLeft > 0) {
            // The large parts go straight where they belong.
            const std::size_t n = std::min(m_blockLeft, size - at);
            std::memcpy(m_blockAt, data + at, n);
            m_blockAt += n;
            m_blockLeft -= n;
            at += n;
            if (m_blockLeft == 0 && !blockDone())
                return false;
            continue;
        }
        if (m_state == State::Complete || m_state == State::ReaderFailed)
            return bad("data after the end of the table");
        // A small record, gathered until it is whole.
        std::string_view in(data + at, size - at);
        const std::size_t before = m_pending.size();
        if (before > 0) {
            m_pending.append(in);
            in = m_pending;
        }
        std::size_t used = 0;
        const Step step = parseOne(in, used);
        if (step == Step::Bad)
            return false;
        if (step == Step::NeedMore) {
            if (before == 0)
                m_pending.assign(in);
            return true;
        }
        at += used - before;
        m_pending.clear();
    }
    return true;
}

ColumnarDecoder::Step ColumnarDecoder::parseOne(std::string_view in, std::size_t &used)
{
    if (m_state == State::Magic) {
        if (in.size() < sizeof Magic)
            return in == std::string_view(Magic, in.size()) ? Step::NeedMore : fail("not a columnar table stream");
        if (in.substr(0, sizeof Magic) != std::string_view(Magic, sizeof Magic))
            return fail("not a columnar table stream");
        m_state = State::Records;
        used = sizeof Magic;
        return Step::Done;
    }
    switch (in[0]) {
    case 'C':
        return parseColumns(in, used);
    case 'T':
        return parseText(in, used);
    case 'P':
        return parsePlain(in, used);
    case 'E':
        return parseEnd(in, used);
    case 'X':
        return parseFailure(in, used);
    default:
        return fail("unknown record");
    }
}

ColumnarDecoder::Step ColumnarDecoder::parseColumns(std::string_view in, std::size_t &used)
{
    if (m_haveColumns)
        return fail("columns out of place");
    StreamCursor c(in.substr(1));
    std::vector<Column> columns;
    std::string why;
    if (const Parsed p = parseColumnsRecord(c, columns, why); p != Parsed::Done)
        return p == Parsed::NeedMore ? Step::NeedMore : fail(std::move(why));
    used = 1 + c.used();
    m_haveColumns = true;
    m_textCount = std::size_t(std::count_if(columns.begin(), columns.end(), [](const Column &col) { return col.kind == Kind::Text; }));
    m_table.columns = std::move(columns);
    if (m_check) {
        if (std::string refused = m_check(m_table.columns); !refused.empty()) {
            m_checkFailed = true;
            return fail(std::move(refused));
        }
    }
    return Step::Done;
}

ColumnarDecoder::Step ColumnarDecoder::parseText(std::string_view in, std::size_t &used)
{
    if (!m_haveColumns || m_table.text.size() >= m_textCount)
        return fail("text column out of place");
    StreamCursor c(in.substr(1));
    std::uint64_t rows, bytes;
    std::uint32_t texts;
    std::uint8_t width;
    if (!c.u64(rows) || !c.u32(texts) || !c.u64(bytes) || !c.byte(width))
        return Step::NeedMore;
    used = 1 + TextHeaderBytes;
    if (rows > m_limits.maxRows)
        return fail("more rows than the file can hold");
    if (!m_table.text.empty() && rows != m_table.rows)
        return fail("the text columns differ in their rows");
    if (texts > rows)
        return fail("a dictionary with more texts than rows");
    if (bytes > std::uint64_t(texts) * MaxFieldBytes)
        return fail("text too long");
    if ((width != 1 && width != 2 && width != 4) || texts > largestId(width))
        return fail("wrong id width");
    const std::uint64_t block = std::uint64_t(texts) * 4 + bytes + rows * width;
    if (block > m_limits.maxBytes)
        return fail("more data than the file can hold");
    m_table.rows = rows;
    ColumnarTextColumn &column = m_table.text.emplace_back();
    column.texts = texts;
    column.width = width;
    if (!makeRoom(column, texts, bytes, std::size_t(rows * width)))
        return Step::Bad;
    m_state = State::Lengths;
    m_blockAt = reinterpret_cast<unsigned char *>(m_table.text.back().lengths.data());
    m_blockLeft = std::size_t(texts) * 4;
    if (m_blockLeft == 0 && !blockDone())
        return Step::Bad;
    return Step::Done;
}

bool ColumnarDecoder::makeRoom(ColumnarTextColumn &column, std::size_t lengths, std::uint64_t bytes, std::size_t ids)
{
    try {
        column.lengths.resize(lengths);
        column.bytes.resize(std::size_t(bytes));
        column.ids.resize(ids);
    } catch (const std::bad_alloc &) {
        m_checkFailed = true;
        return bad("not enough memory for the logbook");
    }
    return true;
}

ColumnarDecoder::Step ColumnarDecoder::parsePlain(std::string_view in, std::size_t &used)
{
    if (!m_haveColumns || m_table.text.size() >= m_textCount)
        return fail("text column out of place");
    StreamCursor c(in.substr(1));
    std::uint64_t rows, bytes;
    if (!c.u64(rows) || !c.u64(bytes))
        return Step::NeedMore;
    used = 1 + c.used();
    if (rows > m_limits.maxRows)
        return fail("more rows than the file can hold");
    if (!m_table.text.empty() && rows != m_table.rows)
        return fail("the text columns differ in their rows");
    if (bytes > rows * MaxFieldBytes || rows * 4 + bytes > m_limits.maxBytes)
        return fail("more data than the file can hold");
    m_table.rows = rows;
    ColumnarTextColumn &column = m_table.text.emplace_back();
    column.plain = true;
    if (!makeRoom(column, std::size_t(rows), bytes, 0))
        return Step::Bad;
    m_state = State::Lengths;
    m_blockAt = reinterpret_cast<unsigned char *>(column.lengths.data());
    m_blockLeft = std::size_t(rows) * 4;
    if (m_blockLeft == 0 && !blockDone())
        return Step::Bad;
    return Step::Done;
}

bool ColumnarDecoder::blockDone()
{
    ColumnarTextColumn &column = m_table.text.back();
    switch (m_state) {
    case State::Lengths: {
        std::uint64_t sum = 0;
        for (const std::uint32_t length : column.lengths) {
            if (column.plain && length == NullLength)
                continue;
            if (length > std::uint32_t(MaxFieldBytes))
                return bad("text too long");
            sum += length;
        }
        if (sum != column.bytes.size())
            return bad("wrong dictionary lengths");
        m_state = State::Texts;
        m_blockAt = reinterpret_cast<unsigned char *>(column.bytes.data());
        m_blockLeft = column.bytes.size();
        break;
    }
    case State::Texts:
        if (column.plain) {
            m_state = State::Records;
            return true;
        }
        m_state = State::Ids;
        m_blockAt = column.ids.data();
        m_blockLeft = column.ids.size();
        break;
    case State::Ids: {
        const std::uint32_t largest = column.width == 1   ? largestOf<std::uint8_t>(column.ids)
                                      : column.width == 2 ? largestOf<std::uint16_t>(column.ids)
                                                          : largestOf<std::uint32_t>(column.ids);
        if (largest > column.texts)
            return bad("an id outside its dictionary");
        m_state = State::Records;
        return true;
    }
    default:
        return bad("data out of place");
    }
    return m_blockLeft > 0 || blockDone();
}

ColumnarDecoder::Step ColumnarDecoder::parseEnd(std::string_view in, std::size_t &used)
{
    if (!m_haveColumns || m_table.text.size() != m_textCount)
        return fail("end out of place");
    StreamCursor c(in.substr(1));
    std::uint64_t rows;
    if (!c.u64(rows))
        return Step::NeedMore;
    used = 1 + c.used();
    if (m_textCount == 0) {
        if (rows > m_limits.maxRows)
            return fail("more rows than the file can hold");
        m_table.rows = rows;
    } else if (rows != m_table.rows) {
        return fail("wrong row count at the end");
    }
    m_state = State::Complete;
    return Step::Done;
}

ColumnarDecoder::Step ColumnarDecoder::parseFailure(std::string_view in, std::size_t &used)
{
    StreamCursor c(in.substr(1));
    std::string why;
    if (const Parsed p = parseFailureRecord(c, m_readerError, why); p != Parsed::Done)
        return p == Parsed::NeedMore ? Step::NeedMore : fail(std::move(why));
    used = 1 + c.used();
    m_state = State::ReaderFailed;
    return Step::Done;
}

} // namespace mdbreader
