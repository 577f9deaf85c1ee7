// The SIGBUS handler. Inside a handler only async-signal-safe calls may run, so the text is
// converted to UTF-8 when the handler is installed and only written and exited afterwards.
#include "library/memory_error.h"

#include <algorithm>
#include <array>
#include <csignal>
#include <cstring>
#include <unistd.h>

#include "platform/cp866.h"
#include "platform/write_all.h"

namespace zarvo {

namespace {

// Room for the UTF-8 form of the message (two bytes per Cyrillic letter).
std::array<char, 1024> gMessage{};
std::size_t gMessageLength = 0;
volatile std::sig_atomic_t gHandling = 0;

void OnMemoryError(int) {
    if (gHandling)
        _exit(kMemoryErrorExitCode);
    gHandling = 1;
    WriteAll(STDERR_FILENO, gMessage.data(), gMessageLength);
    _exit(kMemoryErrorExitCode);
}

} // namespace

std::string MemoryErrorText() {
    std::string text("Системе не удалось обеспечить программе доступ к области памяти."_oem);
    text += "\r\n\r\n";
    text += "Ошибка могла возникнуть например при разрыве локальной сети,"_oem;
    text += "\r\n";
    text += "если программа находится на сетевом диске."_oem;
    text += "\r\n";
    text += "Выполнение программы будет прервано."_oem;
    return text;
}

bool InstallMemoryErrorHandler() {
    std::string message;
    for (char c : Cp866ToUtf8(MemoryErrorText()))
        if (c != '\r')
            message += c;
    message += '\n';
    gMessageLength = std::min(message.size(), gMessage.size());
    std::memcpy(gMessage.data(), message.data(), gMessageLength);

    struct sigaction action {};
    action.sa_handler = OnMemoryError;
    sigemptyset(&action.sa_mask);
    // A fault inside the handler must reach it again (and end the process with 233) rather
    // than be blocked, which would make the kernel kill the process by the signal.
    action.sa_flags = SA_NODEFER;
    return sigaction(SIGBUS, &action, nullptr) == 0;
}

} // namespace zarvo
