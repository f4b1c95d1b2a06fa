// Opening a Jet file for libmdb on Windows: the file is opened with its
// UTF-16 name and shared with the program that keeps it, checked, and handed
// to libmdb as a stdio stream on that very handle (libmdb's own opening takes
// names in the ANSI code page and does not share the file for deleting).
#include "logbook/mdb/MdbOpen.h"

#include "logbook/mdb/MdbReader.h"
#include "logbook/mdb/WinFiles.h"

#include <algorithm>
#include <fcntl.h>
#include <io.h>
#include <new>

// libmdb makes its handle of a stream here; deps.sh makes the function
// visible (mdbtools 1.0.1 keeps it to file.c).
extern "C" MdbHandle *mdb_handle_from_stream(FILE *stream, MdbFileFlags flags);

namespace mdbreader {
namespace {

/// A stdio stream that owns the handle, for libmdb (which closes it); nothing
/// when there is none, and then the handle is closed.
FILE *streamOf(winfiles::Handle handle)
{
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle.get()), _O_RDONLY | _O_BINARY);
    if (fd < 0)
        return nullptr;
    handle.release();
    FILE *stream = _fdopen(fd, "rb");
    if (!stream)
        _close(fd);
    return stream;
}

/// Opens the file shared with the program that keeps it and checks that it is
/// a file with a Jet header; `size` is its size. An empty text, or why not.
std::string openChecked(const std::string &path, winfiles::Handle &file, std::uint64_t &size)
{
    file = winfiles::openShared(path, true);
    if (!file)
        return "cannot read the file: " + winfiles::errorText(GetLastError());
    if (!winfiles::isRegularFile(file.get()))
        return "not a file";
    LARGE_INTEGER bytes{};
    if (!GetFileSizeEx(file.get(), &bytes))
        return "cannot read the file: " + winfiles::errorText(GetLastError());
    size = std::uint64_t(bytes.QuadPart);
    char head[20] = {};
    const std::int64_t got = winfiles::readAt(file.get(), head, sizeof head, 0);
    return checkHeader(std::string_view(head, got > 0 ? std::size_t(got) : 0), size);
}

} // namespace

std::string openJetFile(const std::string &path, OpenedJet &opened)
{
    winfiles::Handle file;
    std::uint64_t size = 0;
    if (std::string why = openChecked(path, file, size); !why.empty())
        return why;
    FILE *stream = streamOf(std::move(file));
    if (!stream)
        return "cannot read the file";
    // The handle takes the stream, and closes it also when it cannot be made.
    opened.mdb.reset(mdb_handle_from_stream(stream, MDB_NOFLAGS));
    if (!opened.mdb)
        return "cannot open the file as a Jet database";
    opened.size = size;
    return {};
}

MappedJet::~MappedJet() { delete[] static_cast<unsigned char *>(m_handle); }

std::string mapJetFile(const std::string &path, MappedJet &mapped)
{
    // Read in large pieces rather than mapped: a mapped file could not be cut
    // shorter by the program that keeps it while it is open here.
    winfiles::Handle file;
    std::uint64_t size = 0;
    if (std::string why = openChecked(path, file, size); !why.empty())
        return why;
    const std::size_t bytes = std::size_t(size);
    unsigned char *buffer = new (std::nothrow) unsigned char[bytes];
    if (!buffer)
        return "not enough memory for the file";
    mapped.m_handle = buffer;
    for (std::size_t done = 0; done < bytes;) {
        const std::uint32_t piece = std::uint32_t(std::min<std::size_t>(bytes - done, std::size_t(16) << 20));
        const std::int64_t n = winfiles::readAt(file.get(), buffer + done, piece, done);
        if (n <= 0)
            return "the file ends before its size (still being written?)";
        done += std::size_t(n);
    }
    mapped.m_data = buffer;
    mapped.m_size = bytes;
    return {};
}

MdbPtr openJetImage(const void *data, std::size_t size)
{
    // No fmemopen here: the image goes to a temporary file that is gone once closed.
    wchar_t folder[MAX_PATH + 1] = {};
    wchar_t name[MAX_PATH + 1] = {};
    if (!GetTempPathW(MAX_PATH, folder) || !GetTempFileNameW(folder, L"vkr", 0, name))
        return nullptr;
    winfiles::Handle file(CreateFileW(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    if (!file)
        return nullptr;
    const char *bytes = static_cast<const char *>(data);
    for (std::size_t done = 0; done < size;) {
        DWORD wrote = 0;
        const DWORD piece = DWORD(std::min<std::size_t>(size - done, 1u << 20));
        if (!WriteFile(file.get(), bytes + done, piece, &wrote, nullptr) || wrote == 0)
            return nullptr;
        done += wrote;
    }
    SetFilePointer(file.get(), 0, nullptr, FILE_BEGIN);
    FILE *stream = streamOf(std::move(file));
    return stream ? MdbPtr(mdb_handle_from_stream(stream, MDB_NOFLAGS)) : nullptr;
}

} // namespace mdbreader
