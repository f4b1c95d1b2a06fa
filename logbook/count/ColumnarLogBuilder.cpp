#include "logbook/count/ColumnarLogBuilder.h"

#include "logbook/count/BothCores.h"

#include <stdexcept>

namespace {

constexpr size_t ChunkRows = 4096;
constexpr size_t ChunksInFlight = 4;

} // namespace

ColumnarLogBuilder::ColumnarLogBuilder(std::vector<std::string> names, std::vector<bool> text)
    : m_names(std::move(names)), m_text(std::move(text))
{
    if (m_text.empty())
        m_text.assign(m_names.size(), true);
    if (m_text.size() != m_names.size())
        throw std::invalid_argument("one text flag per column");
    for (size_t i = 0; i < m_names.size(); ++i) {
        if (m_text[i])
            m_textColumns.push_back(i);
    }
    m_dictionaries.resize(m_textColumns.size());
    m_ids.resize(m_textColumns.size());
    m_current = std::make_unique<Chunk>();
    m_worker = std::jthread([this] { internLoop(); });
}

ColumnarLogBuilder::~ColumnarLogBuilder()
{
    if (m_worker.joinable()) {
        {
            std::lock_guard lock(m_mutex);
            m_closing = true;
        }
        m_changed.notify_all();
        m_worker.join();
    }
}

void ColumnarLogBuilder::addRow(std::span<const Cell> cells)
{
    if (m_finished)
        throw std::logic_error("rows added to a finished columnar log");
    if (cells.size() != m_names.size())
        throw std::invalid_argument("one cell per column");
    Chunk &chunk = *m_current;
    addTo(chunk, m_textColumns, cells);
    ++m_rows;
    if (chunk.rows == ChunkRows)
        handOn();
}

void ColumnarLogBuilder::addTo(Chunk &chunk, const std::vector<size_t> &textColumns, std::span<const Cell> cells)
{
    for (const size_t c : textColumns) {
        const Cell &cell = cells[c];
        if (!cell) {
            chunk.cells.push_back(-1);
            chunk.lengths.push_back(0);
        } else {
            chunk.cells.push_back(int64_t(chunk.bytes.size()));
            chunk.lengths.push_back(uint32_t(cell->size()));
            chunk.bytes.append(*cell);
        }
    }
    ++chunk.rows;
}

ColumnarLogBuilder::Segment::Segment(std::vector<bool> text) : m_text(std::move(text))
{
    for (size_t i = 0; i < m_text.size(); ++i) {
        if (m_text[i])
            m_textColumns.push_back(i);
    }
}

void ColumnarLogBuilder::Segment::addRow(std::span<const Cell> cells)
{
    if (cells.size() != m_text.size())
        throw std::invalid_argument("one cell per column");
    if (m_chunks.empty() || m_chunks.back()->rows == ChunkRows)
        m_chunks.push_back(std::make_unique<Chunk>());
    addTo(*m_chunks.back(), m_textColumns, cells);
    ++m_rows;
}

void ColumnarLogBuilder::append(Segment &&segment)
{
    if (m_finished)
        throw std::logic_error("rows added to a finished columnar log");
    if (segment.m_text.size() != m_names.size() || segment.m_textColumns != m_textColumns)
        throw std::invalid_argument("a segment with other columns");
    if (m_current->rows > 0)
        handOn();
    {
        std::lock_guard lock(m_mutex);
        for (std::unique_ptr<Chunk> &chunk : segment.m_chunks) {
            m_rows += chunk->rows;
            m_full.push_back(std::move(chunk));
        }
    }
    m_changed.notify_all();
    segment.m_chunks.clear();
    segment.m_rows = 0;
}

void ColumnarLogBuilder::dropColumn(size_t column)
{
    if (column < m_text.size())
        m_text[column] = false;
}

void ColumnarLogBuilder::handOn()
{
    std::unique_ptr<Chunk> next;
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_full.size() < ChunksInFlight || m_failed; });
        if (m_failed)
            m_full.clear(); // nothing takes them any more
        m_full.push_back(std::move(m_current));
        if (!m_free.empty()) {
            next = std::move(m_free.back());
            m_free.pop_back();
        }
    }
    m_changed.notify_all();
    if (!next)
        next = std::make_unique<Chunk>();
    next->bytes.clear();
    next->cells.clear();
    next->lengths.clear();
    next->rows = 0;
    m_current = std::move(next);
}

void ColumnarLogBuilder::internLoop()
{
    for (;;) {
        std::unique_ptr<Chunk> chunk;
        {
            std::unique_lock lock(m_mutex);
            m_changed.wait(lock, [this] { return !m_full.empty() || m_closing; });
            if (m_full.empty() || m_closing)
                return;
            chunk = std::move(m_full.front());
            m_full.pop_front();
        }
        m_changed.notify_all();
        // No exception leaves the thread: a lack of memory ends the copy.
        try {
            intern(*chunk);
        } catch (const std::bad_alloc &) {
            std::lock_guard lock(m_mutex);
            m_failed = true;
            m_changed.notify_all();
            return;
        }
        {
            std::lock_guard lock(m_mutex);
            m_free.push_back(std::move(chunk));
        }
    }
}

void ColumnarLogBuilder::intern(const Chunk &chunk)
{
    for (size_t t = 0; t < m_textColumns.size(); ++t)
        internColumn(chunk, t);
}

