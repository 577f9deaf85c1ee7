// The status-line lists of the application's desktop and windows, as the program carries
// them: read back as the tool built them, within an 80-column line, with the keys each place
// answers.
#include <gtest/gtest.h>

#include <set>

#include "diagnostics/pending_error.h"
#include "library/object_stream_buffer.h"
#include "resources/program_resources.h"
#include "resources/resource_builders.h"
#include "views/application.h"
#include "views/status_line_cache.h"

namespace zarvo {
namespace {

std::vector<std::uint8_t> Bytes(const TStatusItemRec* items) {
    tMemoryStream stream;
    WriteStatusItems(stream, items);
    return stream.Bytes();
}

// Catches an application hint without its list, a list other than the tool's, one too wide,
// or a place whose way out (Alt+X on the desktop, Enter and Esc in windows, Esc in the
// progress window) or whose help (F1 in windows) is not listed.
TEST(ApplicationStatusResources, DeskTopAndWindowLists) {
    RegisterProgramResources();
    ClearError();
    struct tCase {
        std::string_view Hint;
        std::set<std::uint16_t> Commands;
    };
    const tCase cases[] = {
        {kDeskTopHint, {cmdQuit}},
        {kWindowHint, {cmdHelp, cmdNextControl, cmdOk, cmdCancel}},
        {kProgressHint, {cmdCancel}},
    };
    ASSERT_EQ(ApplicationStatusLineHints().size(), std::size(cases));
    for (const tCase& c : cases) {
        tStatusItemPtr loaded = LoadStatusLineResource(c.Hint);
        ASSERT_NE(loaded, nullptr) << "expected a list for " << c.Hint;
        EXPECT_EQ(Bytes(loaded.get()), Bytes(BuildStatusLineItems(c.Hint).get())) << c.Hint;
        int width = 0;
        std::set<std::uint16_t> commands;
        for (const TStatusItemRec* item = loaded.get(); item != nullptr; item = item->Next.get()) {
            width += HotTextLength(item->Text) + 2;
            commands.insert(item->Command);
        }
        EXPECT_LT(width, 80) << c.Hint << ": expected every item on an 80-column line";
        EXPECT_EQ(commands, c.Commands) << c.Hint << ": expected its keys listed";
    }
    EXPECT_FALSE(IsErrorPending());
}

} // namespace
} // namespace zarvo
