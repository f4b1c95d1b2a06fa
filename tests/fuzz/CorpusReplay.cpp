// Runs a fuzz target without libFuzzer, for builds with another compiler: it
// replays every input of the corpus folders and files it is given, each once.
// Real fuzzing stays with clang's libFuzzer; this keeps the seeds and the
// regressions checked on every build. libFuzzer's flags are accepted
// (-max_len is honoured, the others ignored), so one test command serves both.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int *argc, char ***argv);

// A custom mutator of a target may call libFuzzer's; nothing mutates here.
extern "C" std::size_t LLVMFuzzerMutate(std::uint8_t *, std::size_t size, std::size_t) { return size; }

namespace {

void replay(const std::filesystem::path &file, std::size_t maxLen, int &count)
{
    std::ifstream in(file, std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (maxLen && bytes.size() > maxLen)
        bytes.resize(maxLen);
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    ++count;
}

} // namespace

int main(int argc, char **argv)
{
    if (LLVMFuzzerInitialize)
        LLVMFuzzerInitialize(&argc, &argv);
    std::size_t maxLen = 0;
    int count = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("-max_len=", 0) == 0)
            maxLen = std::strtoul(arg.c_str() + 9, nullptr, 10);
        if (arg.rfind('-', 0) == 0)
            continue;
        std::error_code ec;
        if (std::filesystem::is_directory(arg, ec)) {
            for (const auto &entry : std::filesystem::recursive_directory_iterator(arg, ec)) {
                if (entry.is_regular_file())
                    replay(entry.path(), maxLen, count);
            }
        } else if (std::filesystem::is_regular_file(arg, ec)) {
            replay(arg, maxLen, count);
        }
    }
    std::printf("replayed %d inputs\n", count);
    return 0;
}
