// Runs a fuzz target without libFuzzer, for builds with another compiler: it
// replays every input of the corpus folders and files it is given, then runs
// random mutations of them until -runs or -max_total_time is reached. It takes
// the libFuzzer flags the tests pass (-seed, -runs, -max_total_time, -max_len;
// others are ignored), so the same test command works with either.
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int *argc, char ***argv);
extern "C" __attribute__((weak)) std::size_t LLVMFuzzerCustomMutator(std::uint8_t *data, std::size_t size, std::size_t maxSize,
                                                                      unsigned int seed);

namespace {

std::mt19937 rng(1);

std::size_t pick(std::size_t n) { return n ? std::size_t(rng() % n) : 0; }

using Bytes = std::vector<std::uint8_t>;

bool readFile(const std::filesystem::path &path, Bytes &out)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

// The input being run, kept for the crash handler.
const std::uint8_t *current = nullptr;
std::size_t currentSize = 0;
char crashPath[4096] = "crash-input";

/// Like libFuzzer, leaves the input that crashed the target in a file.
void saveCrash(int sig)
{
    const int fd = ::open(crashPath, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd >= 0) {
        if (current && ::write(fd, current, currentSize) < 0) {
        }
        ::close(fd);
    }
    static const char note[] = "\nfuzz driver: the target crashed; its input is saved\n";
    if (::write(STDERR_FILENO, note, sizeof note - 1) < 0) {
    }
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

/// One input as libFuzzer would pass it: in a buffer of its own size.
void run(const Bytes &input)
{
    std::unique_ptr<std::uint8_t[]> copy(new std::uint8_t[std::max<std::size_t>(input.size(), 1)]);
    std::copy(input.begin(), input.end(), copy.get());
    current = input.data();
    currentSize = input.size();
    LLVMFuzzerTestOneInput(copy.get(), input.size());
    current = nullptr;
}

} // namespace

// Byte-level changes, as the custom mutators expect from libFuzzer.
extern "C" std::size_t LLVMFuzzerMutate(std::uint8_t *data, std::size_t size, std::size_t maxSize)
{
    static const std::uint32_t interesting[] = {0, 1, 0x7f, 0x80, 0xff, 0x100, 0x7fff, 0x8000, 0xffff, 0x10000, 0x7fffffff, 0xffffffff};
    const int rounds = 1 + int(pick(4));
    for (int r = 0; r < rounds; ++r) {
        switch (pick(7)) {
        case 0: // flip a bit
            if (size)
                data[pick(size)] ^= std::uint8_t(1u << pick(8));
            break;
        case 1: // a random byte
            if (size)
                data[pick(size)] = std::uint8_t(rng());
            break;
        case 2: { // an interesting number, 1, 2 or 4 bytes
            const std::uint32_t v = interesting[pick(std::size(interesting))];
            const std::size_t width = std::size_t(1) << pick(3);
            if (size >= width) {
                const std::size_t at = pick(size - width + 1);
                for (std::size_t i = 0; i < width; ++i)
                    data[at + i] = std::uint8_t(v >> (8 * i));
            }
            break;
        }
        case 3: // cut the end
            if (size)
                size = pick(size);
            break;
        case 4: { // remove a piece
            if (size < 2)
                break;
            const std::size_t at = pick(size), n = 1 + pick(std::min<std::size_t>(size - at, 16));
            std::memmove(data + at, data + at + n, size - at - n);
            size -= n;
            break;
        }
        case 5: { // insert bytes
            const std::size_t n = 1 + pick(8);
            if (size + n > maxSize)
                break;
            const std::size_t at = pick(size + 1);
            std::memmove(data + at + n, data + at, size - at);
            for (std::size_t i = 0; i < n; ++i)
                data[at + i] = std::uint8_t(rng());
            size += n;
            break;
        }
        case 6: { // copy a piece over another
            if (size < 2)
                break;
            const std::size_t n = 1 + pick(std::min<std::size_t>(size / 2, 64));
            const std::size_t from = pick(size - n + 1), to = pick(size - n + 1);
            std::memmove(data + to, data + from, n);
            break;
        }
        }
    }
    return size;
}

int main(int argc, char **argv)
{
    long runs = -1;
    double maxSeconds = 0;
    std::size_t maxLen = 0;
    std::vector<std::filesystem::path> inputs;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&arg](const char *flag) -> const char * {
            const std::size_t n = std::strlen(flag);
            return arg.compare(0, n, flag) == 0 ? arg.c_str() + n : nullptr;
        };
        if (const char *v = value("-runs="))
            runs = std::strtol(v, nullptr, 10);
        else if (const char *v = value("-seed="))
            rng.seed(std::uint32_t(std::strtoul(v, nullptr, 10)));
        else if (const char *v = value("-max_total_time="))
            maxSeconds = std::strtod(v, nullptr);
        else if (const char *v = value("-max_len="))
            maxLen = std::strtoul(v, nullptr, 10);
        else if (const char *v = value("-artifact_prefix="))
            std::snprintf(crashPath, sizeof crashPath, "%scrash-input", v);
        else if (arg.size() > 1 && arg[0] == '-')
            continue;
        else
            inputs.emplace_back(arg);
    }
    if (LLVMFuzzerInitialize)
        LLVMFuzzerInitialize(&argc, &argv);
    for (const int sig : {SIGSEGV, SIGBUS, SIGABRT, SIGFPE, SIGILL})
        std::signal(sig, saveCrash);

    std::vector<Bytes> corpus;
    for (const auto &path : inputs) {
        std::vector<std::filesystem::path> files;
        if (std::filesystem::is_directory(path)) {
            for (const auto &e : std::filesystem::directory_iterator(path))
                if (e.is_regular_file())
                    files.push_back(e.path());
            std::sort(files.begin(), files.end());
        } else {
            files.push_back(path);
        }
        for (const auto &f : files) {
            Bytes b;
            if (!readFile(f, b)) {
                std::fprintf(stderr, "cannot read %s\n", f.c_str());
                return 1;
            }
            run(b);
            corpus.push_back(std::move(b));
        }
    }
    if (corpus.empty())
        corpus.emplace_back();
    if (maxLen == 0) {
        for (const Bytes &b : corpus)
            maxLen = std::max(maxLen, b.size());
        maxLen = std::max<std::size_t>(maxLen + maxLen / 8, 64);
    }

    const auto start = std::chrono::steady_clock::now();
    const auto elapsed = [&start] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(); };
    long done = 0;
    if (runs < 0 && maxSeconds <= 0)
        runs = 0; // replay only, as libFuzzer does with files
    while ((runs < 0 || done < runs) && (maxSeconds <= 0 || elapsed() < maxSeconds)) {
        Bytes input = corpus[pick(corpus.size())];
        const std::size_t size = input.size();
        input.resize(std::max(maxLen, size));
        std::size_t newSize;
        if (LLVMFuzzerCustomMutator)
            newSize = LLVMFuzzerCustomMutator(input.data(), size, input.size(), unsigned(rng()));
        else
            newSize = LLVMFuzzerMutate(input.data(), size, input.size());
        input.resize(std::min(newSize, input.size()));
        run(input);
        ++done;
    }
    std::printf("Done %zu corpus inputs and %ld mutations in %.1f s\n", corpus.size(), done, elapsed());
    return 0;
}
