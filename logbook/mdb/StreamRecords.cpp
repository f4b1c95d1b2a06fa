#include "logbook/mdb/StreamRecords.h"

#include <algorithm>

namespace mdbreader {
namespace {

constexpr unsigned MaxColumns = 255;
constexpr std::size_t MaxNameBytes = 1024;
constexpr std::size_t MaxMessageBytes = 4096;

} // namespace

bool StreamCursor::varint(std::uint64_t &out, bool &overflow)
{
    out = 0;
    for (int shift = 0; shift < 64; shift += 7) {
        std::uint8_t b;
        if (!byte(b))
            return false;
        if (shift == 63 && b > 1) {
            overflow = true;
            return true;
        }
        out |= std::uint64_t(b & 0x7f) << shift;
        if (!(b & 0x80))
            return true;
    }
    overflow = true;
    return true;
}

bool StreamCursor::fixed(int n, std::uint64_t &out)
{
    if (m_in.size() - m_pos < std::size_t(n))
        return false;
    out = 0;
    for (int i = 0; i < n; ++i)
        out |= std::uint64_t(std::uint8_t(m_in[m_pos + std::size_t(i)])) << (8 * i);
    m_pos += std::size_t(n);
    return true;
}

void appendFixed(std::string &out, std::uint64_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(char(v >> (8 * i)));
}

void appendVarint(std::string &out, std::uint64_t v)
{
    while (v >= 0x80) {
        out.push_back(char(v | 0x80));
        v >>= 7;
    }
    out.push_back(char(v));
}

void appendColumns(std::string &out, const std::vector<Column> &columns)
{
    appendFixed(out, std::uint16_t(columns.size()), 2);
    for (const Column &c : columns) {
        out.push_back(char(c.kind));
        const auto length = std::uint16_t(std::min(c.name.size(), MaxNameBytes));
        appendFixed(out, length, 2);
        out.append(c.name.data(), length);
    }
}

void appendFailure(std::string &out, std::string_view why)
{
    why = why.substr(0, MaxMessageBytes);
    appendVarint(out, why.size());
    out.append(why.data(), why.size());
}

bool flushTo(const std::function<bool(const char *data, std::size_t size)> &write, std::string &buffer, std::string &error)
{
    if (!buffer.empty() && !write(buffer.data(), buffer.size())) {
        error = "cannot hand the rows on";
        return false;
    }
    buffer.clear();
    return true;
}

const char *refuseMore(bool ended, std::uint64_t &bytes, std::size_t size, std::uint64_t maxBytes)
{
    if (ended)
        return "data after the end of the table";
    bytes += size;
    if (bytes > maxBytes)
        return "more data than the file can hold";
    return nullptr;
}

Parsed parseColumnsRecord(StreamCursor &c, std::vector<Column> &columns, std::string &why)
{
    std::uint16_t count;
    if (!c.u16(count))
        return Parsed::NeedMore;
    if (count == 0 || count > MaxColumns) {
        why = "wrong number of columns";
        return Parsed::Bad;
    }
    columns.assign(count, Column{});
    for (Column &col : columns) {
        std::uint8_t kind;
        std::uint16_t length;
        std::string_view name;
        if (!c.byte(kind) || !c.u16(length))
            return Parsed::NeedMore;
        if (kind < std::uint8_t(Kind::Integer) || kind > std::uint8_t(Kind::Text))
            why = "unknown column kind";
        else if (length == 0 || length > MaxNameBytes)
            why = "wrong column name length";
        if (!why.empty())
            return Parsed::Bad;
        if (!c.bytes(length, name))
            return Parsed::NeedMore;
        if (name.find('\0') != std::string_view::npos) {
            why = "wrong column name";
            return Parsed::Bad;
        }
        col.kind = Kind(kind);
        col.name = std::string(name);
    }
    return Parsed::Done;
}

Parsed parseFailureRecord(StreamCursor &c, std::string &message, std::string &why)
{
    std::uint64_t length;
    std::string_view text;
    bool overflow = false;
    if (!c.varint(length, overflow))
        return Parsed::NeedMore;
    if (overflow || length > MaxMessageBytes) {
        why = "message too long";
        return Parsed::Bad;
    }
    if (!c.bytes(std::size_t(length), text))
        return Parsed::NeedMore;
    message = text.empty() ? std::string("the logbook reader failed without saying why") : std::string(text);
    return Parsed::Done;
}

} // namespace mdbreader
