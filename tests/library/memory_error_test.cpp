// The in-page memory error handler, run in child processes against a real bus error.
#include "library/memory_error.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include "platform/cp866.h"

namespace zarvo {
namespace {

// Reads a page of a file that has been cut to nothing: the kernel answers with SIGBUS,
// just as when the executable's network share has gone.
void TouchVanishedPage() {
    char name[] = "/tmp/zarvo_sigbus_XXXXXX";
    int handle = mkstemp(name);
    if (handle < 0 || ftruncate(handle, 4096) != 0)
        std::abort();
    auto* page = static_cast<volatile char*>(mmap(nullptr, 4096, PROT_READ, MAP_SHARED, handle, 0));
    unlink(name);
    if (page == MAP_FAILED || ftruncate(handle, 0) != 0)
        std::abort();
    char value = page[0];
    (void)value;
    std::abort();
}

// Catches a handler that is missing, exits with another code or shows no message.
TEST(MemoryErrorDeathTest, BusErrorShowsTheMessageAndExitsWith233) {
    EXPECT_EXIT(
        {
            if (!InstallMemoryErrorHandler())
                std::abort();
            TouchVanishedPage();
        },
        ::testing::ExitedWithCode(kMemoryErrorExitCode),
        "Системе не удалось обеспечить программе доступ к области памяти")
        << "a bus error ends the process with 233 after the message";
}

// Catches a changed or incomplete message text.
TEST(MemoryError, MessageHasAllFourLines) {
    std::string text = MemoryErrorText();
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 4) << "four line breaks in the message";
    EXPECT_EQ(text.find("Выполнение программы будет прервано."_oem), text.size() - 36)
        << "the message ends with the last line";
}

} // namespace
} // namespace zarvo
