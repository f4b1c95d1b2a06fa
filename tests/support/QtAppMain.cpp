// GoogleTest's main for suites whose code runs inside the program's Qt
// application: QCoreApplication takes the locale of the environment (LC_ALL,
// LANG) as the program does on a desktop, decimal comma and all.
#include <QCoreApplication>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>

namespace {

/// A locale the machine lacks leaves the C one in place: such a run would
/// prove nothing, so it fails.
class LocaleInstalled : public testing::Environment {
public:
    void SetUp() override
    {
#ifndef _WIN32
        const char *wanted = std::getenv("LC_ALL");
        if (wanted && *wanted) {
            ASSERT_STREQ(std::setlocale(LC_NUMERIC, nullptr), wanted) << "the locale is not installed (tools/build.sh generates it)";
        }
#endif
    }
};

} // namespace

int main(int argc, char **argv)
{
    testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    testing::AddGlobalTestEnvironment(new LocaleInstalled);
    return RUN_ALL_TESTS();
}
