// A small program for the diagnostics' tests: it starts and ends the diagnostics as the real
// program does and, depending on its one argument, posts errors, throws, or leaves blocks
// behind, so that the log and the leak report can be checked at a real process end.
#include <cstring>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "diagnostics/pending_error.h"
#include "library/sobject.h"
#include "library/startup_facts.h"
#include "log/diagnostics_run.h"
#include "log/leak_report.h"
#include "platform/cp866.h"

using namespace zarvo;

namespace {

class tProbeObject : public tSObject {
  public:
    char Mark[8] = {'P', 'R', 'O', 'B', 'E', 0, 0, 0};
};

// Named so the tests can find them in the logged call stacks.
[[gnu::noinline]] void PostProbeError() {
    PostAppError(7, "Сбой пробы: файл не найден"_oem);
    asm volatile("" ::: "memory"); // keeps the call from becoming a jump without a frame
}

[[gnu::noinline]] void ThrowProbeException() {
    throw std::runtime_error("probe");
}

// Work that allocates and frees: none of it may show in the report.
void BusyButTidy() {
    std::vector<std::string> texts;
    for (int i = 0; i < 100; ++i)
        texts.push_back(std::string(40, char('a' + i % 26)));
    tObjectPtr<tProbeObject> object = MakeObject<tProbeObject>();
    GlobalEvents();
}

// Kept where the compiler must assume someone reads them, so the allocations stay.
tProbeObject* volatile gLeakedObject = nullptr;
char* volatile gLeakedBlock = nullptr;

void LeakBlocks() {
    gLeakedObject = new tProbeObject;
    char* block = new char[20];
    std::memcpy(block, "ABCDEFGHIJKLMNOP\r\nQR", 20);
    gLeakedBlock = block;
}

} // namespace

int main(int argc, char** argv) {
    InitStartupFacts();
    StartDiagnostics();
    const std::string_view mode = argc > 1 ? argv[1] : "";
    BusyButTidy();
    if (mode == "error") {
        PostProbeError();
        PostAppError(8, "Вложенная ошибка"_oem);
        ClearError();
    } else if (mode == "exception") {
        try {
            ThrowProbeException();
        } catch (const std::exception&) {
        }
    } else if (mode == "leak" || mode == "error-and-leak" || mode == "disabled") {
        if (mode == "error-and-leak") {
            PostProbeError();
            ClearError();
        }
        LeakBlocks();
        if (mode == "disabled")
            DisableLeakReport();
    }
    FinishDiagnostics();
    return 0;
}
