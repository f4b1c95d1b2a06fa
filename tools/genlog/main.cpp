// genlog: writes a synthetic logbook for tests, benchmarks and the bundled sample.
#include "tools/genlog/LogGenerator.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

int main(int argc, char **argv)
{
    if (argc < 2 || !std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h")) {
        std::printf("usage: genlog OUTPUT.mdb [CONTACTS [SEED]]\n"
                    "Writes a synthetic logbook (table LOG) of CONTACTS contacts (default 3000)\n"
                    "made from SEED (default 1); the same seed always gives the same file.\n");
        return argc < 2 ? 2 : 0;
    }
    const std::size_t count = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 3000;
    const uint32_t seed = argc > 3 ? uint32_t(std::strtoul(argv[3], nullptr, 10)) : 1;
    const std::string error = genlog::writeGeneratedLogbook(argv[1], count, seed);
    if (!error.empty()) {
        std::fprintf(stderr, "genlog: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
