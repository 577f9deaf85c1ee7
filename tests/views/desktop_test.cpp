// The desktop's background as a stored view: its pattern character survives storing and
// loading, and a cut stream gives nil with a stream error.
#include <gtest/gtest.h>

#include "diagnostics/pending_error.h"
#include "library/object_stream.h"
#include "library/object_stream_buffer.h"
#include "views/desktop.h"
#include "views/view.h"

namespace zarvo {
namespace {

// Catches a pattern lost or replaced by the default when the background is loaded, or a
// cut record read past its end.
TEST(BackgroundStream, PatternSurvivesAndCutsFail) {
    RegisterViewStreamClasses();
    RegisterDeskTopStreamClasses();
    tMemoryStream stream;
    {
        auto background = MakeObject<TBackground>(MakeRect(0, 0, 10, 4), std::uint8_t(0xB1));
        Put(stream, background.get());
    }
    std::vector<std::uint8_t> bytes = stream.Bytes();
    {
        tMemoryStream in(bytes);
        tObjectPtr<tSObject> loaded(Get(in));
        auto* background = dynamic_cast<TBackground*>(loaded.get());
        ASSERT_NE(background, nullptr) << "expected a background back";
        EXPECT_EQ(background->Pattern, 0xB1);
        EXPECT_EQ(background->Width, 10);
    }
    bytes.pop_back();
    tMemoryStream cut(bytes);
    tObjectPtr<tSObject> none(Get(cut));
    EXPECT_EQ(none, nullptr) << "expected nil from a cut record";
    EXPECT_NE(cut.Status, stOk) << "expected a stream error";
    ClearError();
}

} // namespace
} // namespace zarvo
