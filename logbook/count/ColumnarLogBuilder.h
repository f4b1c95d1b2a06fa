#pragma once
#include "logbook/count/ColumnarLog.h"

#include <condition_variable>
#include <deque>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

/// Builds a ColumnarLog row by row. Rows are handed on in chunks to a second
/// thread that looks their texts up in the column dictionaries while the
/// caller reads the next rows; finish() then groups the rows by band, again
/// on both cores. Ids follow the order in which texts first appear, so the
/// same rows always give the same log.
class ColumnarLogBuilder {
public:
    using Cell = std::optional<std::string_view>; ///< nullopt is NULL

    /// Columns by name; text[i] false for a column whose values are not text
    /// (its cells are ignored). Empty `text`: every column holds text.
    explicit ColumnarLogBuilder(std::vector<std::string> names, std::vector<bool> text = {});
    ~ColumnarLogBuilder();
    ColumnarLogBuilder(const ColumnarLogBuilder &) = delete;
    ColumnarLogBuilder &operator=(const ColumnarLogBuilder &) = delete;

    size_t columnCount() const { return m_names.size(); }

    /// One row: a cell per column, in column order.
    void addRow(std::span<const Cell> cells);
    void addRow(std::initializer_list<Cell> cells) { addRow(std::span<const Cell>(cells.begin(), cells.size())); }

    class Segment;
    /// Rows gathered apart (by a Segment, on any thread) follow the rows added so far.
    void append(Segment &&segment);

    /// A column turned out to hold a value that is not text: it is kept by name only.
    void dropColumn(size_t column);

    /// The log of the rows added so far; the builder is spent afterwards.
    std::shared_ptr<const ColumnarLog> finish();

    /// A log of columns made elsewhere: `dictionaries` and `ids` (one per row,
    /// in table order) for each column whose `text` flag is set, in column
    /// order; they are taken over. A column given in `plain` (when it has an
    /// entry per text column) is looked up when first read instead.
    static std::shared_ptr<const ColumnarLog> fromColumns(std::vector<std::string> names, std::vector<bool> text,
                                                          std::vector<TextDictionary> dictionaries, std::vector<std::vector<uint32_t>> ids,
                                                          size_t rows, std::vector<std::optional<ColumnarLog::PlainTexts>> plain = {});

private:
    struct Chunk {
        std::string bytes;
        std::vector<int64_t> cells; ///< per row and text column: start in bytes, or -1 for NULL
        std::vector<uint32_t> lengths;
        size_t rows = 0;
    };
    static void addTo(Chunk &chunk, const std::vector<size_t> &textColumns, std::span<const Cell> cells);

public:
    /// Rows made ready for a builder apart from it, e.g. on another thread
    /// while the builder takes the rows that come before them.
    class Segment {
    public:
        /// The columns as the builder's: text[i] false for a column that is not text.
        explicit Segment(std::vector<bool> text);
        void addRow(std::span<const Cell> cells);
        size_t rowCount() const { return m_rows; }

    private:
        friend class ColumnarLogBuilder;
        std::vector<bool> m_text;
        std::vector<size_t> m_textColumns;
        std::vector<std::unique_ptr<Chunk>> m_chunks;
        size_t m_rows = 0;
    };

private:
    /// The log of the dictionaries and ids of the columns `textColumns`, grouped by band.
    static std::shared_ptr<const ColumnarLog> assemble(const std::vector<std::string> &names, const std::vector<bool> &text,
                                                       const std::vector<size_t> &textColumns, std::vector<TextDictionary> &dictionaries,
                                                       std::vector<std::vector<uint32_t>> &ids, size_t rows,
                                                       std::vector<std::optional<ColumnarLog::PlainTexts>> plain = {});
    void handOn();
    void internLoop();
    void intern(const Chunk &chunk);
    void internColumn(const Chunk &chunk, size_t textColumn);

    std::vector<std::string> m_names;
    std::vector<bool> m_text;
    std::vector<size_t> m_textColumns;          ///< indexes of the text columns
    std::vector<TextDictionary> m_dictionaries; ///< per text column
    std::vector<std::vector<uint32_t>> m_ids;   ///< per text column, in row order
    size_t m_rows = 0;
    bool m_finished = false;

    std::unique_ptr<Chunk> m_current;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<std::unique_ptr<Chunk>> m_full;
    std::vector<std::unique_ptr<Chunk>> m_free;
    bool m_closing = false;
    bool m_failed = false; ///< the worker ran out of memory: finish() gives nothing
    std::jthread m_worker;
};
