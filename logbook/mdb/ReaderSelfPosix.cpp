// varkel-reader's process on POSIX systems: death signal, resource limits,
// write(2).
#include "logbook/mdb/ReaderSelf.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

// Present when AddressSanitizer is linked in (fuzzing builds); its shadow
// memory needs more address space than the limit below allows.
extern "C" __attribute__((weak)) void __asan_init();

namespace readerself {
namespace {

bool sanitized() { return &__asan_init != nullptr; }

void setLimit(int resource, rlim_t value)
{
    struct rlimit limit {};
    if (getrlimit(resource, &limit) != 0)
        return;
    limit.rlim_cur = limit.rlim_max == RLIM_INFINITY ? value : std::min(value, limit.rlim_max);
    setrlimit(resource, &limit);
}

} // namespace

std::vector<std::string> arguments(int argc, char **argv) { return std::vector<std::string>(argv + std::min(argc, 1), argv + argc); }

void confine(long seconds)
{
    // Die with the program, leave no core file, and keep a damaged file from
    // taking the machine's memory or a core forever.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    setLimit(RLIMIT_CORE, 0);
    if (seconds > 0)
        setLimit(RLIMIT_CPU, rlim_t(seconds) * 2 + 5);
    if (!sanitized())
        setLimit(RLIMIT_AS, rlim_t(2) << 30);
}

bool writeOut(const char *data, std::size_t size)
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

} // namespace readerself
