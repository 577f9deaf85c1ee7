// Tests of tResourceStream over a resource registered by the test.
#include "library/resource_stream.h"

#include <gtest/gtest.h>

#include <functional>

#include "diagnostics/pending_error.h"
#include "platform/cp866.h"

namespace zarvo {
namespace {

constexpr std::uint8_t kSixBytes[] = {1, 2, 3, 4, 5, 6};

class ResourceStreamTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ClearError();
        RegisterResource("TESTRES", kFrameworkResourceType, kSixBytes);
    }
    void TearDown() override {
        UnregisterResource("TESTRES", kFrameworkResourceType);
        ClearError();
    }
};

// Catches a case-sensitive lookup or a wrong size.
TEST_F(ResourceStreamTest, FindsTheResourceByUpperCasedName) {
    tResourceStream stream(kFrameworkResourceType, "TestRes");
    ASSERT_EQ(stream.Status, stOk);
    EXPECT_EQ(stream.GetSize(), 6);
    std::uint8_t buffer[6] = {};
    stream.Read(buffer, 6);
    EXPECT_EQ(buffer[5], 6);
    EXPECT_FALSE(IsErrorPending());
}

// Catches a read past the end copying garbage, or posting the wrong message.
TEST_F(ResourceStreamTest, ReadingTenOfSixBytes) {
    tResourceStream stream(kFrameworkResourceType, "testres");
    std::uint8_t buffer[10] = {};
    stream.Read(buffer, 10);
    EXPECT_EQ(stream.Status, stReadError);
    ASSERT_TRUE(IsErrorPending());
    EXPECT_EQ(PendingError()->Message(), "\x03" + std::string("Ошибка потока: "_oem) +
                                             std::string("Чтение за концом потока."_oem) +
                                             std::string("(статус : -3)"_oem));
}

// Catches a missing resource that looks usable or is reported under the upper-cased name.
TEST_F(ResourceStreamTest, MissingResource) {
    tResourceStream stream(kFrameworkResourceType, "NoSuch");
    EXPECT_EQ(stream.Status, stInitError);
    EXPECT_FALSE(stream.Valid(0));
    ASSERT_TRUE(IsErrorPending());
    EXPECT_EQ(PendingError()->Message(), std::string("Ресурс \"NoSuch\" не найден."_oem));
    tResourceStream otherType(54, "TESTRES");
    EXPECT_EQ(otherType.Status, stInitError) << "expected the type to be part of the key";
}

// Catches a resource that can be written or sought past its end.
TEST_F(ResourceStreamTest, WritesAndSeeksPastTheEndFail) {
    struct tCase {
        const char* What;
        std::function<void(tResourceStream&)> Action;
        std::int16_t Expected;
    } cases[] = {
        {"write", [](tResourceStream& s) { s.Write("x", 1); }, stWriteError},
        {"seek past the end", [](tResourceStream& s) { s.Seek(7); }, stReadError},
        {"seek to the end", [](tResourceStream& s) { s.Seek(6); }, stOk},
    };
    for (const auto& c : cases) {
        ClearError();
        tResourceStream stream(kFrameworkResourceType, "TESTRES");
        c.Action(stream);
        EXPECT_EQ(stream.Status, c.Expected) << c.What;
    }
}

} // namespace
} // namespace zarvo
