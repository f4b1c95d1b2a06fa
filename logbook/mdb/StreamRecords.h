#pragma once
// The records the row stream (ReaderStream.h) and the columnar stream
// (ColumnarStream.h) share: the columns, the reader's failure, and a cursor
// over a piece of a stream that may end early.

#include "logbook/mdb/MdbReader.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace mdbreader {

/// Reads from a piece of a stream that may end early: each read is false
/// when the bytes end before it.
class StreamCursor {
public:
    explicit StreamCursor(std::string_view in) : m_in(in) {}
    std::size_t used() const { return m_pos; }
    bool byte(std::uint8_t &out)
    {
        if (m_pos >= m_in.size())
            return false;
        out = std::uint8_t(m_in[m_pos++]);
        return true;
    }
    bool u16(std::uint16_t &out)
    {
        std::uint64_t v;
        return fixed(2, v) && (out = std::uint16_t(v), true);
    }
    bool u32(std::uint32_t &out)
    {
        std::uint64_t v;
        return fixed(4, v) && (out = std::uint32_t(v), true);
    }
    bool u64(std::uint64_t &out) { return fixed(8, out); }
    /// Sets `overflow` when the number is too long.
    bool varint(std::uint64_t &out, bool &overflow);
    bool bytes(std::size_t n, std::string_view &out)
    {
        if (m_in.size() - m_pos < n)
            return false;
        out = m_in.substr(m_pos, n);
        m_pos += n;
        return true;
    }

private:
    bool fixed(int n, std::uint64_t &out);

    std::string_view m_in;
    std::size_t m_pos = 0;
};

/// Numbers as the streams write them.
void appendFixed(std::string &out, std::uint64_t v, int bytes);
void appendVarint(std::string &out, std::uint64_t v);

/// The columns record after its tag: u16 count { u8 kind, u16 length, name }.
void appendColumns(std::string &out, const std::vector<Column> &columns);
/// The failure record after its tag: varint length, text.
void appendFailure(std::string &out, std::string_view why);

/// Hands what `buffer` holds to `write` and empties it; false, with `error`
/// set, when the bytes cannot be delivered.
bool flushTo(const std::function<bool(const char *data, std::size_t size)> &write, std::string &buffer, std::string &error);

/// Whether `size` more bytes of a stream may come, `bytes` having come and
/// the stream having ended (`ended`) or not: null, or why not. Counts them.
const char *refuseMore(bool ended, std::uint64_t &bytes, std::size_t size, std::uint64_t maxBytes);

enum class Parsed { Done, NeedMore, Bad };
/// The columns record after its tag; on Bad, `why` tells what is wrong.
Parsed parseColumnsRecord(StreamCursor &c, std::vector<Column> &columns, std::string &why);
/// The failure record after its tag: the reader's reason in `message`.
Parsed parseFailureRecord(StreamCursor &c, std::string &message, std::string &why);

} // namespace mdbreader
