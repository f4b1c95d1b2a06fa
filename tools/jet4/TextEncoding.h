#pragma once
// Text as Jet 4 stores it: UTF-16LE, or the "compressed" form that starts with FF FE and
// keeps characters below U+0100 in one byte each.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace jet4::detail {

/// Decodes UTF-8 into UTF-16 code units (characters beyond U+FFFF become surrogate pairs).
/// Clears `out` first. Returns false on malformed UTF-8.
bool utf8ToUtf16(std::string_view in, std::u16string &out);

enum class TextEncodeResult { Ok, Unrepresentable };

/// Appends the stored bytes of `text` to `out`. Uses the compressed form when `allowCompression`
/// is set, every character can take part in it and it is shorter than plain UTF-16LE.
/// An empty text appends nothing. A text that starts with U+FEFF and contains a character whose
/// low byte is zero has no stored form (readers would take its first bytes for the compression
/// marker): returns Unrepresentable and appends nothing.
TextEncodeResult encodeJetText(const std::u16string &text, bool allowCompression, std::vector<std::uint8_t> &out);

/// Appends plain UTF-16LE (used for names in table definitions).
void appendUtf16le(const std::u16string &text, std::vector<std::uint8_t> &out);

} // namespace jet4::detail
