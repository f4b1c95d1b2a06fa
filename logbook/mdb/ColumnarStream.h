#pragma once
// The compact form in which the reader process hands the text columns of a
// table to the program for its columnar copy: each text column as its
// dictionary (every distinct text once, in the order the rows first give it)
// and then one fixed-width id per row; a column of nearly as many texts as
// rows (dates) as its plain texts, row by row, left for the program to look
// up when a count first needs it. The program checks every byte of it as it
// checks the row stream (ReaderStream.h).
//
//   "VKC1"                                    start
//   'C' u16 count { u8 kind, u16 length, name }    columns, once, before any row is read
//   'T' u64 rows, u32 texts, u64 bytes, u8 width    per text column, in column order:
//       u32 length x texts, the texts' bytes        its dictionary (ids 1..texts)
//       id x rows, each `width` bytes (1, 2 or 4)   the ids, 0 for NULL
//     or 'P' u64 rows, u64 bytes                   a column of plain texts:
//       u32 length x rows (0xffffffff for NULL), the texts' bytes
//   'E' u64 rows                              the end, all rows sent
//   'X' varint length, text                   the reader failed: why
// Numbers are little-endian.

#include "logbook/count/TextDictionary.h"
#include "logbook/mdb/ReaderStream.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace mdbreader {

/// The length a plain text column gives a NULL.
constexpr std::uint32_t NullLength = 0xffffffffu;

/// One text column made elsewhere (the page reader's own columns): its
/// dictionary and one id per row, or (`plain`) its texts row by row.
struct EncodedColumn {
    bool plain = false;
    TextDictionary dictionary;
    std::vector<std::uint32_t> ids;
    std::string bytes;                  ///< plain: the texts one after the other
    std::vector<std::uint32_t> lengths; ///< plain: per row, NullLength for NULL
};

/// Turns a table into the columnar stream. The columns go out at once; the
/// dictionaries and ids once every row is in (finish()).
class ColumnarEncoder : public RowSink {
public:
    using Write = std::function<bool(const char *data, std::size_t size)>;
    explicit ColumnarEncoder(Write write);

    bool columns(const std::vector<Column> &columns) override;
    bool row(const std::vector<Value> &values) override;
    std::string error() const override { return m_error; }

    /// The text columns of `rows` rows made elsewhere, one per text column
    /// in column order, in place of rows; after columns(), before finish().
    void take(std::vector<EncodedColumn> columns, std::uint64_t rows);

    /// Sends the text columns and ends the stream: all rows sent.
    bool finish();
    /// Ends the stream with the reason the table could not be read.
    bool fail(std::string_view why);

private:
    bool send(std::string_view bytes);
    bool flush();
    bool sendDictionary(const EncodedColumn &column);
    bool sendPlain(const EncodedColumn &column);

    Write m_write;
    std::vector<std::size_t> m_textColumns;
    std::vector<EncodedColumn> m_encoded; ///< per text column
    std::uint64_t m_rows = 0;
    std::string m_buffer;
    std::string m_error;
    bool m_started = false;
};

/// One text column as it arrived: the dictionary's texts one after the other
/// with their lengths, and the ids as sent (`width` bytes each); or, `plain`,
/// every row's text with its length (NullLength for NULL), and no ids.
struct ColumnarTextColumn {
    bool plain = false;
    std::uint32_t texts = 0;
    std::string bytes;
    std::vector<std::uint32_t> lengths;
    std::uint8_t width = 1;
    std::vector<std::uint8_t> ids;

    /// The id of row `row`, 0 for NULL.
    std::uint32_t id(std::size_t row) const
    {
        const std::uint8_t *p = ids.data() + row * width;
        std::uint32_t v = p[0];
        if (width > 1)
            v |= std::uint32_t(p[1]) << 8;
        if (width > 2)
            v |= std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
        return v;
    }
};

/// A table (or a part of it) as the columnar stream gave it.
struct ColumnarTable {
    std::vector<Column> columns;
    std::uint64_t rows = 0;
    std::vector<ColumnarTextColumn> text; ///< per column of Kind::Text, in column order
};

/// Checks a columnar stream piece by piece and fills a ColumnarTable from it,
/// the large parts straight into their arrays.
class ColumnarDecoder : public StreamInput {
public:
    /// Looks at the columns as soon as they arrive; a non-empty answer stops
    /// the stream with it as the reason.
    using ColumnCheck = std::function<std::string(const std::vector<Column> &)>;
    ColumnarDecoder(ColumnarTable &table, StreamDecoder::Limits limits, ColumnCheck check = nullptr);

    bool feed(const char *data, std::size_t size) override;
    bool complete() const override { return m_state == State::Complete; }
    bool readerFailed() const override { return m_state == State::ReaderFailed; }
    const std::string &readerError() const override { return m_readerError; }
    const std::string &error() const override { return m_error; }
    bool sinkFailed() const override { return m_checkFailed; }

private:
    enum class State { Magic, Records, Lengths, Texts, Ids, Complete, ReaderFailed, Broken };
    enum class Step { Done, NeedMore, Bad };
    Step parseOne(std::string_view in, std::size_t &used);
    Step parseColumns(std::string_view in, std::size_t &used);
    Step parseText(std::string_view in, std::size_t &used);
    Step parsePlain(std::string_view in, std::size_t &used);
    /// Room for the column just announced; false when there is no memory.
    bool makeRoom(ColumnarTextColumn &column, std::size_t lengths, std::uint64_t bytes, std::size_t ids);
    Step parseEnd(std::string_view in, std::size_t &used);
    Step parseFailure(std::string_view in, std::size_t &used);
    /// A block of the current text column has arrived in full.
    bool blockDone();
    Step fail(std::string why);
    bool bad(std::string why);

    ColumnarTable &m_table;
    StreamDecoder::Limits m_limits;
    ColumnCheck m_check;
    State m_state = State::Magic;
    std::string m_pending;
    bool m_haveColumns = false;
    std::size_t m_textCount = 0; ///< text columns the table has
    std::uint64_t m_bytes = 0;
    std::uint64_t m_textBytes = 0; ///< of every dictionary so far
    unsigned char *m_blockAt = nullptr;
    std::size_t m_blockLeft = 0;
    std::string m_readerError;
    std::string m_error;
    bool m_checkFailed = false;
};

} // namespace mdbreader
