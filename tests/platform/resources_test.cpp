// Tests of the embedded resource table.
#include "platform/resources.h"

#include <gtest/gtest.h>

namespace zarvo {
namespace {

constexpr std::uint8_t kFirst[] = {1, 2};
constexpr std::uint8_t kSecond[] = {3, 4, 5};

// Catches lookups that ignore the type, match other cases, or keep a replaced entry.
TEST(Resources, RegisterFindReplaceAndRemove) {
    RegisterResource("ZARVO_TEST", 55, kFirst);
    auto found = FindResource(55, "ZARVO_TEST");
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->size(), 2u);
    EXPECT_FALSE(FindResource(54, "ZARVO_TEST")) << "expected the type to be part of the key";
    EXPECT_FALSE(FindResource(55, "zarvo_test")) << "expected exact names";
    RegisterResource("ZARVO_TEST", 55, kSecond);
    EXPECT_EQ(FindResource(55, "ZARVO_TEST")->data(), kSecond) << "expected the newer bytes";
    UnregisterResource("ZARVO_TEST", 55);
    EXPECT_FALSE(FindResource(55, "ZARVO_TEST"));
}

} // namespace
} // namespace zarvo
