// Opening a Jet file for libmdb on POSIX systems: open, fstat and pread, then
// libmdb opens the checked file through /proc/self/fd.
#include "logbook/mdb/MdbOpen.h"

#include "logbook/mdb/MdbReader.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mdbreader {
namespace {

class Fd {
public:
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
    int get() const { return m_fd; }
    void reset(int fd)
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }

private:
    int m_fd;
};

/// Opens `path` for reading and checks that it is a file with a Jet header;
/// the reason when it is not.
std::string openChecked(const std::string &path, Fd &fd, struct stat &st)
{
    fd.reset(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (fd.get() < 0)
        return "cannot read the file: " + std::string(std::strerror(errno));
    if (fstat(fd.get(), &st) != 0)
        return "cannot read the file: " + std::string(std::strerror(errno));
    if (!S_ISREG(st.st_mode))
        return "not a file";
    char head[20] = {};
    const ssize_t got = ::pread(fd.get(), head, sizeof head, 0);
    return checkHeader(std::string_view(head, got > 0 ? std::size_t(got) : 0), std::uint64_t(st.st_size));
}

} // namespace

std::string openJetFile(const std::string &path, OpenedJet &opened)
{
    Fd fd(-1);
    struct stat st {};
    if (std::string why = openChecked(path, fd, st); !why.empty())
        return why;
    // libmdb opens the file by name; naming the descriptor keeps it to the file checked above.
    const std::string self = "/proc/self/fd/" + std::to_string(fd.get());
    opened.mdb.reset(mdb_open(::access(self.c_str(), R_OK) == 0 ? self.c_str() : path.c_str(), MDB_NOFLAGS));
    if (!opened.mdb)
        return "cannot open the file as a Jet database";
    opened.size = std::uint64_t(st.st_size);
    return {};
}

MappedJet::~MappedJet()
{
    if (m_data)
        ::munmap(const_cast<unsigned char *>(m_data), m_size);
}

std::string mapJetFile(const std::string &path, MappedJet &mapped)
{
    Fd fd(-1);
    struct stat st {};
    if (std::string why = openChecked(path, fd, st); !why.empty())
        return why;
    // Every page is read, most of them once: mapped all at once rather than
    // fault by fault (a fault costs several times more in a virtual machine).
#ifdef MAP_POPULATE
    constexpr int Populate = MAP_POPULATE; // Linux
#else
    constexpr int Populate = 0;
#endif
    void *data = ::mmap(nullptr, std::size_t(st.st_size), PROT_READ, MAP_PRIVATE | Populate, fd.get(), 0);
    if (data == MAP_FAILED)
        return "cannot map the file: " + std::string(std::strerror(errno));
    mapped.m_data = static_cast<const unsigned char *>(data);
    mapped.m_size = std::size_t(st.st_size);
    return {};
}

MdbPtr openJetImage(const void *data, std::size_t size)
{
    // Opened read-only, fmemopen does not write to the buffer.
    return MdbPtr(mdb_open_buffer(const_cast<void *>(data), size, MDB_NOFLAGS));
}

} // namespace mdbreader
