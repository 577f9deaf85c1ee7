// The version facts fixed at build time.
#include "platform/version_facts.h"

#include <gtest/gtest.h>

#include "platform/cp866.h"

namespace zarvo {
namespace {

constexpr std::string_view AsText(const std::array<char, 10>& date) {
    return {date.data(), 10};
}

// Catches a wrong month, a space-padded day kept as a space, or a garbled year.
TEST(VersionFacts, CompilerDateBecomesDdMmYyyy) {
    static_assert(AsText(CompilerDateToBuildDate("Mar  5 2004")) == "05/03/2004");
    EXPECT_EQ(AsText(CompilerDateToBuildDate("Dec 31 2025")), "31/12/2025") << "December";
    EXPECT_EQ(AsText(CompilerDateToBuildDate("Jan  1 2000")), "01/01/2000") << "January";
    EXPECT_EQ(AsText(CompilerDateToBuildDate("Xyz  1 2000")), "00/00/0000") << "unknown month";
}

// Catches a missing or misnamed version string.
TEST(VersionFacts, VersionStringsNameTheProgram) {
    bool sawName = false, sawDate = false;
    for (const tVersionString& entry : VersionStrings()) {
        if (entry.Name == "InternalName") {
            sawName = true;
            EXPECT_EQ(entry.Value, "Zarvo") << "InternalName is Zarvo";
        }
        if (entry.Name == "Дата сборки"_oem) {
            sawDate = true;
            EXPECT_EQ(entry.Value.size(), 10u) << "the build date is dd/mm/yyyy";
            EXPECT_EQ(entry.Value[2], '/') << "the build date is dd/mm/yyyy";
        }
    }
    EXPECT_TRUE(sawName) << "InternalName is present";
    EXPECT_TRUE(sawDate) << "the build date is present";
}

} // namespace
} // namespace zarvo
