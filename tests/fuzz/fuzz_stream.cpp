// The table stream as the program receives it from varkel-reader: a reader
// that crashed half-way or went wrong may send anything, and the program must
// turn that into an error, never into a crash or a snapshot of wrong shape.
#include "logbook/MdbLoader.h"
#include "logbook/jet/LogDatabase.h"
#include "logbook/testing/LoaderTesting.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    Result<std::unique_ptr<LogDatabase>> db = LogDatabase::create();
    if (!db)
        std::abort();
    // Limits as for a file of 64 KB, so the row and size caps are reached too.
    const Status loaded = loadTableStream(data, size, 65536, QStringLiteral("LOG"), **db);
    if (loaded) {
        if (!(*db)->scalar(QStringLiteral("SELECT COUNT(*) AS n FROM LOG"), QStringLiteral("n")).ok())
            std::abort();
    } else if (loaded.error().isEmpty()) {
        std::fprintf(stderr, "a failure without a reason\n");
        std::abort();
    }
    return 0;
}
