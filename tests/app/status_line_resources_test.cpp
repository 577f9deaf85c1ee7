// The status-line lists the program carries: one for every hint the program's views use,
// each read back as the list the resource tool built, short enough for an 80-column line,
// and served through the status-line cache; a hint without a list gives none.
#include <gtest/gtest.h>

#include "diagnostics/pending_error.h"
#include "library/object_stream_buffer.h"
#include "resources/program_resources.h"
#include "resources/resource_builders.h"
#include "views/status_line_cache.h"

namespace zarvo {
namespace {

std::vector<std::uint8_t> Bytes(const TStatusItemRec* items) {
    tMemoryStream stream;
    WriteStatusItems(stream, items);
    return stream.Bytes();
}

class StatusLineResourcesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        RegisterProgramResources();
        StartStatusLineCache();
        ClearError();
    }
    void TearDown() override {
        StopStatusLineCache();
        ClearError();
    }
};

// Catches a hint of the program without its list, a list that differs from what the tool
// built, or one too wide for the screen's status line.
TEST_F(StatusLineResourcesTest, EveryHintHasItsList) {
    ASSERT_FALSE(StatusLineHints().empty());
    for (std::string_view hint : StatusLineHints()) {
        tStatusItemPtr loaded = LoadStatusLineResource(hint);
        ASSERT_NE(loaded, nullptr) << "expected a list for " << hint;
        EXPECT_EQ(Bytes(loaded.get()), Bytes(BuildStatusLineItems(hint).get())) << hint;
        int width = 0;
        bool accept = false, cancel = false;
        for (const TStatusItemRec* item = loaded.get(); item != nullptr; item = item->Next.get()) {
            width += HotTextLength(item->Text) + 2;
            accept = accept || item->Command == cmdOk;
            cancel = cancel || item->Command == cmdCancel;
        }
        EXPECT_LT(width, 80) << hint << ": expected every item on an 80-column line";
        EXPECT_TRUE(accept && cancel) << hint << ": expected Enter and Esc listed";
        EXPECT_EQ(LookupStatusItems(hint) != nullptr, true) << hint << ": expected the cache";
        EXPECT_FALSE(IsErrorPending()) << hint;
    }
}

// Catches a hint without a list that fails or reports instead of giving an empty line.
TEST_F(StatusLineResourcesTest, HintWithoutListGivesNone) {
    for (std::string_view hint : {"", "NOSUCHHNT", "B2EYPJOV"}) {
        EXPECT_EQ(LoadStatusLineResource(hint), nullptr) << hint;
        EXPECT_EQ(LookupStatusItems(hint), nullptr) << hint;
    }
    EXPECT_FALSE(IsErrorPending());
}

} // namespace
} // namespace zarvo
