// The Windows programs carry the icon and a version resource, read back as
// Explorer reads them (the version API, the icon group of the module).
#include <Version.h>

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

std::filesystem::path testFolder()
{
    std::wstring path(MAX_PATH, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return std::filesystem::path(path).parent_path();
}

// One string of the version resource's English (US, Unicode) table, empty when absent.
std::wstring versionString(const std::vector<char> &info, const wchar_t *name)
{
    void *value = nullptr;
    UINT length = 0;
    const std::wstring key = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
    if (!VerQueryValueW(info.data(), key.c_str(), &value, &length) || length == 0)
        return {};
    return std::wstring(static_cast<const wchar_t *>(value), length - 1);
}

std::vector<char> versionInfo(const std::filesystem::path &file)
{
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &handle);
    std::vector<char> info(size);
    if (size == 0 || !GetFileVersionInfoW(file.c_str(), 0, size, info.data()))
        info.clear();
    return info;
}

std::wstring widened(const char *text) { return std::wstring(text, text + std::char_traits<char>::length(text)); }

// The number of images in the module's icon group IDI_ICON1 (Qt's window icon too).
int iconImages(const std::filesystem::path &file)
{
    HMODULE module = LoadLibraryExW(file.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!module)
        return -1;
    int images = 0;
    if (HRSRC group = FindResourceW(module, L"IDI_ICON1", MAKEINTRESOURCEW(14) /* RT_GROUP_ICON */)) {
        // GRPICONDIR: reserved, type, count (16 bits each), then the entries.
        const auto *header = static_cast<const WORD *>(LockResource(LoadResource(module, group)));
        if (header && header[1] == 1)
            images = header[2];
    }
    FreeLibrary(module);
    return images;
}

} // namespace

TEST(ExecutableResources, ProgramAndReaderNameTheProductTheirVersionAndCarryTheIcon)
{
    const struct {
        const wchar_t *file;
        const wchar_t *description;
    } programs[] = {{L"varkelchecker.exe", L"VarkelChecker award statistics"}, {L"varkel-reader.exe", L"VarkelChecker logbook reader"}};
    for (const auto &program : programs) {
        SCOPED_TRACE(std::filesystem::path(program.file).string());
        const auto file = testFolder() / program.file;
        const std::vector<char> info = versionInfo(file);
        ASSERT_FALSE(info.empty()) << "no version resource";
        EXPECT_EQ(versionString(info, L"ProductName"), L"VarkelChecker");
        EXPECT_EQ(versionString(info, L"ProductVersion"), widened(VARKEL_VERSION));
        EXPECT_EQ(versionString(info, L"FileVersion"), widened(VARKEL_VERSION));
        EXPECT_EQ(versionString(info, L"FileDescription"), program.description);
        EXPECT_EQ(versionString(info, L"OriginalFilename"), program.file);
        // The icon in every size the package renders, 16 to 256 pixels.
        EXPECT_EQ(iconImages(file), 7);
    }
}

TEST(ExecutableResources, TheInstallerSaysItsVersion)
{
    const auto setup = testFolder().parent_path() / "package" / (std::string("VarkelChecker-") + VARKEL_VERSION + "-win64-setup.exe");
    if (!std::filesystem::exists(setup))
        GTEST_SKIP() << "no installer built yet: " << setup.string();
    const std::vector<char> info = versionInfo(setup);
    ASSERT_FALSE(info.empty()) << "no version resource";
    EXPECT_EQ(versionString(info, L"ProductName"), L"VarkelChecker");
    EXPECT_EQ(versionString(info, L"ProductVersion"), widened(VARKEL_VERSION));
}
