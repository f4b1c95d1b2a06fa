#include "logbook/ColumnarParts.h"

#include "logbook/count/BothCores.h"
#include "logbook/count/ColumnarLog.h"
#include "logbook/count/ColumnarLogBuilder.h"

#include <algorithm>
#include <cstring>
#include <new>

using mdbreader::Column;
using mdbreader::ColumnarTable;
using mdbreader::ColumnarTextColumn;
using mdbreader::Kind;

namespace {

template<typename Raw>
void mapIds(const ColumnarTextColumn &column, const std::vector<uint32_t> &onto, uint32_t *out, size_t rows)
{
    const uint8_t *raw = column.ids.data();
    for (size_t r = 0; r < rows; ++r) {
        Raw id;
        std::memcpy(&id, raw + r * sizeof(Raw), sizeof(Raw));
        out[r] = onto[id];
    }
}

static_assert(mdbreader::NullLength == ColumnarLog::PlainTexts::Null, "a NULL arrives as the columnar copy keeps it");

/// Text column `t` of every part as its plain texts, each part's after the one before.
ColumnarLog::PlainTexts joinPlain(std::vector<ColumnarTable> &parts, size_t t, size_t rows)
{
    ColumnarLog::PlainTexts plain;
    size_t bytes = 0;
    for (const ColumnarTable &part : parts)
        bytes += part.text[t].bytes.size();
    plain.bytes.reserve(bytes);
    plain.lengths.reserve(rows);
    for (ColumnarTable &part : parts) {
        ColumnarTextColumn &column = part.text[t];
        if (parts.size() == 1) {
            plain.bytes = std::move(column.bytes);
            plain.lengths = std::move(column.lengths);
            return plain;
        }
        plain.bytes += column.bytes;
        plain.lengths.insert(plain.lengths.end(), column.lengths.begin(), column.lengths.end());
        std::string().swap(column.bytes);
        std::vector<uint32_t>().swap(column.lengths);
    }
    return plain;
}

/// Text column `t` of every part into one dictionary and one id per row.
/// Returns why the parts do not check out.
std::string mergeColumn(std::vector<ColumnarTable> &parts, size_t t, size_t rows, TextDictionary &dictionary, std::vector<uint32_t> &ids)
{
    ids.resize(rows);
    std::vector<uint32_t> onto;       // a part's id -> the merged id
    std::vector<uint32_t> seenInPart; // merged id -> 1 + the last part that gave it
    size_t at = 0;
    for (size_t p = 0; p < parts.size(); ++p) {
        ColumnarTextColumn &column = parts[p].text[t];
        if (column.plain) {
            // A part a reader sent as plain texts, where another sent a dictionary.
            std::vector<uint32_t> partIds;
            ColumnarLog::PlainTexts plain{std::move(column.bytes), std::move(column.lengths)};
            plain.lookUp(dictionary, partIds);
            std::copy(partIds.begin(), partIds.end(), ids.begin() + std::ptrdiff_t(at));
            at += partIds.size();
            continue;
        }
        onto.assign(size_t(column.texts) + 1, TextDictionary::Null);
        size_t offset = 0;
        for (uint32_t i = 1; i <= column.texts; ++i) {
            const std::string_view text(column.bytes.data() + offset, column.lengths[i - 1]);
            offset += text.size();
            const uint32_t id = dictionary.intern(text);
            if (id >= seenInPart.size())
                seenInPart.resize(size_t(id) + 1, 0);
            if (seenInPart[id] == p + 1)
                return "the logbook reader sent a text twice in one dictionary";
            seenInPart[id] = uint32_t(p + 1);
            onto[i] = id;
        }
        std::string().swap(column.bytes);
        std::vector<uint32_t>().swap(column.lengths);
        const size_t n = size_t(parts[p].rows);
        switch (column.width) {
        case 1:
            mapIds<uint8_t>(column, onto, ids.data() + at, n);
            break;
        case 2:
            mapIds<uint16_t>(column, onto, ids.data() + at, n);
            break;
        default:
            mapIds<uint32_t>(column, onto, ids.data() + at, n);
        }
        std::vector<uint8_t>().swap(column.ids);
        at += n;
    }
    return {};
}

} // namespace

bool sameColumns(const std::vector<Column> &a, const std::vector<Column> &b)
{
    bool same = a.size() == b.size();
    for (size_t i = 0; same && i < a.size(); ++i)
        same = a[i].name == b[i].name && a[i].kind == b[i].kind;
    return same;
}

Result<std::shared_ptr<const ColumnarLog>> columnarLogOf(std::vector<ColumnarTable> &parts)
{
    using R = Result<std::shared_ptr<const ColumnarLog>>;
    if (parts.empty())
        return R::failure(QStringLiteral("the table came without columns"));
    const std::vector<Column> &columns = parts.front().columns;
    std::vector<std::string> names;
    std::vector<bool> text;
    for (const Column &c : columns) {
        names.push_back(c.name);
        text.push_back(c.kind == Kind::Text);
    }
    const size_t textCount = size_t(std::count(text.begin(), text.end(), true));
    size_t rows = 0;
    for (const ColumnarTable &part : parts) {
        if (!sameColumns(part.columns, columns) || part.text.size() != textCount)
            return R::failure(QStringLiteral("the parts of the table differ in their columns"));
        rows += size_t(part.rows);
    }
    try {
        std::vector<TextDictionary> dictionaries(textCount);
        std::vector<std::vector<uint32_t>> ids(textCount);
        std::vector<std::optional<ColumnarLog::PlainTexts>> plain(textCount);
        std::vector<std::string> why(textCount);
        onBothCores(textCount, [&](size_t t) {
            const bool allPlain = std::all_of(parts.begin(), parts.end(), [t](const ColumnarTable &p) { return p.text[t].plain; });
            if (allPlain)
                plain[t] = joinPlain(parts, t, rows);
            else
                why[t] = mergeColumn(parts, t, rows, dictionaries[t], ids[t]);
        });
        for (const std::string &w : why) {
            if (!w.empty())
                return R::failure(QString::fromStdString(w));
        }
        return R(ColumnarLogBuilder::fromColumns(std::move(names), std::move(text), std::move(dictionaries), std::move(ids), rows,
                                                 std::move(plain)));
    } catch (const std::bad_alloc &) {
        return R::failure(QStringLiteral("not enough memory for the logbook"));
    }
}
