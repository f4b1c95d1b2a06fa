#pragma once
// What the Windows platform files share: UTF-8 and UTF-16, files opened for
// reading in a way that lets other programs go on with them, error texts.
// Windows only.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace winfiles {

std::wstring wide(std::string_view utf8);
std::string utf8(std::wstring_view wide);

/// The system's text for an error code (GetLastError()), without the line end.
std::string errorText(DWORD code);

/// A handle that is closed when it goes.
class Handle {
public:
    Handle() = default;
    explicit Handle(HANDLE h) : m_h(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
    ~Handle() { reset(); }
    Handle(Handle &&other) noexcept : m_h(std::exchange(other.m_h, nullptr)) {}
    Handle &operator=(Handle &&other) noexcept
    {
        reset(std::exchange(other.m_h, nullptr));
        return *this;
    }
    Handle(const Handle &) = delete;
    Handle &operator=(const Handle &) = delete;

    HANDLE get() const { return m_h; }
    explicit operator bool() const { return m_h != nullptr; }
    HANDLE release() { return std::exchange(m_h, nullptr); }
    void reset(HANDLE h = nullptr)
    {
        if (m_h)
            CloseHandle(m_h);
        m_h = h;
    }

private:
    HANDLE m_h = nullptr;
};

/// Opens the file at `path` (UTF-8) for reading only, sharing it for
/// reading, writing and deleting, so that the program that keeps it may go on
/// writing, renaming or deleting it while it is open here. With `folders`
/// set a folder opens too (to be told apart from a file). An empty handle,
/// with GetLastError() set, when it cannot be opened.
Handle openShared(const std::string &path, bool folders = false);

/// Whether an open handle is a regular file on a disk (not a folder, pipe or device).
bool isRegularFile(HANDLE h);

/// Reads up to `size` bytes from `offset` (the file pointer moves past them);
/// the bytes read, or -1.
std::int64_t readAt(HANDLE h, void *buffer, std::uint32_t size, std::uint64_t offset);

/// Nanoseconds since 1970 of a FILETIME (100 ns steps since 1601).
std::int64_t unixNs(std::uint64_t fileTime);

} // namespace winfiles
