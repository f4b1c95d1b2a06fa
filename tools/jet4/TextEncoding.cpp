#include "tools/jet4/TextEncoding.h"

#include <cstddef>

namespace jet4::detail {

bool utf8ToUtf16(std::string_view in, std::u16string &out)
{
    out.clear();
    const auto *s = reinterpret_cast<const unsigned char *>(in.data());
    const std::size_t n = in.size();
    std::size_t i = 0;
    while (i < n) {
        const unsigned char c = s[i];
        if (c < 0x80) {
            out.push_back(char16_t(c));
            ++i;
            continue;
        }
        std::size_t len;
        char32_t cp;
        char32_t min;
        if ((c & 0xE0) == 0xC0) {
            len = 2;
            cp = c & 0x1F;
            min = 0x80;
        } else if ((c & 0xF0) == 0xE0) {
            len = 3;
            cp = c & 0x0F;
            min = 0x800;
        } else if ((c & 0xF8) == 0xF0) {
            len = 4;
            cp = c & 0x07;
            min = 0x10000;
        } else {
            return false;
        }
        if (i + len > n)
            return false;
        for (std::size_t k = 1; k < len; ++k) {
            const unsigned char cc = s[i + k];
            if ((cc & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(char16_t(0xD800 + (cp >> 10)));
            out.push_back(char16_t(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(char16_t(cp));
        }
        i += len;
    }
    return true;
}

void appendUtf16le(const std::u16string &text, std::vector<std::uint8_t> &out)
{
    for (char16_t u : text) {
        out.push_back(std::uint8_t(u));
        out.push_back(std::uint8_t(u >> 8));
    }
}

namespace {

// Writes the compressed form after the FF FE marker. Every unit has a non-zero low byte.
// The reader starts in one-byte mode; a zero byte flips between one-byte and two-byte mode.
void appendCompressed(const std::u16string &text, std::vector<std::uint8_t> &out)
{
    out.push_back(0xFF);
    out.push_back(0xFE);
    bool oneByteMode = true;
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n) {
        const bool narrow = text[i] < 0x100;
        std::size_t end = i;
        while (end < n && (text[end] < 0x100) == narrow)
            ++end;
        const std::size_t run = end - i;
        if (narrow) {
            bool switchMode = oneByteMode;
            if (!oneByteMode) {
                // Going back to one-byte mode costs a flip now and, unless the text ends here,
                // another one before the next wide run.
                const std::size_t flips = (end == n) ? 1 : 2;
                switchMode = run + flips < 2 * run;
                if (switchMode)
                    out.push_back(0x00);
            }
            if (switchMode) {
                oneByteMode = true;
                for (std::size_t k = i; k < end; ++k)
                    out.push_back(std::uint8_t(text[k]));
            } else {
                for (std::size_t k = i; k < end; ++k) {
                    out.push_back(std::uint8_t(text[k]));
                    out.push_back(0x00);
                }
            }
        } else {
            if (oneByteMode) {
                out.push_back(0x00);
                oneByteMode = false;
            }
            for (std::size_t k = i; k < end; ++k) {
                out.push_back(std::uint8_t(text[k]));
                out.push_back(std::uint8_t(text[k] >> 8));
            }
        }
        i = end;
    }
}

} // namespace

TextEncodeResult encodeJetText(const std::u16string &text, bool allowCompression, std::vector<std::uint8_t> &out)
{
    if (text.empty())
        return TextEncodeResult::Ok;

    bool compressible = true; // a zero low byte would read as a mode flip
    bool allNarrow = true;
    for (char16_t u : text) {
        if ((u & 0xFF) == 0)
            compressible = false;
        if (u >= 0x100)
            allNarrow = false;
    }
    const bool startsWithMarker = text[0] == 0xFEFF;
    if (startsWithMarker && !compressible)
        return TextEncodeResult::Unrepresentable;

    if (compressible && (allowCompression || startsWithMarker)) {
        const std::size_t before = out.size();
        if (allNarrow) {
            // Common case: everything fits one-byte mode.
            if (text.size() + 2 < 2 * text.size()) {
                out.push_back(0xFF);
                out.push_back(0xFE);
                for (char16_t u : text)
                    out.push_back(std::uint8_t(u));
                return TextEncodeResult::Ok;
            }
        } else {
            appendCompressed(text, out);
            if (out.size() - before < 2 * text.size() || startsWithMarker)
                return TextEncodeResult::Ok;
            out.resize(before);
        }
    }
    appendUtf16le(text, out);
    return TextEncodeResult::Ok;
}

} // namespace jet4::detail
