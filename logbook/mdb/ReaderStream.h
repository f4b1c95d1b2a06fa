#pragma once
// The form in which the reader process hands a table to the program: a byte
// stream on its standard output. The program checks every byte of it, since
// a reader that crashed half-way or read a damaged file may send anything.
//
//   "VKR1"                                   start
//   'C' u16 count { u8 kind, u16 length, name }    columns, once
//   'R' { u8 tag [value] } per column         a row; tag 0 NULL, 1 integer
//                                             (zigzag varint), 2 real (8 bytes),
//                                             3 text (varint length, bytes)
//   'E' varint rows                           the end, all rows sent
//   'X' varint length, text                   the reader failed: why
// Numbers are little-endian.

#include "logbook/mdb/MdbReader.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace mdbreader {

class StreamCursor;

/// Turns a table into the stream; `write` takes each filled buffer and
/// returns false when the bytes cannot be delivered.
class StreamEncoder : public RowSink {
public:
    using Write = std::function<bool(const char *data, std::size_t size)>;
    explicit StreamEncoder(Write write);

    bool columns(const std::vector<Column> &columns) override;
    bool row(const std::vector<Value> &values) override;
    std::string error() const override { return m_error; }

    /// Ends the stream: all rows sent.
    bool finish();
    /// Ends the stream with the reason the table could not be read.
    bool fail(std::string_view why);

private:
    bool flushIfFull();
    bool flush();
    void varint(std::uint64_t v);

    Write m_write;
    std::vector<Kind> m_kinds;
    std::string m_buffer;
    std::uint64_t m_rows = 0;
    std::string m_error;
    bool m_sinkFailed = false;
};

/// What the program feeds the reader's output to, piece by piece.
class StreamInput {
public:
    virtual ~StreamInput() = default;
    /// Takes the next bytes; false once the stream is wrong or its taker
    /// refused what it holds (then error() tells why; nothing more is taken).
    virtual bool feed(const char *data, std::size_t size) = 0;
    /// The stream ended with all rows.
    virtual bool complete() const = 0;
    /// The reader sent the reason it failed; readerError() holds it.
    virtual bool readerFailed() const = 0;
    virtual const std::string &readerError() const = 0;
    /// Why the stream is wrong (empty while it is not).
    virtual const std::string &error() const = 0;
    /// The error is the taker's, not the stream's.
    virtual bool sinkFailed() const = 0;
};

/// Checks a stream piece by piece and hands what it holds to a RowSink.
class StreamDecoder : public StreamInput {
public:
    struct Limits {
        std::uint64_t maxRows = UINT64_MAX;
        std::uint64_t maxBytes = UINT64_MAX;
    };
    explicit StreamDecoder(RowSink &sink, Limits limits);
    StreamDecoder(RowSink &sink) : StreamDecoder(sink, Limits{}) {}

    bool feed(const char *data, std::size_t size) override;
    bool complete() const override { return m_state == State::Complete; }
    bool readerFailed() const override { return m_state == State::ReaderFailed; }
    const std::string &readerError() const override { return m_readerError; }
    const std::string &error() const override { return m_error; }
    bool sinkFailed() const override { return m_sinkFailed; }
    std::uint64_t rows() const { return m_rows; }
    std::uint64_t bytes() const { return m_bytes; }

private:
    enum class State { Magic, Columns, Rows, Complete, ReaderFailed, Broken };
    enum class Step { Done, NeedMore, Bad };
    /// One record of the stream, each kind in a step of its own.
    Step parseOne(std::string_view in, std::size_t &used);
    Step parseMagic(StreamCursor &c, std::string_view in);
    Step parseColumns(StreamCursor &c);
    Step parseRow(StreamCursor &c);
    Step parseValue(StreamCursor &c, Kind kind, Value &v);
    Step parseEnd(StreamCursor &c);
    Step parseFailure(StreamCursor &c);
    Step fail(std::string why);
    Step sinkRefused();
    bool bad(std::string why);

    RowSink &m_sink;
    Limits m_limits;
    State m_state = State::Magic;
    std::string m_pending;
    std::vector<Column> m_columns;
    std::vector<Value> m_values;
    std::uint64_t m_rows = 0;
    std::uint64_t m_bytes = 0;
    std::string m_readerError;
    std::string m_error;
    bool m_sinkFailed = false;
};

} // namespace mdbreader
