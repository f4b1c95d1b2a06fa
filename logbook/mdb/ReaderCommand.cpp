#include "logbook/mdb/ReaderCommand.h"

#include "logbook/mdb/ColumnarStream.h"
#include "logbook/mdb/ReaderStream.h"

#include <cstdio>
#include <cstdlib>

namespace mdbreader {

std::optional<ReaderCommand> parseReaderCommand(const std::vector<std::string> &arguments)
{
    ReaderCommand c;
    std::size_t first = 0;
    for (;;) {
        if (arguments.size() - first > 2 && arguments[first] == "--seconds") {
            c.seconds = std::strtol(arguments[first + 1].c_str(), nullptr, 10);
            first += 2;
        } else if (arguments.size() - first > 2 && arguments[first] == "--columnar") {
            c.columnar = true;
            ++first;
        } else if (arguments.size() - first > 2 && arguments[first] == "--part") {
            unsigned k = 0, n = 0;
            char end = 0;
            if (std::sscanf(arguments[first + 1].c_str(), "%u/%u%c", &k, &n, &end) != 2 || n == 0 || k >= n || n > 64) {
                std::fprintf(stderr, "varkel-reader: --part K/N with K < N\n");
                return std::nullopt;
            }
            c.part = {k, n};
            first += 2;
        } else {
            break;
        }
    }
    if (arguments.size() - first != 2) {
        std::fprintf(stderr, "usage: varkel-reader [--seconds N] [--columnar] [--part K/N] FILE TABLE\n");
        return std::nullopt;
    }
    c.file = arguments[first];
    c.table = arguments[first + 1];
    return c;
}

namespace {

std::string read(const ReaderCommand &command, StreamEncoder &encoder)
{
    return readTable(command.file, command.table, encoder, command.part);
}
std::string read(const ReaderCommand &command, ColumnarEncoder &encoder)
{
    return readTableColumnar(command.file, command.table, encoder, command.part);
}

template<typename Encoder>
int readInto(const ReaderCommand &command, const std::function<bool(const char *, std::size_t)> &write)
{
    Encoder encoder(write);
    const std::string why = read(command, encoder);
    if (!why.empty())
        return encoder.fail(why) ? 1 : 3;
    return encoder.finish() ? 0 : 3;
}

} // namespace

int runReaderCommand(const ReaderCommand &command, const std::function<bool(const char *, std::size_t)> &write)
{
    return command.columnar ? readInto<ColumnarEncoder>(command, write) : readInto<StreamEncoder>(command, write);
}

} // namespace mdbreader
