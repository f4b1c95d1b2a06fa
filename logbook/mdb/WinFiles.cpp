#include "logbook/mdb/WinFiles.h"

namespace winfiles {

std::wstring wide(std::string_view utf8)
{
    if (utf8.empty())
        return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
    std::wstring out(std::size_t(n > 0 ? n : 0), L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), out.data(), n);
    return out;
}

std::string utf8(std::wstring_view wide)
{
    if (wide.empty())
        return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string out(std::size_t(n > 0 ? n : 0), '\0');
    if (n > 0)
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::string errorText(DWORD code)
{
    wchar_t *text = nullptr;
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                   code, 0, reinterpret_cast<wchar_t *>(&text), 0, nullptr);
    std::string out = n > 0 && text ? utf8(std::wstring_view(text, n)) : std::string();
    if (text)
        LocalFree(text);
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r' || out.back() == ' ' || out.back() == '.'))
        out.pop_back();
    return out.empty() ? "error " + std::to_string(code) : out;
}

Handle openShared(const std::string &path, bool folders)
{
    return Handle(CreateFileW(wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | (folders ? FILE_FLAG_BACKUP_SEMANTICS : 0), nullptr));
}

bool isRegularFile(HANDLE h)
{
    BY_HANDLE_FILE_INFORMATION info{};
    return GetFileType(h) == FILE_TYPE_DISK && GetFileInformationByHandle(h, &info) &&
           !(info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE));
}

std::int64_t readAt(HANDLE h, void *buffer, std::uint32_t size, std::uint64_t offset)
{
    OVERLAPPED at{};
    at.Offset = DWORD(offset & 0xffffffffu);
    at.OffsetHigh = DWORD(offset >> 32);
    DWORD got = 0;
    if (!ReadFile(h, buffer, size, &got, &at))
        return GetLastError() == ERROR_HANDLE_EOF ? 0 : -1;
    return std::int64_t(got);
}

std::int64_t unixNs(std::uint64_t fileTime)
{
    constexpr std::uint64_t From1601To1970 = 116444736000000000ull; // in 100 ns steps
    return (std::int64_t(fileTime) - std::int64_t(From1601To1970)) * 100;
}

} // namespace winfiles
