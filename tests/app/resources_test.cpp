// The program's resources: made by the resource tool at build time, carried inside the
// executable, found by name in any letter case and loaded back as the objects they were.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "diagnostics/pending_error.h"
#include "library/object_stream.h"
#include "library/resource_object.h"
#include "platform/cp866.h"
#include "resources/program_resources.h"
#include "resources/resource_builders.h"

namespace zarvo {
namespace {

class ResourcesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        RegisterLibraryStreamClasses();
        RegisterProgramResources();
        ClearError();
    }
    void TearDown() override { ClearError(); }
};

// Catches a resource that the tool wrote differently from the object it built, or a
// lookup that depends on the letter case of the request.
TEST_F(ResourcesTest, BuiltResourceLoadsBackEqual) {
    tObjectPtr<tStringCollection> expected(BuildTestStrings());
    for (std::string_view name : {"zarvoteststrings", "ZarvoTestStrings", "ZARVOTESTSTRINGS"}) {
        tObjectPtr<tSObject> loaded(LoadResourceObject(name));
        auto* strings = dynamic_cast<tStringCollection*>(loaded.get());
        ASSERT_NE(strings, nullptr) << "expected a tStringCollection for " << name;
        ASSERT_EQ(strings->Count, expected->Count);
        for (std::int16_t i = 0; i < expected->Count; ++i)
            EXPECT_EQ(strings->TextAt(i), expected->TextAt(i));
        EXPECT_FALSE(IsErrorPending());
    }
    std::int16_t index = 0;
    EXPECT_TRUE(expected->SearchText("Запись"_oem, index)) << "expected CP866 texts in it";
}

// Catches a missing resource that answers an empty object or reports another name.
TEST_F(ResourcesTest, MissingResource) {
    EXPECT_EQ(OpenResourceStream("NoSuchThing"), nullptr);
    ASSERT_TRUE(IsErrorPending());
    EXPECT_EQ(PendingError()->Message(), std::string("Ресурс \"NoSuchThing\" не найден."_oem));
    ClearError();
    EXPECT_EQ(LoadResourceObject("NoSuchThing"), nullptr);
    EXPECT_TRUE(IsErrorPending());
}

// Catches the linker dropping the resources from the program itself: their bytes must be in
// the zarvo executable.
TEST_F(ResourcesTest, TheExecutableCarriesThem) {
    auto bytes = FindResource(kFrameworkResourceType, "ZARVOTESTSTRINGS");
    ASSERT_TRUE(bytes.has_value());
    std::ifstream binary(ZARVO_BINARY, std::ios::binary);
    ASSERT_TRUE(binary) << "expected to read " << ZARVO_BINARY;
    std::string image((std::istreambuf_iterator<char>(binary)), {});
    auto found = std::search(image.begin(), image.end(), bytes->begin(), bytes->end(),
                             [](char a, std::uint8_t b) { return std::uint8_t(a) == b; });
    EXPECT_NE(found, image.end()) << "expected the resource's bytes inside zarvo";
}

} // namespace
} // namespace zarvo
