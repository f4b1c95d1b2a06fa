#include "logbook/mdb/JetFieldText.h"

namespace mdbreader {
namespace {

/// UTF-8 out of UCS-2 units, as iconv from "UCS-2LE" into "UTF-8" writes it
/// for mdb_unicode2ascii into a buffer of `limit` bytes (the last is its NUL).
class Utf8Out {
public:
    Utf8Out(std::string &out, std::size_t limit) : m_out(out), m_room(limit > 0 ? limit - 1 : 0) { m_out.clear(); }

    /// Takes one unit; false when the text ends there.
    bool unit(unsigned u)
    {
        if (u == 0)
            return false; // the text is cut at its first NUL
        if (u >= 0xd800 && u < 0xe000) {
            // Surrogates are no UCS-2 characters: iconv refuses them one by
            // one, and libmdb puts a '?' in the place of each.
            if (m_room == 0)
                return false;
            m_out.push_back('?');
            --m_room;
            return true;
        }
        // iconv stops before a character that does not fit whole.
        if (u < 0x80) {
            if (m_room < 1)
                return false;
            m_out.push_back(char(u));
            m_room -= 1;
        } else if (u < 0x800) {
            if (m_room < 2)
                return false;
            m_out.push_back(char(0xc0 | (u >> 6)));
            m_out.push_back(char(0x80 | (u & 0x3f)));
            m_room -= 2;
        } else {
            if (m_room < 3)
                return false;
            m_out.push_back(char(0xe0 | (u >> 12)));
            m_out.push_back(char(0x80 | ((u >> 6) & 0x3f)));
            m_out.push_back(char(0x80 | (u & 0x3f)));
            m_room -= 3;
        }
        return true;
    }

private:
    std::string &m_out;
    std::size_t m_room;
};

} // namespace

void jetText(const unsigned char *src, std::size_t size, std::string &out, std::size_t limit)
{
    Utf8Out text(out, limit);
    if (size >= 2 && src[0] == 0xff && src[1] == 0xfe) {
        // "Unicode compressed": one byte per character (U+0001..U+00FF) until
        // a 0 byte switches to two bytes per character (UCS-2 little endian),
        // and back. As libmdb reads it, a 0 byte switches in either mode, so
        // a character whose low byte is 0 cannot stand in this form.
        bool compressed = true;
        std::size_t i = 2;
        while (i < size) {
            if (src[i] == 0) {
                compressed = !compressed;
                ++i;
            } else if (compressed) {
                if (!text.unit(src[i]))
                    return;
                ++i;
            } else if (size - i >= 2) {
                if (!text.unit(unsigned(src[i]) | unsigned(src[i + 1]) << 8))
                    return;
                i += 2;
            } else {
                return; // an odd byte at the end
            }
        }
        return;
    }
    // UCS-2 little endian; an odd byte at the end is left out.
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        if (!text.unit(unsigned(src[i]) | unsigned(src[i + 1]) << 8))
            return;
    }
}

} // namespace mdbreader
