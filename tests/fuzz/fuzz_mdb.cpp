// The logbook reader on damaged files: the bytes are read as a logbook file by
// the code varkel-reader runs, passed through the table stream and its checks,
// and loaded into a snapshot, as when the program opens a logbook. Every table
// the page reader reads, libmdb reads alike, value for value; what the page
// reader does not read alike it declines with a reason.
// The mutator breaks what a Jet file is made of: it cuts the file, sets page
// numbers (to pages past the end, to the page itself for loops), sizes and row
// offsets to edge values, and copies, swaps or blanks whole pages.
#include "logbook/MdbLoader.h"
#include "logbook/jet/LogDatabase.h"
#include "logbook/testing/LoaderTesting.h"
#include "logbook/testing/ReaderTesting.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>

extern "C" std::size_t LLVMFuzzerMutate(std::uint8_t *data, std::size_t size, std::size_t maxSize);

namespace {

constexpr std::size_t PageSize = 4096;

void put(std::uint8_t *data, std::size_t size, std::size_t at, std::uint32_t value, std::size_t width)
{
    for (std::size_t i = 0; i < width && at + i < size; ++i)
        data[at + i] = std::uint8_t(value >> (8 * i));
}

/// Where the numbers that steer libmdb sit in a page: the page header (type,
/// owner, next page, free space, row count), the row offset table, or anywhere.
std::size_t fieldOffset(std::minstd_rand &rng, std::size_t pageStart, std::size_t size)
{
    std::size_t within;
    switch (rng() % 4) {
    case 0:
        within = rng() % 64;
        break;
    case 1:
        within = 14 + 2 * (rng() % 64);
        break;
    default:
        within = rng() % PageSize;
        break;
    }
    return std::min(pageStart + within, size ? size - 1 : 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (const std::string differs = mdbreader::pageReaderAgainstLibmdb(data, size); !differs.empty()) {
        std::fprintf(stderr, "the page reader and libmdb differ: %s\n", differs.c_str());
        std::abort();
    }
    Result<std::unique_ptr<LogDatabase>> db = LogDatabase::create();
    if (!db)
        std::abort();
    const Status loaded = loadMdbImage(data, size, QStringLiteral("LOG"), **db);
    if (loaded) {
        // A snapshot that loaded answers the program's queries.
        const Result<QString> n = (*db)->scalar(QStringLiteral("SELECT COUNT(*) AS n FROM LOG"), QStringLiteral("n"));
        if (!n.ok()) {
            std::fprintf(stderr, "a loaded snapshot does not answer: %s\n", qPrintable(n.error()));
            std::abort();
        }
    } else if (loaded.error().isEmpty()) {
        std::fprintf(stderr, "a failure without a reason\n");
        std::abort();
    }
    return 0;
}

extern "C" std::size_t LLVMFuzzerCustomMutator(std::uint8_t *data, std::size_t size, std::size_t maxSize, unsigned int seed)
{
    std::minstd_rand rng(seed | 1);
    const std::size_t pages = size / PageSize;
    if (pages < 2 || rng() % 8 == 0)
        return LLVMFuzzerMutate(data, size, maxSize);
    const std::size_t page = rng() % pages;
    const std::size_t start = page * PageSize;
    switch (rng() % 8) {
    case 0: // cut the file, mostly at a page boundary
        return rng() % 2 ? (1 + rng() % (pages - 1)) * PageSize : std::size_t(rng() % size);
    case 1:
    case 2: { // a page number or page/row pointer
        const std::uint32_t other = std::uint32_t(rng() % pages);
        const std::uint32_t values[] = {0,
                                        1,
                                        std::uint32_t(page),
                                        other,
                                        std::uint32_t(pages),
                                        std::uint32_t(pages + 1 + rng() % 1000),
                                        0x7fffffffu,
                                        0xffffffffu,
                                        other << 8 | std::uint32_t(rng() % 4),
                                        std::uint32_t(page) << 8,
                                        std::uint32_t(rng())};
        put(data, size, fieldOffset(rng, start, size), values[rng() % std::size(values)], 4);
        return size;
    }
    case 3:
    case 4: { // a 16-bit size, count or row offset
        const std::uint32_t values[] = {0,
                                        1,
                                        2,
                                        0x7fff,
                                        0x8000,
                                        0xffff,
                                        0x1fff,
                                        0x0fff,
                                        4095,
                                        4096,
                                        4097,
                                        std::uint32_t(0x4000 | (rng() % 4096)),
                                        std::uint32_t(0x8000 | (rng() % 4096)),
                                        std::uint32_t(rng() % 4096),
                                        255,
                                        256,
                                        1000,
                                        1001};
        put(data, size, fieldOffset(rng, start, size), values[rng() % std::size(values)], 2);
        return size;
    }
    case 5: { // copy a page over another, or swap two
        const std::size_t other = (rng() % pages) * PageSize;
        if (rng() % 2) {
            std::memmove(data + start, data + other, PageSize);
        } else {
            for (std::size_t i = 0; i < PageSize; ++i)
                std::swap(data[start + i], data[other + i]);
        }
        return size;
    }
    case 6: // a blank page, as in a file not yet written to the end
        std::memset(data + start, rng() % 2 ? 0 : 0xff, PageSize);
        return size;
    default: { // byte changes inside one page
        const std::size_t changed = LLVMFuzzerMutate(data + start, PageSize, PageSize);
        if (changed < PageSize)
            std::memset(data + start + changed, 0, PageSize - changed);
        return size;
    }
    }
}
