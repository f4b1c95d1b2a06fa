#pragma once
// The texts of Jet 4 text and memo fields as UTF-8, converted by the reader
// itself so that a logbook reads the same on every system.

#include <cstddef>
#include <string>

namespace mdbreader {

/// The longest text a field gives; longer memos are cut.
constexpr int MaxFieldBytes = 65536;

/// The bytes of a Jet 4 text field (or memo) as UTF-8, as libmdb built with
/// iconv gives them (mdb_unicode2ascii, UCS-2LE into UTF-8, into a buffer of
/// `limit` bytes with its NUL): "Unicode compressed" (FF FE, then one byte
/// per character until a 0 byte switches to two, and back) or UCS-2 little
/// endian; the text ends at a NUL, a surrogate (no UCS-2 character) gives a
/// '?', an odd byte at the end is left out, and a character that would pass
/// `limit` - 1 bytes ends the text. The reader converts every Jet 4 text this
/// way, so it reads the same on every system, with or without iconv.
void jetText(const unsigned char *src, std::size_t size, std::string &out, std::size_t limit = MaxFieldBytes);

} // namespace mdbreader
