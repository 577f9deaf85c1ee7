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

} // namespace
} // namespace zarvo
