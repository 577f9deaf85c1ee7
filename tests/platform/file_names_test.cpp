// The CP866 <-> UTF-8 edge for file names.
#include "platform/file_names.h"

#include <gtest/gtest.h>

#include "platform/cp866.h"

namespace zarvo {
namespace {

// Catches names converted the wrong way or not at all.
TEST(FileNames, ConvertBothWays) {
    EXPECT_EQ(OsPath("/srv/Отчёт.doc"_oem), "/srv/Отчёт.doc") << "CP866 name to UTF-8";
    EXPECT_EQ(FromOsPath("/srv/Отчёт.doc"), "/srv/Отчёт.doc"_oem) << "UTF-8 name to CP866";
    EXPECT_EQ(FromOsPath("a日b"), "a?b") << "a character CP866 lacks shows as ?";
}

// Catches a name that cannot come back being written back under its changed form.
TEST(FileNames, RepresentableNames) {
    EXPECT_TRUE(OsNameIsRepresentable("Каталог ёлки")) << "Cyrillic fits CP866";
    EXPECT_FALSE(OsNameIsRepresentable("日本")) << "Japanese does not";
}

// Catches a chosen directory with a name CP866 lacks being reached (or written) under its
// '?' form, an alias reaching past its own directory, and two look-alikes confused.
TEST(FileNames, ChosenDirectoryAliases) {
    EXPECT_EQ(AliasOsDirectory("/srv/Отчёт/"), "/srv/Отчёт"_oem) << "no alias needed";
    EXPECT_EQ(OsPath("/srv/Отчёт"_oem), "/srv/Отчёт");

    EXPECT_EQ(AliasOsDirectory("/srv/тест-і/"), "/srv/тест-?"_oem);
    const struct {
        std::string_view Shown;
        const char* Real;
    } cases[] = {
        {"/srv/тест-?"_oem, "/srv/тест-і"},
        {"/srv/тест-?/TEST_NET.$$$/test.tmp"_oem, "/srv/тест-і/TEST_NET.$$$/test.tmp"},
        {"/srv/тест-?2"_oem, "/srv/тест-?2"},
        {"/srv"_oem, "/srv"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(OsPath(c.Shown), c.Real) << Cp866ToUtf8(c.Shown);

    AliasOsDirectory("/srv/тест-ґ");
    EXPECT_EQ(OsPath("/srv/тест-?"_oem), "/srv/тест-ґ") << "the latest choice wins";
    ForgetOsDirectoryAliases();
    EXPECT_EQ(OsPath("/srv/тест-?"_oem), "/srv/тест-?");
}

} // namespace
} // namespace zarvo
