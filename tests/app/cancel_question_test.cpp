// The cancel question on the program's application with its real text-mode box: a close
// request while it is open leaves it to the operator's answer.
#include <gtest/gtest.h>

#include "app/network_cycle.h"
#include "console/console_msg.h"
#include "tests/app/app_screen.h"

using namespace zarvo;

namespace {

class CancelQuestion : public zarvo::testing::tAppScreen {};

} // namespace

// Catches a close request that ends the open question as a "no", so that the test runs on
// and the operator's "Да" after it answers nothing.
TEST_F(CancelQuestion, CloseWhileOpenIsDropped) {
    struct tCase {
        const char* Name;
        const char* Keys; // CP866: "\xA4" is д, "\xAD" is н
        bool GoOn;
    };
    const tCase cases[] = {
        {"a close, then Да", "\xA4", false},
        {"a close, then Нет", "\xAD", true},
    };
    for (const tCase& c : cases) {
        Screen.Feed({WM_CLOSE, 0, 0, 0});
        Type(c.Keys);
        EXPECT_EQ(ConfirmContinue(), c.GoOn) << c.Name;
        EXPECT_TRUE(Script.empty()) << c.Name << ": expected the answer taken by the question";
        Script.clear();
        InputList.Clear();
    }
}
