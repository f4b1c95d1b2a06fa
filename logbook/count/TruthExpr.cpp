#include "logbook/count/TruthExpr.h"

#include "logbook/count/BothCores.h"
#include "logbook/jet/JetText.h"

#include <algorithm>
#include <atomic>

namespace {

using Kind = TruthExpr::Kind;

/// Fills table[id] = decide(id) for every id; big dictionaries on both cores.
template<typename F>
void fillTable(std::vector<uint8_t> &table, F decide)
{
    constexpr size_t Slice = 1 << 15;
    const size_t n = table.size();
    if (n <= Slice) {
        for (size_t id = 0; id < n; ++id)
            table[id] = decide(uint32_t(id));
        return;
    }
    onBothCores((n + Slice - 1) / Slice, [&](size_t s) {
        const size_t end = std::min(n, (s + 1) * Slice);
        for (size_t id = s * Slice; id < end; ++id)
            table[id] = decide(uint32_t(id));
    });
}

std::optional<TruthExpr> comparison(const CountTree::Condition &c, const ColumnarLog &log)
{
    using CKind = CountTree::Condition::Kind;
    const int column = log.findColumn(c.column);
    if (column < 0 || !log.column(size_t(column)).text)
        return std::nullopt;
    const TextDictionary &dict = log.column(size_t(column)).dictionary();
    auto table = std::make_shared<std::vector<uint8_t>>(dict.size());
    const std::string_view literal = c.literal;
    auto same = [&](uint32_t id) { return JetText::compare(dict.text(id), literal) == 0; };

    if (c.kind == CKind::Like && literal == "*") {
        // Translated as IS NOT NULL: false, not unknown, for NULL.
        fillTable(*table, [](uint32_t id) { return id == TextDictionary::Null ? Truth::False : Truth::True; });
    } else if (c.kind == CKind::Equal || (c.kind == CKind::Like && JetText::isLiteralPattern(literal))) {
        // A LIKE pattern without wildcards is translated as equality.
        fillTable(*table, [&](uint32_t id) { return id == TextDictionary::Null ? Truth::Unknown : same(id) ? Truth::True : Truth::False; });
    } else if (c.kind == CKind::NotEqual) {
        fillTable(*table, [&](uint32_t id) { return id == TextDictionary::Null ? Truth::Unknown : same(id) ? Truth::False : Truth::True; });
    } else if (c.kind == CKind::Like) {
        std::atomic<bool> bad{false};
        fillTable(*table, [&](uint32_t id) {
            if (id == TextDictionary::Null)
                return Truth::Unknown;
            switch (JetText::like(literal, dict.text(id))) {
            case JetText::Match::Yes:
                return Truth::True;
            case JetText::Match::No:
                return Truth::False;
            case JetText::Match::BadPattern:
                break;
            }
            bad = true;
            return Truth::Unknown;
        });
        if (bad)
            return std::nullopt;
    } else {
        return std::nullopt;
    }
    TruthExpr e;
    e.kind = Kind::Column;
    e.column = column;
    e.table = std::move(table);
    return e;
}

/// The one column every comparison of `e` reads: -1 when it reads none, -2 when several.
int soleColumn(const TruthExpr &e)
{
    if (e.kind == Kind::Const)
        return -1;
    if (e.kind == Kind::Column)
        return e.column;
    int found = -1;
    for (const TruthExpr &o : e.operands) {
        const int c = soleColumn(o);
        if (c == -2 || (c >= 0 && found >= 0 && c != found))
            return -2;
        if (c >= 0)
            found = c;
    }
    return found;
}

size_t tableSize(const TruthExpr &e)
{
    if (e.kind == Kind::Column)
        return e.table->size();
    for (const TruthExpr &o : e.operands) {
        if (const size_t n = tableSize(o))
            return n;
    }
    return 0;
}

/// The value of an expression over one column for the rows holding `id`.
uint8_t valueAt(const TruthExpr &e, uint32_t id)
{
    switch (e.kind) {
    case Kind::Const:
        return e.value;
    case Kind::Column:
        return (*e.table)[id];
    case Kind::Not:
        return uint8_t(Truth::True - valueAt(e.operands[0], id));
    case Kind::And: {
        uint8_t v = Truth::True;
        for (const TruthExpr &o : e.operands)
            v = std::min(v, valueAt(o, id));
        return v;
    }
    case Kind::Or: {
        uint8_t v = Truth::False;
        for (const TruthExpr &o : e.operands)
            v = std::max(v, valueAt(o, id));
        return v;
    }
    }
    return Truth::Unknown;
}

/// One table for an expression that reads a single column.
TruthExpr collapsed(const TruthExpr &e, int column)
{
    auto table = std::make_shared<std::vector<uint8_t>>(tableSize(e));
    fillTable(*table, [&e](uint32_t id) { return valueAt(e, id); });
    TruthExpr out;
    out.kind = Kind::Column;
    out.column = column;
    out.table = std::move(table);
    return out;
}

} // namespace

