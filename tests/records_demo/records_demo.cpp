// A hand check of the record dialog builder and the typed inputs: a record with one field of
// every type that has an input is turned into a dialog (two pages) and run on the desktop.
// Ctrl+K in a number field opens the calculator, the date field's calendar fills the date.
// When the dialog is accepted each field is printed as "caption: text" in UTF-8 on stdout
// (held back by the terminal host until it gives the terminal back); either way the demo then
// ends, and an orderly end writes "records_demo: ended" to stderr.
//
//   zarvo_records_demo [--host=window|terminal|auto] [--settings=FILE]
#include <cstdio>
#include <string>
#include <string_view>

#include "console/console.h"
#include "console/drivers_console.h"
#include "library/scope.h"
#include "library/stream_class.h"
#include "platform/cp866.h"
#include "record_inputs/record_dialog.h"
#include "records/field_text.h"
#include "tests/demo_host/demo_host.h"
#include "tests/records_demo/demo_record.h"
#include "views/application.h"
#include "views/calculator.h"
#include "views/commands.h"
#include "views/desktop.h"
#include "views/dialog.h"
#include "views/history.h"
#include "views/status_line_cache.h"
#include "views/view.h"
#include "views/window.h"

using namespace zarvo;
using namespace zarvo::demo;

namespace {

constexpr std::uint16_t cmdOpenRecord = 100;

// Opens the record's dialog once the application runs, prints an accepted record and ends.
class tRecordsApp : public TApplication {
  public:
    explicit tRecordsApp(tMemRecord& record) : m_Record(record) {}

    void HandleEvent(TEventRec& event) override {
        TApplication::HandleEvent(event);
        if (event.what != evtCommand || event.message.command != cmdOpenRecord)
            return;
        ConsumeEvent(event);
        if (RunRecordDialog() == cmdOk)
            PrintRecord();
        TEventRec quit;
        quit.what = evtCommand;
        quit.message.command = cmdQuit;
        PostEvent(quit);
    }

  private:
    std::uint16_t RunRecordDialog() {
        tObjectPtr<tMultiDialog> dialog = BuildRecordDialog(
            m_Record.FieldAddress(1), m_Record, kDemoFieldMask, "Все типы полей"_oem, 0);
        if (dialog == nullptr || gDeskTop == nullptr)
            return cmdCancel;
        return gDeskTop->RunView(dialog.get());
    }
    void PrintRecord() {
        std::string text;
        for (int n = 1; n <= m_Record.FieldCount(); ++n)
            text += m_Record.DisplayCaption(n) + ": " + FieldAsText(m_Record, n) + "\n";
        std::fputs(Cp866ToUtf8(text).c_str(), stdout);
        std::fflush(stdout);
    }

    tMemRecord& m_Record;
};

void RunDemo() {
    tObjectPtr<tMemRecord> record = MakeDemoRecord();
    if (record == nullptr)
        return;
    auto app = MakeObject<tRecordsApp>(*record);
    app->Start();
    TEventRec open;
    open.what = evtCommand;
    open.message.command = cmdOpenRecord;
    app->PostEvent(open);
    app->ExecuteApp();
}

// The calculator and calendar come from the program's resources as object streams.
void RegisterStreamClasses() {
    RegisterLibraryStreamClasses();
    RegisterViewStreamClasses();
    RegisterWindowStreamClasses();
    RegisterDialogStreamClasses();
    RegisterInputStreamClasses();
    RegisterCalcStreamClasses();
}

void RunThread() {
    RegisterStreamClasses();
    ConsoleClass = MakeDriversConsole;
    ApplicationStarted = true;
    StartStatusLineCache();
    tScopeExit ended([] {
        StopStatusLineCache();
        ApplicationStarted = false;
        ScreenDrawLock = nullptr;
        PostHostQuit();
    });
    RunDemo();
}

} // namespace

int main(int argc, char** argv) {
    tDemoHostOptions options;
    options.Settings = "records_demo.ini";
    for (int i = 1; i < argc; ++i) {
        if (!ParseDemoHostOption(argv[i], options)) {
            std::fprintf(stderr, "usage: %s [--host=window|terminal|auto] [--settings=FILE]\n",
                         argv[0]);
            return 2;
        }
    }
    return RunDemoInHost(options, "Zarvo: записи"_oem, "records_demo", [] { RunThread(); });
}
