// Memo band files: any bytes read as memoN.ini give 20 captions of at most five
// characters, the filled ones first, none of them blank or a comment, or fail
// as not a text file.
#include "bands/MemoFile.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sys/mman.h>
#include <unistd.h>

namespace {

/// The bytes as a file, kept in memory.
class MemoryFile {
public:
    MemoryFile() : m_fd(memfd_create("memo", MFD_CLOEXEC)) {}
    ~MemoryFile() { ::close(m_fd); }
    QString path(const std::uint8_t *data, std::size_t size)
    {
        if (ftruncate(m_fd, 0) != 0 || pwrite(m_fd, data, size, 0) != ssize_t(size))
            std::abort();
        return QStringLiteral("/proc/self/fd/%1").arg(m_fd);
    }

private:
    int m_fd;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static MemoryFile file;
    const Result<QStringList> captions = MemoFile::read(file.path(data, size));
    if (!captions) {
        // Only a file with control characters may fail: it is not text.
        if (captions.error().endsWith(QStringLiteral("not a text file")))
            return 0;
        std::fprintf(stderr, "a readable memo file failed: %s\n", qPrintable(captions.error()));
        std::abort();
    }
    if (captions->size() != 20)
        std::abort();
    bool ended = false;
    for (const QString &c : *captions) {
        if (c.size() > 5)
            std::abort();
        if (c.isEmpty()) {
            ended = true;
            continue;
        }
        if (ended || c.startsWith(QLatin1Char('#')))
            std::abort();
    }
    return 0;
}
