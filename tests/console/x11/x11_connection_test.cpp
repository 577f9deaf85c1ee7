// The window host as desktop tools and a dying X server meet it: the host demo runs as a
// process of its own on a private Xvfb, which the test then kills.
// gtest first: Xlib defines None, a name gtest uses.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "console/x11/xvfb_display.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

namespace zarvo {
namespace {

using namespace std::chrono_literals;

// A window property as bytes, or nothing.
std::optional<std::string> Property(Display* display, Window window, const char* name) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, 1024, False,
                           AnyPropertyType, &type, &format, &count, &after, &data) != Success ||
        type == None)
        return std::nullopt;
    std::size_t bytes = format == 32 ? count * sizeof(long) : count * std::size_t(format / 8);
    std::string value(reinterpret_cast<const char*>(data), bytes);
    XFree(data);
    return value;
}

// The top-level window whose WM_CLASS is the program's, or 0. Only once it is mapped: the
// program names a window property by property before it maps it.
Window FindProgramWindow(Display* display) {
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    Window found = 0;
    if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) {
        for (unsigned i = 0; i < count && found == 0; ++i)
            if (XWindowAttributes facts{};
                XGetWindowAttributes(display, children[i], &facts) &&
                facts.map_state != IsUnmapped &&
                Property(display, children[i], "WM_CLASS") == std::string("zarvo\0Zarvo\0", 12))
                found = children[i];
        XFree(children);
    }
    return found;
}

class X11ConnectionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m_Server = std::make_unique<xtest::tXvfb>();
        if (!m_Server->Running())
            GTEST_SKIP() << "Xvfb is not installed";
        const char* previous = std::getenv("DISPLAY");
        m_PreviousDisplay = previous ? previous : "";
        setenv("DISPLAY", m_Server->Name().c_str(), 1);
        // What belonged to a lost connection (fonts included) is set aside, never freed: the
        // sanitizer build's leak check would fail the demo for it at exit.
        const char* leakOptions = std::getenv("LSAN_OPTIONS");
        std::string previousLeakOptions = leakOptions ? leakOptions : "";
        setenv("LSAN_OPTIONS", "detect_leaks=0", 1);
        m_Demo = std::make_unique<testing::tChildProcess>(
            std::vector<std::string>{ZARVO_HOST_DEMO, "--host=window",
                                     "--settings=" + (m_Dir.Path() / "demo.ini").string()},
            m_Dir.Str());
        if (previousLeakOptions.empty())
            unsetenv("LSAN_OPTIONS");
        else
            setenv("LSAN_OPTIONS", previousLeakOptions.c_str(), 1);
        m_Display = XOpenDisplay(nullptr);
        ASSERT_NE(m_Display, nullptr) << "expected the test's own connection";
        ASSERT_TRUE(
            xtest::WaitFor([&] { return (m_Window = FindProgramWindow(m_Display)) != 0; }, 10s))
            << "expected the demo's window, classed zarvo/Zarvo; demo said: " << m_Demo->Errors();
    }
    void TearDown() override {
        if (m_Display)
            XCloseDisplay(m_Display);
        m_Demo.reset();
        m_Server.reset();
        if (m_PreviousDisplay.empty())
            unsetenv("DISPLAY");
        else
            setenv("DISPLAY", m_PreviousDisplay.c_str(), 1);
    }

    testing::tTempDir m_Dir;
    std::unique_ptr<xtest::tXvfb> m_Server;
    std::string m_PreviousDisplay;
    std::unique_ptr<testing::tChildProcess> m_Demo;
    Display* m_Display = nullptr;
    Window m_Window = 0;
};

// Catches a window that desktop tools list as "N/A": no UTF-8 title, no process id.
TEST_F(X11ConnectionTest, WindowNamesItsTitleAndProcess) {
    EXPECT_EQ(Property(m_Display, m_Window, "_NET_WM_NAME").value_or("none"),
              "Zarvo: проверка экрана")
        << "expected the caption as UTF-8";
    std::optional<std::string> pid = Property(m_Display, m_Window, "_NET_WM_PID");
    ASSERT_TRUE(pid && pid->size() == sizeof(long)) << "expected one process id";
    long value = *reinterpret_cast<const long*>(pid->data());
    std::error_code error;
    EXPECT_TRUE(std::filesystem::equivalent("/proc/" + std::to_string(value) + "/exe",
                                            ZARVO_HOST_DEMO, error))
        << "expected the demo's own process id, got " << value;
}

// Catches a lost X connection ending the process through Xlib's exit (code 1, no cleanup)
// instead of the program's own way out.
TEST_F(X11ConnectionTest, LosingTheServerEndsTheProgramItsOwnWay) {
    XCloseDisplay(m_Display);
    m_Display = nullptr;
    m_Server.reset(); // the server is killed
    EXPECT_EQ(m_Demo->Wait(10000), 0) << "expected an orderly end; demo said: " << m_Demo->Errors();
    EXPECT_NE(m_Demo->Errors().find("host_demo: ended"), std::string::npos)
        << "expected the demo's orderly-end line; demo said: " << m_Demo->Errors();
}

} // namespace
} // namespace zarvo
