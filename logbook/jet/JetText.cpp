#include "logbook/jet/JetText.h"

#include <QChar>
#include <string>

namespace JetText {
namespace {

/// Decodes one UTF-8 sequence at s[i]; a byte that starts no valid sequence stands for itself.
char32_t decode(std::string_view s, size_t &i)
{
    const unsigned char c = static_cast<unsigned char>(s[i]);
    int extra = 0;
    char32_t cp = 0;
    if (c >= 0xC0 && c < 0xE0) {
        extra = 1;
        cp = c & 0x1F;
    } else if (c >= 0xE0 && c < 0xF0) {
        extra = 2;
        cp = c & 0x0F;
    } else if (c >= 0xF0 && c < 0xF8) {
        extra = 3;
        cp = c & 0x07;
    }
    if (extra == 0 || i + extra > s.size() - 1) {
        ++i;
        return c;
    }
    for (int k = 1; k <= extra; ++k) {
        const unsigned char cc = static_cast<unsigned char>(s[i + k]);
        if ((cc & 0xC0) != 0x80) {
            ++i;
            return c;
        }
        cp = (cp << 6) | (cc & 0x3F);
    }
    i += extra + 1;
    return cp;
}

inline char32_t fold(char32_t c)
{
    if (c < 0x80)
        return (c >= 'A' && c <= 'Z') ? c + 32 : c;
    return QChar::toCaseFolded(c);
}

std::u32string folded(std::string_view s)
{
    std::u32string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();)
        out.push_back(fold(decode(s, i)));
    return out;
}

bool isDigit(char32_t c) { return c >= '0' && c <= '9'; }

/// Matches the bracket class starting at p[k] == '['; on success sets k past ']'.
bool matchClass(const std::u32string &p, size_t &k, char32_t v, bool &bad)
{
    size_t j = k + 1;
    bool negate = false;
    if (j < p.size() && p[j] == U'!') {
        negate = true;
        ++j;
    }
    bool hit = false;
    bool first = true;
    for (; j < p.size(); ++j) {
        if (p[j] == U']' && !first)
            break;
        first = false;
        if (j + 2 < p.size() && p[j + 1] == U'-' && p[j + 2] != U']') {
            if (v >= p[j] && v <= p[j + 2])
                hit = true;
            j += 2;
        } else if (p[j] == v) {
            hit = true;
        }
    }
    if (j >= p.size()) {
        bad = true;
        return false;
    }
    k = j + 1;
    return hit != negate;
}

bool matchFrom(const std::u32string &p, size_t pi, const std::u32string &v, size_t vi, bool &bad)
{
    while (pi < p.size()) {
        const char32_t c = p[pi];
        if (c == U'*') {
            while (pi < p.size() && p[pi] == U'*')
                ++pi;
            if (pi == p.size())
                return true;
            for (size_t start = vi; start <= v.size(); ++start) {
                if (matchFrom(p, pi, v, start, bad))
                    return true;
                if (bad)
                    return false;
            }
            return false;
        }
        if (vi >= v.size()) {
            if (c == U'[') {
                // a class still has to be well formed
                size_t k = pi;
                matchClass(p, k, 0, bad);
            }
            return false;
        }
        if (c == U'?') {
            ++pi;
        } else if (c == U'#') {
            if (!isDigit(v[vi]))
                return false;
            ++pi;
        } else if (c == U'[') {
            size_t k = pi;
            if (!matchClass(p, k, v[vi], bad))
                return false;
            pi = k;
        } else {
            if (c != v[vi])
                return false;
            ++pi;
        }
        ++vi;
    }
    return vi == v.size();
}

} // namespace

int compare(std::string_view a, std::string_view b)
{
    const size_t n = a.size() < b.size() ? a.size() : b.size();
    size_t i = 0;
    for (; i < n; ++i) {
        unsigned char ca = static_cast<unsigned char>(a[i]);
        unsigned char cb = static_cast<unsigned char>(b[i]);
        if ((ca | cb) >= 0x80)
            break;
        if (ca >= 'A' && ca <= 'Z')
            ca += 32;
        if (cb >= 'A' && cb <= 'Z')
            cb += 32;
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    if (i == n && (i == a.size() || i == b.size()))
        return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
    // Back up to the start of the character that is not ASCII.
    while (i > 0 && (static_cast<unsigned char>(a[i]) & 0xC0) == 0x80)
        --i;
    size_t ia = i, ib = i;
    while (ia < a.size() && ib < b.size()) {
        const char32_t fa = fold(decode(a, ia));
        const char32_t fb = fold(decode(b, ib));
        if (fa != fb)
            return fa < fb ? -1 : 1;
    }
    if (ia < a.size())
        return 1;
    if (ib < b.size())
        return -1;
    return 0;
}

Match like(std::string_view pattern, std::string_view value)
{
    if (pattern == "*")
        return Match::Yes;
    const std::u32string p = folded(pattern);
    const std::u32string v = folded(value);
    bool bad = false;
    const bool hit = matchFrom(p, 0, v, 0, bad);
    if (bad)
        return Match::BadPattern;
    return hit ? Match::Yes : Match::No;
}

bool isLiteralPattern(std::string_view pattern) { return pattern.find_first_of("*?#[") == std::string_view::npos; }

} // namespace JetText
