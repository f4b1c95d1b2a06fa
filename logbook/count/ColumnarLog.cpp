#include "logbook/count/ColumnarLog.h"

#include "logbook/jet/JetText.h"

#include <algorithm>
#include <numeric>

bool sameSqlName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z')
            x += 32;
        if (y >= 'A' && y <= 'Z')
            y += 32;
        if (x != y)
            return false;
    }
    return true;
}

int ColumnarLog::findColumn(std::string_view name) const
{
    int found = -1;
    for (size_t i = 0; i < m_columns.size(); ++i) {
        if (sameSqlName(m_columns[i]->name, name)) {
            if (found >= 0)
                return -1;
            found = int(i);
        }
    }
    return found;
}

void ColumnarLog::PlainTexts::lookUp(TextDictionary &dictionary, std::vector<uint32_t> &ids) const
{
    ids.assign(lengths.size(), TextDictionary::Null);
    size_t at = 0;
    for (size_t row = 0; row < ids.size(); ++row) {
        const uint32_t length = lengths[row];
        if (length == Null)
            continue;
        ids[row] = dictionary.intern(std::string_view(bytes).substr(at, length));
        at += length;
    }
}

void ColumnarLog::Column::build() const
{
    std::call_once(m_buildOnce, [this] {
        if (!m_plain)
            return;
        TextDictionary dictionary;
        std::vector<uint32_t> ids;
        m_plain->lookUp(dictionary, ids);
        dictionary.seal();
        m_ids = IdArray(ids, dictionary.size(), *m_order);
        m_dictionary = std::move(dictionary);
        m_plain.reset();
        m_order.reset();
    });
}

const ColumnarLog::FoldedIds &ColumnarLog::folded(size_t column) const
{
    const Column &c = *m_columns[column];
    std::call_once(c.m_foldOnce, [&c] {
        const TextDictionary &dict = c.dictionary();
        std::vector<uint32_t> order(dict.size() > 0 ? dict.size() - 1 : 0);
        std::iota(order.begin(), order.end(), 1u);
        std::stable_sort(order.begin(), order.end(),
                         [&dict](uint32_t a, uint32_t b) { return JetText::compare(dict.text(a), dict.text(b)) < 0; });
        FoldedIds f;
        f.of.assign(dict.size(), 0);
        f.count = 1;
        for (size_t i = 0; i < order.size(); ++i) {
            if (i > 0 && JetText::compare(dict.text(order[i - 1]), dict.text(order[i])) != 0)
                ++f.count;
            f.of[order[i]] = f.count;
        }
        if (!order.empty())
            ++f.count;
        c.m_folded = std::move(f);
    });
    return c.m_folded;
}

std::optional<std::string_view> ColumnarLog::value(size_t column, size_t row) const
{
    const Column &c = *m_columns[column];
    if (!c.text)
        return std::nullopt;
    const uint32_t id = c.ids().at(row);
    if (id == TextDictionary::Null)
        return std::nullopt;
    return c.dictionary().text(id);
}

size_t ColumnarLog::memoryBytes() const
{
    size_t bytes = m_groups.capacity() * sizeof(BandGroup);
    for (const auto &c : m_columns) {
        bytes += sizeof(Column) + c->m_dictionary.memoryBytes() + c->m_ids.memoryBytes() + c->m_folded.of.capacity() * sizeof(uint32_t);
        if (c->m_plain)
            bytes += c->m_plain->bytes.capacity() + c->m_plain->lengths.capacity() * sizeof(uint32_t);
    }
    return bytes;
}
