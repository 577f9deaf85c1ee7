// The status line promises only keys its place answers: the progress window's Enter presses
// "Отмена", so it lists no "Принять"; a time field opens no calculator, so it lists no Ctrl+K.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "diagnostics/pending_error.h"
#include "platform/cp866.h"
#include "record_inputs/date_time_input.h"
#include "resources/program_resources.h"
#include "views/dialog.h"
#include "views/progress.h"
#include "views/progress_adapters.h"
#include "views/status_line_cache.h"

namespace zarvo {
namespace {

// The hint the status line would follow for VIEW, as it asks for it.
std::string HintOf(tView& view) {
    std::string hint;
    view.FireEvent(evnHintText, &hint);
    return hint;
}

// Catches a status line that offers a key its place does not answer as the line says.
TEST(StatusHintsTest, NoPromiseThePlaceBreaks) {
    RegisterProgramResources();
    StartStatusLineCache();
    ClearError();
    std::int32_t seconds = 0;
    tObjectPtr<tProgress> progress;
    struct tCase {
        const char* Name;
        std::function<tView*()> Make;
        std::string_view Broken; // an item text the place must not show
    };
    const tCase cases[] = {
        {"progress window",
         [&]() -> tView* {
             tStandardProgressParams params;
             DefaultProgressParams(params);
             tProgressAdapter* adapter = MakeProgressWindow(progress, &params, nullptr);
             return adapter != nullptr ? adapter->Dialog() : nullptr;
         },
         "Принять"_oem},
        {"time field",
         [&]() -> tView* { return new tInputTime(&seconds, "", MakeRect(0, 0, 10, 1)); }, "Ctrl+K"},
    };
    for (const tCase& c : cases) {
        tView* view = c.Make();
        ASSERT_NE(view, nullptr) << c.Name;
        std::string hint = HintOf(*view);
        const TStatusItemRec* items = LookupStatusItems(hint);
        ASSERT_NE(items, nullptr) << c.Name << ": expected a list for the hint '" << hint << "'";
        bool cancel = false;
        for (const TStatusItemRec* item = items; item != nullptr; item = item->Next.get()) {
            EXPECT_EQ(item->Text.find(c.Broken), std::string::npos)
                << c.Name << ": lists " << Cp866ToUtf8(item->Text);
            cancel = cancel || item->Command == cmdCancel;
        }
        EXPECT_TRUE(cancel) << c.Name << ": expected Esc listed";
        if (progress)
            progress.reset();
        else
            FreeObject(view);
    }
    StopStatusLineCache();
    EXPECT_FALSE(IsErrorPending());
}

} // namespace
} // namespace zarvo