void ColumnarLogBuilder::internColumn(const Chunk &chunk, size_t t)
{
    const size_t width = m_textColumns.size();
    const std::string_view bytes(chunk.bytes);
    TextDictionary &dict = m_dictionaries[t];
    std::vector<uint32_t> &ids = m_ids[t];
    for (size_t r = 0; r < chunk.rows; ++r) {
        const size_t k = r * width + t;
        const int64_t start = chunk.cells[k];
        ids.push_back(start < 0 ? TextDictionary::Null : dict.intern(bytes.substr(size_t(start), chunk.lengths[k])));
    }
}

std::shared_ptr<const ColumnarLog> ColumnarLogBuilder::finish()
{
    if (m_finished)
        throw std::logic_error("a columnar log is finished once");
    m_finished = true;
    if (m_current->rows > 0)
        handOn();
    {
        std::lock_guard lock(m_mutex);
        m_closing = true;
    }
    m_changed.notify_all();
    m_worker.join();
    if (m_failed)
        return nullptr;
    // The chunks still waiting (the worker stops after the one it holds): each
    // column through all of them in order, the columns shared by both cores.
    std::vector<std::unique_ptr<Chunk>> rest;
    for (std::unique_ptr<Chunk> &chunk : m_full)
        rest.push_back(std::move(chunk));
    m_full.clear();
    onBothCores(m_textColumns.size(), [&](size_t t) {
        for (const std::unique_ptr<Chunk> &chunk : rest)
            internColumn(*chunk, t);
    });

    return assemble(m_names, m_text, m_textColumns, m_dictionaries, m_ids, m_rows);
}

std::shared_ptr<const ColumnarLog> ColumnarLogBuilder::fromColumns(std::vector<std::string> names, std::vector<bool> text,
                                                                   std::vector<TextDictionary> dictionaries,
                                                                   std::vector<std::vector<uint32_t>> ids, size_t rows,
                                                                   std::vector<std::optional<ColumnarLog::PlainTexts>> plain)
{
    std::vector<size_t> textColumns;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i])
            textColumns.push_back(i);
    }
    if (text.size() != names.size() || dictionaries.size() != textColumns.size() || ids.size() != textColumns.size())
        throw std::invalid_argument("one dictionary and id list per text column");
    if (!plain.empty() && plain.size() != textColumns.size())
        throw std::invalid_argument("plain texts for every text column or none");
    for (size_t t = 0; t < ids.size(); ++t) {
        const bool isPlain = !plain.empty() && plain[t];
        if ((isPlain ? plain[t]->lengths.size() : ids[t].size()) != rows)
            throw std::invalid_argument("one id per row");
    }
    return assemble(names, text, textColumns, dictionaries, ids, rows, std::move(plain));
}

std::shared_ptr<const ColumnarLog> ColumnarLogBuilder::assemble(const std::vector<std::string> &names, const std::vector<bool> &text,
                                                                const std::vector<size_t> &textColumns,
                                                                std::vector<TextDictionary> &dictionaries,
                                                                std::vector<std::vector<uint32_t>> &ids, size_t rows,
                                                                std::vector<std::optional<ColumnarLog::PlainTexts>> plain)
{
    std::shared_ptr<ColumnarLog> log(new ColumnarLog);
    log->m_rows = rows;
    std::vector<int> textIndex(names.size(), -1);
    for (size_t t = 0; t < textColumns.size(); ++t)
        textIndex[textColumns[t]] = int(t);
    for (size_t c = 0; c < names.size(); ++c) {
        auto column = std::make_unique<ColumnarLog::Column>();
        column->name = names[c];
        column->text = text[c];
        log->m_columns.push_back(std::move(column));
    }

    // Rows grouped by the dictionary id of Banda, in table order within a band.
    auto shared = std::make_shared<std::vector<uint32_t>>();
    std::vector<uint32_t> &order = *shared;
    const int band = log->findColumn("Banda");
    if (band >= 0 && text[size_t(band)]) {
        // The rows are grouped by the band's ids: it is looked up at once.
        const size_t t = size_t(textIndex[size_t(band)]);
        if (t < plain.size() && plain[t]) {
            plain[t]->lookUp(dictionaries[t], ids[t]);
            plain[t].reset();
        }
        log->m_bandColumn = band;
        const std::vector<uint32_t> &bandIds = ids[size_t(textIndex[size_t(band)])];
        std::vector<size_t> start(dictionaries[size_t(textIndex[size_t(band)])].size() + 1, 0);
        for (const uint32_t id : bandIds)
            ++start[id + 1];
        for (size_t id = 0; id + 1 < start.size(); ++id) {
            if (start[id + 1] > 0)
                log->m_groups.push_back({uint32_t(id), start[id], start[id] + start[id + 1]});
            start[id + 1] += start[id];
        }
        order.resize(rows);
        for (size_t row = 0; row < rows; ++row)
            order[start[bandIds[row]]++] = uint32_t(row);
    } else {
        log->m_groups.push_back({TextDictionary::Null, 0, rows});
    }

    onBothCores(textColumns.size(), [&](size_t t) {
        const size_t c = textColumns[t];
        ColumnarLog::Column &column = *log->m_columns[c];
        if (column.text && t < plain.size() && plain[t]) {
            column.m_plain = std::move(plain[t]);
            column.m_order = shared;
        } else if (column.text) {
            column.m_dictionary = std::move(dictionaries[t]);
            column.m_dictionary.seal();
            column.m_ids = IdArray(ids[t], column.m_dictionary.size(), order);
        }
        std::vector<uint32_t>().swap(ids[t]);
    });
    return log;
}
