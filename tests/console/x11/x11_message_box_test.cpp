// The window form of the desktop message box on a private X server: the keys and the close
// button give the answers the caller maps to its commands.
#include "console/x11/x11_message_box.h"

#include <gtest/gtest.h>

#include <future>
#include <string>

#include "console/x11/xvfb_display.h"
#include "platform/cp866.h"

namespace zarvo {
namespace {

using namespace std::chrono_literals;

class tX11MessageBoxTest : public xtest::tXvfbSuite {
  protected:
    void SetUp() override {
        if (!gServer->Running())
            GTEST_SKIP() << "Xvfb is not installed";
        if (!xtest::ProgramInstalled("xdotool"))
            GTEST_SKIP() << "xdotool is not installed";
    }
};

// Catches a default button that is not the first, Esc or the close button not giving the
// cancel answer, and keyboard focus not moving between buttons.
TEST_F(tX11MessageBoxTest, KeysAndCloseButtonChooseTheAnswer) {
    const std::string_view buttons[] = {"Да"_oem, "Нет"_oem, "Отказ"_oem};
    struct {
        const char* Keys; // xdotool key arguments, or empty for the close button
        int Expected;
    } const cases[] = {
        {"Return", 0},      {"Right Return", 1}, {"Tab Tab space", 2},
        {"Left Return", 2}, {"Escape", 7},       {"", 7},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.Keys);
        auto answer = std::async(std::launch::async, [&] {
            return X11MessageBox("Продолжить проверку?\r\x03Вторая строка"_oem, "Zarvo box test",
                                 tX11BoxIcon::Warning, buttons, 7);
        });
        if (std::string(testCase.Keys).empty()) {
            // The close button, as a window manager reports it.
            unsigned long window = 0;
            ASSERT_TRUE(xtest::WaitFor([&] {
                window = xtest::WindowNamed("Zarvo box test");
                return window != 0;
            })) << "expected the box window";
            xtest::SendDeleteWindow(window);
        } else {
            ASSERT_TRUE(
                xtest::Xdotool("search --sync --name '^Zarvo box test$' windowfocus --sync"))
                << "expected xdotool to find and focus the box";
            ASSERT_TRUE(xtest::Xdotool("key --delay 40 " + std::string(testCase.Keys)))
                << "expected xdotool to type";
        }
        ASSERT_EQ(answer.wait_for(10s), std::future_status::ready)
            << "expected the box to end after the keys";
        EXPECT_EQ(answer.get(), testCase.Expected);
    }
}

// Catches a box (shown before the main window, so the only window of its copy) without the
// class, the UTF-8 caption or the process that window managers and task bars go by.
TEST_F(tX11MessageBoxTest, BoxCarriesClassCaptionAndProcess) {
    const std::string_view buttons[] = {"OK"};
    auto answer = std::async(std::launch::async, [&] {
        return X11MessageBox("Уже запущена"_oem, "Копия Zarvo"_oem, tX11BoxIcon::Error, buttons, 7);
    });
    unsigned long window = 0;
    ASSERT_TRUE(xtest::WaitFor([&] {
        window = xtest::WindowNamed("Копия Zarvo");
        return window != 0;
    })) << "expected the box window";
    EXPECT_EQ(xtest::WindowClass(window), "zarvo.Zarvo");
    EXPECT_EQ(xtest::PropertyText(window, "_NET_WM_NAME"), "Копия Zarvo");
    EXPECT_EQ(xtest::PropertyLongs(window, "_NET_WM_PID"),
              std::vector<unsigned long>{static_cast<unsigned long>(getpid())});
    xtest::SendDeleteWindow(window);
    ASSERT_EQ(answer.wait_for(10s), std::future_status::ready);
    EXPECT_EQ(answer.get(), 7);
}

} // namespace
} // namespace zarvo