std::optional<TruthExpr> truthOf(const CountTree::Condition &condition, const ColumnarLog &log)
{
    using CKind = CountTree::Condition::Kind;
    if (condition.kind != CKind::And && condition.kind != CKind::Or && condition.kind != CKind::Not)
        return comparison(condition, log);
    TruthExpr e;
    e.kind = condition.kind == CKind::And ? Kind::And : condition.kind == CKind::Or ? Kind::Or : Kind::Not;
    for (const CountTree::Condition &o : condition.operands) {
        std::optional<TruthExpr> t = truthOf(o, log);
        if (!t)
            return std::nullopt;
        e.operands.push_back(std::move(*t));
    }
    return e;
}

TruthExpr simplify(const TruthExpr &e)
{
    if (e.kind == Kind::Const || e.kind == Kind::Column)
        return e;
    if (e.kind == Kind::Not) {
        TruthExpr inner = simplify(e.operands[0]);
        if (inner.kind == Kind::Const)
            return TruthExpr::constant(uint8_t(Truth::True - inner.value));
        if (inner.kind == Kind::Not)
            return std::move(inner.operands[0]);
        TruthExpr out;
        out.kind = Kind::Not;
        out.operands.push_back(std::move(inner));
        const int column = soleColumn(out);
        return column >= 0 ? collapsed(out, column) : out;
    }

    // AND and OR: the absorbing value decides at once, the neutral one drops out.
    const bool isAnd = e.kind == Kind::And;
    const uint8_t absorbing = isAnd ? Truth::False : Truth::True;
    const uint8_t neutral = isAnd ? Truth::True : Truth::False;
    TruthExpr out;
    out.kind = e.kind;
    bool unknown = false;
    for (const TruthExpr &o : e.operands) {
        TruthExpr s = simplify(o);
        std::vector<TruthExpr> parts;
        if (s.kind == e.kind)
            parts = std::move(s.operands);
        else
            parts.push_back(std::move(s));
        for (TruthExpr &p : parts) {
            if (p.kind == Kind::Const) {
                if (p.value == absorbing)
                    return TruthExpr::constant(absorbing);
                if (p.value == Truth::Unknown)
                    unknown = true;
                continue;
            }
            out.operands.push_back(std::move(p));
        }
    }
    if (unknown)
        out.operands.push_back(TruthExpr::constant(Truth::Unknown));
    if (out.operands.empty())
        return TruthExpr::constant(neutral);
    if (out.operands.size() == 1)
        return std::move(out.operands[0]);
    const int column = soleColumn(out);
    if (column >= 0)
        return collapsed(out, column);
    if (column == -1) {
        // Only constants are left: all of them Unknown.
        return TruthExpr::constant(Truth::Unknown);
    }
    // Parts that read the same column become one table.
    std::vector<TruthExpr> merged;
    std::vector<bool> used(out.operands.size(), false);
    for (size_t i = 0; i < out.operands.size(); ++i) {
        if (used[i])
            continue;
        const int c = soleColumn(out.operands[i]);
        if (c < 0) {
            merged.push_back(std::move(out.operands[i]));
            continue;
        }
        TruthExpr group;
        group.kind = e.kind;
        for (size_t j = i; j < out.operands.size(); ++j) {
            if (!used[j] && soleColumn(out.operands[j]) == c) {
                used[j] = true;
                group.operands.push_back(std::move(out.operands[j]));
            }
        }
        merged.push_back(group.operands.size() == 1 ? std::move(group.operands[0]) : collapsed(group, c));
    }
    out.operands = std::move(merged);
    return out;
}

TruthExpr fixColumn(const TruthExpr &e, int column, uint32_t id)
{
    if (e.kind == Kind::Column)
        return e.column == column ? TruthExpr::constant((*e.table)[id]) : e;
    if (e.kind == Kind::Const)
        return e;
    TruthExpr out;
    out.kind = e.kind;
    for (const TruthExpr &o : e.operands)
        out.operands.push_back(fixColumn(o, column, id));
    return simplify(out);
}
