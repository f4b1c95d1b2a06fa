// varkel-reader: reads the table of a logbook file and writes it to standard
// output as a table stream (ReaderStream.h). The program starts it for every
// logbook it opens, so that a damaged file can only take this process down.
//   varkel-reader [--seconds N] [--part K/N] FILE TABLE
// With --part, only the rows of that share of the table's data pages are sent
// (all rows are still read for the check that the table is complete).
// Exit status: 0 table sent, 1 table not readable (the reason is in the
// stream), 2 wrong arguments, 3 output closed.
#include "MdbReader.h"
#include "ReaderStream.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

bool writeAll(const char *data, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(STDOUT_FILENO, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= std::size_t(n);
    }
    return true;
}

void setLimit(int resource, rlim_t value)
{
    struct rlimit limit {};
    if (getrlimit(resource, &limit) != 0)
        return;
    limit.rlim_cur = limit.rlim_max == RLIM_INFINITY ? value : std::min(value, limit.rlim_max);
    setrlimit(resource, &limit);
}

} // namespace

// Present when AddressSanitizer is linked in (fuzzing builds); its shadow
// memory needs more address space than the limit below allows.
extern "C" __attribute__((weak)) void __asan_init();

namespace {

bool sanitized() { return &__asan_init != nullptr; }

} // namespace

int main(int argc, char **argv)
{
    long seconds = 0;
    int first = 1;
    mdbreader::Part part;
    for (;;) {
        if (argc - first > 2 && std::strcmp(argv[first], "--seconds") == 0) {
            seconds = std::strtol(argv[first + 1], nullptr, 10);
            first += 2;
        } else if (argc - first > 2 && std::strcmp(argv[first], "--part") == 0) {
            unsigned k = 0, n = 0;
            char end = 0;
            if (std::sscanf(argv[first + 1], "%u/%u%c", &k, &n, &end) != 2 || n == 0 || k >= n || n > 64) {
                std::fprintf(stderr, "varkel-reader: --part K/N with K < N\n");
                return 2;
            }
            part = {k, n};
            first += 2;
        } else {
            break;
        }
    }
    if (argc - first != 2) {
        std::fprintf(stderr, "usage: varkel-reader [--seconds N] [--part K/N] FILE TABLE\n");
        return 2;
    }
    // Die with the program, leave no core file, and keep a damaged file from
    // taking the machine's memory or a core forever.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    setLimit(RLIMIT_CORE, 0);
    if (seconds > 0)
        setLimit(RLIMIT_CPU, rlim_t(seconds) * 2 + 5);
    if (!sanitized())
        setLimit(RLIMIT_AS, rlim_t(2) << 30);

    mdbreader::StreamEncoder encoder(writeAll);
    const std::string why = mdbreader::readTable(argv[first], argv[first + 1], encoder, part);
    if (!why.empty())
        return encoder.fail(why) ? 1 : 3;
    return encoder.finish() ? 0 : 3;
}
