// The test cycle: preparation, the write and read passes, the schedule and the cleanup.
#include "app/network_cycle.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <chrono>
#include <cstring>

#include "app/iso_time.h"
#include "app/no_ui.h"
#include "app/parameters.h"
#include "app/protocol.h"
#include "app/result_text.h"
#include "app/run_evidence.h"
#include "diagnostics/pending_error.h"
#include "library/bounded_call.h"
#include "library/clocks.h"
#include "library/paths.h"
#include "library/startup_facts.h"
#include "library/validity.h"
#include "log/leak_report.h"
#include "platform/cp866.h"
#include "platform/file_names.h"
#include "platform/format_text.h"
#include "platform/interrupt_signals.h"
#include "platform/os_error.h"
#include "views/application.h"
#include "views/commands.h"
#include "views/message_box_call.h"

namespace zarvo {

static_assert(std::endian::native == std::endian::little,
              "the test file holds little-endian values, written straight from memory");

// Aligned so that the file can bypass the page cache.
struct alignas(kDirectIoAlignment) tNetworkTest::tValueBuffer {
    std::uint32_t Values[kBufferValues];
};

struct tNetworkTest::tValueBuffers {
    tValueBuffer Buffers[tTransferThread::kSlots];
    tValueBuffer& operator[](int index) { return Buffers[index]; }
};

namespace {

// What a server given up leaves behind, kept for good (freeing it would hand a late call
// freed memory, closing it would wait for the server) where the leak check still sees it.
std::array<const void*, 16> gAbandoned{};
std::size_t gAbandonedCount = 0;

void KeepForGood(const void* object) {
    if (gAbandonedCount < gAbandoned.size())
        gAbandoned[gAbandonedCount++] = object;
}

std::uint32_t ElapsedSince(std::uint32_t tick) {
    return GetTickCount32() - tick;
}

// The run thread waits for the share in slices, looking at the operator between them.
constexpr int kShareSliceMs = 200;
// A call out this long is shown as a server that does not answer; at leaving time it is
// not waited for any longer.
constexpr std::uint32_t kStallShownMs = 2000;
// A server that has not answered for this long is given up as an error.
constexpr std::uint32_t kStallLimitMs = 5 * 60 * 1000;

} // namespace

std::string EntryAsBoxText(std::string_view entry) {
    std::string text;
    for (std::size_t at = 0; at < entry.size(); ++at)
        if (entry[at] != '\n')
            text += entry[at];
    const std::size_t first = text.find_first_not_of('\r');
    const std::size_t last = text.find_last_not_of('\r');
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

bool AskContinue(tProgress& progress, double fraction) {
    return ProgressUpdate(progress, fraction) || ConfirmContinue();
}

bool ConfirmContinue() {
    // A shutdown request (SIGTERM, logout) is not a question.
    if (ShutdownRequested())
        return false;
    // A close request while it is open would end it as a "no": the operator answers it.
    tCloseRequestHold hold;
    bool goOn = MessageBoxCall("Вы желаете прервать процесс ?"_oem, mbYes | mbNo) != cmdYes;
    // A shutdown that came while the question was open ends the test whatever the answer.
    return goOn && !ShutdownRequested();
}

tTestEnd RunTest(const tTestParams* given) {
    tTestParams params;
    if (given) {
        params = *given;
        if (!CheckServerDirectory(params.Directory))
            return tTestEnd::Stopped;
    } else if (!GetTestParams(params.Directory, params.FileSize, params.WorkTime, params.Period)) {
        return tTestEnd::GivenUp;
    }
    tNetworkTest test(params);
    test.ShowEntryAtEnd(given == nullptr);
    return test.Run();
}

tNetworkTest::tNetworkTest(const tTestParams& params)
    : m_Params(params), m_Buffers(std::make_unique<tValueBuffers>()),
      m_Expected(std::make_unique<tValueBuffer>()), m_Facts(RunFactsOf(params)),
      m_Reread(std::make_unique<tValueBuffer>()) {}

tNetworkTest::~tNetworkTest() = default;

bool tNetworkTest::AskOperator() {
    // The operator's time at the question is not the network's.
    std::uint32_t asked = GetTickCount32();
    bool goOn = ConfirmContinue();
    m_PausedMs += ElapsedSince(asked);
    m_Cancelled = !goOn;
    return goOn;
}

void tNetworkTest::ShowStatus(std::string_view status) {
    m_Status.assign(status);
    ShowFigures();
}

// Which iteration runs and when the test ends stand above the phase, which stays the last
// line, where the lines without a UI take it from.
void tNetworkTest::ShowFigures() {
    std::string text = ResultText(m_Statistics);
    text += '\r';
    if (m_Iteration > 0) {
        if (m_Params.WorkTime > 0)
            text += FormatText(
                "Итерация %d. Окончание в %s"_oem,
                {m_Iteration, NextStartText(m_Statistics.StartStamp, m_Params.WorkTime)});
        else
            text += FormatText("Итерация %d. До прерывания оператором"_oem, {m_Iteration});
        text += '\r';
    }
    text += m_Status;
    ProgressSetText(*m_Progress, text);
}

// An error outweighs a cancel, and a cancel the error bytes: the entry holds the count.
tTestEnd tNetworkTest::Run() {
    RunEvidence() = tRunEvidence();
    RunEvidence().Facts = m_Facts;
    if (!Prepare())
        return m_Cancelled ? tTestEnd::Cancelled : tTestEnd::Stopped;
    try {
        Iterate();
    } catch (const std::exception& error) {
        // A fault of the program itself still leaves the server clean and the entry written.
        EndAfterException(error.what());
        throw;
    } catch (...) {
        EndAfterException("");
        throw;
    }
    Cleanup();
    if (m_Stopped)
        return tTestEnd::Stopped;
    if (m_Cancelled)
        return tTestEnd::Cancelled;
    return m_Statistics.ErrorBytes > 0 ? tTestEnd::ErrorBytes : tTestEnd::Clean;
}

namespace {

// A test that cannot start says why; ending silently would leave the operator guessing.
void RefuseStart(std::string_view what, int code) {
    MessageBoxCall(std::string(what) + FormatText("\r(код: %d) %s"_oem, {code, OsErrorText(code)}),
                   mbError | mbContinue);
}

} // namespace

// Any "end" here leaves without a protocol entry: the test never started. Every call on the
// server has a time limit: a hung mount is refused with its reason, not a frozen screen.
bool tNetworkTest::Prepare() {
    m_PeriodMs = std::int64_t(m_Params.Period) * 1000;
    m_Statistics.SizeInBytes = std::int64_t(m_Params.FileSize) * kMegabyte;
    // Not cut to 255 characters: the entry names the directory really tested.
    m_Statistics.ScratchDirectory = AddBackslash(m_Params.Directory) + std::string(kScratchName);
    m_Server = std::make_shared<tServerScratch>();
    if (!OpenServerDirectory())
        return false;
    std::int64_t freeSpace = m_Server->FreeSpace();
    if (m_Statistics.SizeInBytes + kMegabyte > freeSpace) {
        MessageBoxFmt("На диске свободно %d Мб, требуется %d Мб"_oem,
                      {std::max<std::int64_t>(freeSpace, 0) / kMegabyte,
                       (m_Statistics.SizeInBytes + kMegabyte) / kMegabyte},
                      mbError | mbContinue);
        return false;
    }
    if (!EnterScratchDirectory() || !HoldScratchDirectory())
        return false;
    m_ValueCount = m_Statistics.SizeInBytes / 4;
    m_Block = tTestBlock();
    m_Random.seed(
        std::uint32_t(std::chrono::high_resolution_clock::now().time_since_epoch().count()));
    m_Statistics.Start();
    return true;
}

tNetworkTest::tServerStep tNetworkTest::OnServer(std::function<bool(tServerScratch&)> step,
                                                 tStopRequests stops) {
    if (!m_Server)
        return tServerStep::NotAnswering;
    auto server = m_Server;
    auto succeeded = std::make_shared<bool>(false);
    tBoundedEnd end = RunBounded(
        [server, succeeded, step = std::move(step)] { *succeeded = step(*server); },
        kServerAnswerMs, stops == tStopRequests::End ? StopWhileWaiting : std::function<bool()>());
    if (end == tBoundedEnd::Done)
        return *succeeded ? tServerStep::Done : tServerStep::Failed;
    m_Server.reset();
    if (end == tBoundedEnd::Stopped) {
        m_Cancelled = true;
        return tServerStep::Stopped;
    }
    return tServerStep::NotAnswering;
}

void tNetworkTest::RefuseStep(tServerStep step, std::string_view what) {
    if (step == tServerStep::Stopped)
        return;
    if (step == tServerStep::NotAnswering) {
        RefuseStart(std::string("Сервер не отвечает: "_oem) + std::string(what), ETIMEDOUT);
        return;
    }
    RefuseStart(what, m_Server->Error());
}

bool tNetworkTest::OpenServerDirectory() {
    std::string directory = m_Params.Directory;
    tServerStep step =
        OnServer([directory](tServerScratch& server) { return server.OpenServer(directory); });
    if (step == tServerStep::Done)
        return true;
    if (step == tServerStep::Failed &&
        (m_Server->Error() == ENOENT || m_Server->Error() == ENOTDIR)) {
        MessageBoxCall(std::string("Не найден каталог "_oem) + PrintableName(directory),
                       mbError | mbContinue);
        return false;
    }
    RefuseStep(step, std::string("каталог "_oem) + PrintableName(directory));
    return false;
}

// Another user of the share may have put a link or a file under the scratch directory's
// name: the test then starts nowhere rather than writing and deleting where it points.
bool tNetworkTest::EnterScratchDirectory() {
    std::string path = m_Statistics.ScratchDirectory;
    tServerStep step = OnServer([path](tServerScratch& server) {
        return server.EnterScratch(std::string(kScratchName), path);
    });
    if (step == tServerStep::Done) {
        m_Statistics.UniversalDirectory = m_Server->UniversalName();
        return true;
    }
    std::string shown = PrintableName(m_Statistics.ScratchDirectory);
    int code = step == tServerStep::Failed ? m_Server->Error() : 0;
    if (code == ELOOP || code == ENOTDIR) {
        RefuseStart(FormatText("%s - не каталог, а ссылка или файл. В нём тест не проводится."_oem,
                               {shown}),
                    code);
        return false;
    }
    RefuseStep(step, std::string("Ошибка при создании каталога "_oem) + shown);
    return false;
}

// On Linux nothing stops a second copy from truncating or deleting this copy's test file
// between two passes; holding the scratch directory for the whole run does.
bool tNetworkTest::HoldScratchDirectory() {
    std::string holdName = StartupFacts().ProgramName + ".lck";
    std::string shown = PrintableName(m_Statistics.ScratchDirectory);
    tServerStep step =
        OnServer([holdName](tServerScratch& server) { return server.TakeHold(holdName); });
    if (step == tServerStep::Failed && m_Server->Error() == kErrorSharingViolation) {
        // Another copy's test: its files are left exactly as they are.
        RefuseStart(FormatText("В каталоге %s уже идёт тест другой копии программы."_oem, {shown}),
                    kErrorSharingViolation);
        ReleaseServer();
        return false;
    }
    if (step != tServerStep::Done) {
        RefuseStep(step,
                   std::string("Ошибка при создании файла "_oem) + AddBackslash(shown) + holdName);
        ReleaseServer();
        return false;
    }
    // A test file this run did not make is somebody else's: it is neither used nor deleted.
    step = OnServer(
        [](tServerScratch& server) { return !server.HasForeign(std::string(kTestFileName)); });
    if (step == tServerStep::Done)
        return true;
    if (step == tServerStep::Failed)
        MessageBoxCall(FormatText("В каталоге %s уже есть файл %s, созданный не этим тестом. "
                                  "Удалите его и начните тест снова."_oem,
                                  {shown, std::string(kTestFileName)}),
                       mbError | mbContinue);
    else
        RefuseStep(step, std::string("каталог "_oem) + shown);
    ReleaseServer();
    return false;
}

void tNetworkTest::ReleaseServer() {
    // Cleaning up is not given up for a stop request: that is what ends the test.
    OnServer(
        [](tServerScratch& server) {
            server.Release();
            return true;
        },
        tStopRequests::Wait);
    m_Server.reset();
}

void tNetworkTest::Iterate() {
    tStandardProgressParams params;
    DefaultProgressParams(params);
    params.Title = "Тестирование сети"_oem;
    params.TextLines = 8;
    if (!MakeStandardProgress(m_Progress, &params))
        return;
    // The running figures (time, megabytes read) move at every look at the input.
    m_Progress->OnPoll = [this] { ShowFigures(); };
    ProgressShow(*m_Progress);
    m_Transfer = std::make_unique<tTransferThread>();
    m_TestFile = AddBackslash(m_Statistics.ScratchDirectory) + std::string(kTestFileName);
    for (;;) {
        ++m_Iteration;
        m_Block.Randomize(m_Random);
        OpenRow();
        if (WritePass() == tOutcome::Leave || ReadPass() == tOutcome::Leave)
            return;
        CloseRow(m_Statistics.ErrorBytes > m_Marks.Errors ? "errors" : "ok");
        if (Schedule() == tOutcome::Leave)
            return;
    }
}

std::size_t tNetworkTest::AskForValues(std::int64_t firstValue, std::size_t from,
                                       std::size_t count) {
    double n = double(m_ValueCount);
    std::size_t k = from;
    while (k < count) {
        if (!AskContinue(double(firstValue + std::int64_t(k)) / n))
            return k;
        ++k;
        // The values after it keep the same whole position while their fraction stays under
        // the progress's bound; two values short of it leave room for rounding. For those,
        // asking is the cancel poll alone, the branch the update itself would take.
        if (gProgressCancelHook)
            continue;
        std::int64_t lastSame = std::int64_t(m_Progress->SameHigh * n) - 2;
        std::int64_t end = std::min<std::int64_t>(std::int64_t(count), lastSame - firstValue + 1);
        // A signal comes at no particular value: one look at the flag answers for the run.
        if (std::int64_t(k) < end && !InterruptPending())
            k = std::size_t(end);
    }
    return count;
}

// Every value is asked about before it is made; a buffer the operator stops is never written,
// so its values are made at lane speed once all of them may go on.
bool tNetworkTest::FillBuffer(std::int64_t firstValue, std::size_t count) {
    if (AskForValues(firstValue, 0, count) < count)
        return false;
    m_Block.FillValues((*m_Buffers)[m_Current].Values, count);
    return true;
}

void tNetworkTest::ShowStaleStatus() {
    if (!m_StatusStale)
        return;
    m_StatusStale = false;
    ShowStatus("Чтение"_oem);
}

// Every value is asked about before it is compared; the values compared are exactly those
// the operator let go on, so a stop counts the same error bytes as one value at a time would.
// An intact buffer costs one comparison; only a differing one is walked value by value.
bool tNetworkTest::CheckBuffer(std::int64_t firstValue, std::size_t count, bool firstAsked) {
    std::size_t compared = AskForValues(firstValue, firstAsked && count > 0 ? 1 : 0, count);
    const std::uint32_t* found = (*m_Buffers)[m_Current].Values;
    std::uint32_t* expected = m_Expected->Values;
    std::uint32_t chainBefore = m_Block.Chain();
    m_Block.FillValues(expected, compared);
    if (std::memcmp(expected, found, compared * 4) != 0) {
        for (std::size_t k = 0; k < compared; ++k)
            CheckValue(expected[k], found[k]);
        NoteMismatch(firstValue, expected, found, compared, chainBefore);
    }
    ShowStaleStatus();
    return compared == count;
}

void tNetworkTest::ClearBufferForBenchmark() {
    std::uint32_t* values = (*m_Buffers)[m_Current].Values;
    std::fill(values, values + kBufferValues, 0u);
}

void tNetworkTest::PrepareForBenchmark(std::int64_t valueCount) {
    m_ValueCount = valueCount;
    tStandardProgressParams params;
    DefaultProgressParams(params);
    MakeStandardProgress(m_Progress, &params);
}

// Made anew at each write pass, never through a link nor over a file of somebody else's: a
// name taken by anything this run did not make stops the test. The open is a call on the
// share like any other, so a server that stops answering here is shown and can be given up.
// No byte range of it is locked: the hold on the scratch directory keeps a second copy out
// for the whole run already, and a lock makes SMB clients give up their caching, so the
// passes would time a share slower than a file copy finds it.
bool tNetworkTest::OpenTestFile(std::uint16_t mode, tFileCaching caching) {
    struct tOpened {
        tOsFile File;
        tFileId Id;
        bool Known = false;
    };
    auto opened = std::make_shared<tOpened>();
    std::int64_t succeeded = 0;
    SetLastOsError(0);
    if (!CallOnShare(
            [server = m_Server, opened, mode, caching] {
                if (mode == kModeCreate)
                    server->DeleteMadeFile();
                if (!opened->File.OpenAt(server->Scratch(), kTestFileName, mode, caching))
                    return std::int64_t(0);
                opened->Known = opened->File.Id(opened->Id);
                return std::int64_t(1);
            },
            &succeeded))
        return false;
    m_File = MakeObject<tDosStream>(std::move(opened->File), m_TestFile, mode);
    if (!ValidateRef(m_File)) {
        TestFileFailed();
        return false;
    }
    if (mode == kModeCreate && opened->Known) {
        m_Server->MadeFile(kTestFileName, opened->Id);
    } else if (!opened->Known || !m_Server->IsMadeFile(opened->Id)) {
        // Swapped while the test waited: reading it would test somebody else's file.
        m_File.reset();
        PostAppError(0, FormatText("Файл \"%s\" на сервере заменён чужим файлом."_oem,
                                   {ShownFileName(m_TestFile)}));
        return false;
    }
    return true;
}

// A share may report lost data only when the file is closed.
bool tNetworkTest::CloseTestFile() {
    if (!CallOnShare([file = m_File.get()] { return std::int64_t(file->Close()); }))
        return false;
    bool failed = TestFileFailed();
    m_File.reset();
    return !failed;
}

// The system's reason is kept at once, before any later call can replace it: the operator
// reads it first.
bool tNetworkTest::TestFileFailed() {
    if (m_File && m_File->Status == stOk && !IsErrorPending())
        return false;
    if (m_File && m_File->Status != stOk)
        m_FailureOsError = LastOsError();
    return true;
}

// A pass's time is the span of its transfers, from the start of the first to the end of the
// last (and of the final sync), less the operator's time at a question. Summing the calls
// alone would leave out what a share moves while the program computes: write-behind and
// read-ahead made such sums come out faster than the wire.
void tNetworkTest::StartSpan() {
    if (m_SpanStarted)
        return;
    m_SpanStarted = true;
    m_SpanMark = GetTickCount32();
    m_PausedMs = 0;
}

std::int64_t tNetworkTest::TakeSpan() {
    std::uint32_t now = GetTickCount32();
    std::int64_t span = std::int64_t(std::uint32_t(now - m_SpanMark)) - m_PausedMs;
    m_SpanMark = now;
    m_PausedMs = 0;
    return std::max<std::int64_t>(span, 0);
}

// Waits for the transfer under way and counts it; a failing one is noticed here, before the
// next buffer is counted.
bool tNetworkTest::FinishTransfer(tDosStream::tTransferKind kind) {
    tTransferThread::tOutcome outcome = TakeOutcome();
    std::int64_t span = TakeSpan();
    m_File->AccountBytes(kind, std::uint16_t(kBufferBytes), outcome.Moved, outcome.OsError);
    if (TestFileFailed())
        return false;
    bool reading = kind == tDosStream::tTransferKind::Read;
    (reading ? m_Statistics.BytesRead : m_Statistics.BytesWritten) += kBufferBytes;
    (reading ? m_Statistics.ReadTimes : m_Statistics.WriteTimes).AddTransfer(kBufferBytes, span);
    (reading ? m_ReadLatency : m_WriteLatency).Add(outcome.Micros);
    return true;
}

void tNetworkTest::BeginTransfer(tDosStream::tTransferKind kind, int buffer) {
    StartSpan();
    m_Transfer->BeginTransfer(*m_File, kind, (*m_Buffers)[buffer].Values,
                              std::uint16_t(kBufferBytes));
}

// Takes back at least Count transfers and every other one already back, counting each; false
// when one failed or the server was given up.
bool tNetworkTest::TakeTransfers(tDosStream::tTransferKind kind, std::uint32_t count) {
    if (!AwaitShare(count))
        return false;
    for (std::uint32_t back = m_Transfer->Back(); back > 0; --back)
        if (!FinishTransfer(kind))
            return false;
    return true;
}

// A pass left early: the transfers still in flight use the stream and the buffers, so they
// are waited for (briefly, for a server that does not answer) before either goes. Writes the
// operator let go on count; reads not yet asked about do not.
tNetworkTest::tOutcome tNetworkTest::LeavePass(tDosStream::tTransferKind kind) {
    if (m_ServerStalled || !m_Transfer || m_Transfer->InFlight() == 0)
        return tOutcome::Leave;
    m_Leaving = true;
    if (!AwaitShare(m_Transfer->InFlight()))
        return tOutcome::Leave;
    bool counting = kind == tDosStream::tTransferKind::Write;
    while (m_Transfer->Back() > 0) {
        if (counting)
            counting = FinishTransfer(kind);
        else
            TakeOutcome();
    }
    return tOutcome::Leave;
}

// Waits until Count requests in flight are back. A server that does not answer is shown with
// the seconds it has been silent; meanwhile the operator may stop the test, and a shutdown
// ends it. A stop while leaving, a shutdown or the time limit give the server up.
bool tNetworkTest::AwaitShare(std::uint32_t count) {
    if (m_Transfer->AwaitBack(count, kShareSliceMs))
        return true;
    for (;;) {
        std::uint32_t age = m_Transfer->CallAgeMs();
        ShowStall(age);
        if (age >= kStallLimitMs) {
            m_FailureOsError = ETIMEDOUT;
            PostAppErrorFmt(0, "Сервер не отвечает %d с"_oem, {std::int64_t(age / 1000)});
            return GiveUpServer();
        }
        if (m_Leaving || m_Cancelled) {
            if (age >= kStallShownMs || ShutdownRequested())
                return GiveUpServer();
        } else {
            // Asked at the position already shown: only the stop requests are looked at.
            // A stop is taken up at the next slice, as a stop while leaving.
            m_Progress->PollCountdown = 1;
            static_cast<void>(AskContinue(m_Progress->Fraction));
        }
        if (m_Transfer->AwaitBack(count, kShareSliceMs)) {
            NoteLongestCall();
            ShowStall(0);
            return true;
        }
    }
}

void tNetworkTest::NoteLongestCall() {
    m_Statistics.LongestCallMs =
        std::max<std::int64_t>(m_Statistics.LongestCallMs, m_Transfer->LongestCallMs());
}

// The phase line gives way to the seconds of silence while they last.
void tNetworkTest::ShowStall(std::uint32_t ageMs) {
    std::int64_t seconds = ageMs >= kStallShownMs ? ageMs / 1000 : 0;
    if (seconds == m_StallSeconds)
        return;
    if (m_StallSeconds == 0)
        m_PhaseBeforeStall = m_Status;
    m_StallSeconds = seconds;
    ShowStatus(seconds > 0 ? FormatText("Сервер не отвечает %d с"_oem, {seconds})
                           : m_PhaseBeforeStall);
}

// The stuck call's thread, its stream and every buffer it may still write into are left
// alive for good: freeing them would hand the kernel's late write freed memory. The hold on
// the scratch directory is left open too, since closing a file on a share that does not
// answer waits for the server. What is left is on purpose, so no leak report lists it.
bool tNetworkTest::GiveUpServer() {
    m_ServerStalled = true;
    NoteLongestCall();
    m_Row.LongestStallMicros =
        std::max<std::uint64_t>(m_Row.LongestStallMicros, m_Transfer->CallAgeMs() * 1000ull);
    m_Transfer->Abandon();
    KeepForGood(m_Transfer.release());
    KeepForGood(m_File.release());
    KeepForGood(m_Buffers.release());
    KeepForGood(m_Reread.release());
    KeepForGood(new std::shared_ptr<tServerScratch>(std::move(m_Server)));
    DisableLeakReport();
    ShowStall(0);
    return false;
}

// A call on the share other than a transfer, on the transfer thread; the system's reason it
// left is this thread's afterwards. False when the server was given up.
bool tNetworkTest::CallOnShare(std::function<std::int64_t()> call, std::int64_t* result) {
    m_Transfer->BeginCall(std::move(call));
    if (!AwaitShare(1))
        return false;
    tTransferThread::tOutcome outcome = TakeOutcome();
    SetLastOsError(outcome.OsError);
    if (result)
        *result = outcome.Moved;
    return true;
}

// The buffers after the one being written are filled meanwhile, as many as the ring holds;
// when all are in flight, the filling waits until half of them are back, so that the two
// threads meet once per several buffers. A 0 MB test file has no values, so a pass still
// asks once: the operator must always be able to stop the test.
tNetworkTest::tOutcome tNetworkTest::WritePass() {
    constexpr auto kWrite = tDosStream::tTransferKind::Write;
    constexpr std::uint32_t kSlots = tTransferThread::kSlots;
    m_Block.SetChain(0);
    if (!OpenTestFile(kModeCreate))
        return tOutcome::Leave;
    ShowStatus("Запись"_oem);
    if (m_ValueCount == 0 && !AskContinue(1))
        return tOutcome::Leave;
    m_SpanStarted = false;
    m_Leaving = false;
    m_Current = 0;
    for (std::int64_t i = 1; i <= m_ValueCount; i += kBufferValues) {
        std::size_t count =
            std::size_t(std::min<std::int64_t>(kBufferValues, m_ValueCount - i + 1));
        if (m_Transfer->InFlight() == kSlots && (!TakeTransfers(kWrite, kSlots / 2) || m_Cancelled))
            return LeavePass(kWrite);
        if (!FillBuffer(i, count))
            return LeavePass(kWrite);
        BeginTransfer(kWrite, m_Current);
        m_Current = (m_Current + 1) % int(kSlots);
    }
    if (!TakeTransfers(kWrite, m_Transfer->InFlight()) || m_Cancelled)
        return LeavePass(kWrite);
    // Many network file systems acknowledge a write, even a direct one, before the server
    // has the data: the pass ends only when the server has it.
    StartSpan();
    if (!CallOnShare([file = m_File.get()] {
            file->Flush();
            return std::int64_t(0);
        }))
        return tOutcome::Leave;
    m_Statistics.WriteTimes.AddTransfer(0, TakeSpan());
    if (TestFileFailed() || !CloseTestFile())
        return tOutcome::Leave;
    m_Statistics.WriteTimes.CompletePass(m_Statistics.FirstIteration);
    m_Row.WriteRated = true;
    return tOutcome::Continue;
}

// The buffers after the one being compared are read meanwhile, as many as the ring holds. A
// buffer counts only once its first value has been asked about, as if it had been read then;
// the reads under way when the operator stops are not counted.
tNetworkTest::tOutcome tNetworkTest::ReadPass() {
    constexpr auto kRead = tDosStream::tTransferKind::Read;
    constexpr std::uint32_t kSlots = tTransferThread::kSlots;
    ShowStatus("Чтение"_oem);
    m_MismatchCount = 0;
    // Buffered, with the write's pages dropped: the server's data, read ahead as a file
    // copy reads it (a direct read waits a round trip for every buffer).
    if (!OpenTestFile(kModeReadWriteDenyWrite, tFileCaching::Normal))
        return tOutcome::Leave;
    if (!CallOnShare([file = m_File.get()] { return std::int64_t(file->DropCache()); }))
        return tOutcome::Leave;
    if (m_ValueCount == 0 && !AskContinue(1))
        return tOutcome::Leave;
    m_Block.SetChain(0);
    m_SpanStarted = false;
    m_Leaving = false;
    std::int64_t begun = 1;
    int next = 0;
    m_Current = 0;
    for (std::int64_t i = 1; i <= m_ValueCount; i += kBufferValues) {
        std::size_t count =
            std::size_t(std::min<std::int64_t>(kBufferValues, m_ValueCount - i + 1));
        if (!AskContinue(double(i) / double(m_ValueCount)))
            return LeavePass(kRead);
        for (; begun <= m_ValueCount && m_Transfer->InFlight() < kSlots; begun += kBufferValues) {
            BeginTransfer(kRead, next);
            next = (next + 1) % int(kSlots);
        }
        if (!AwaitShare(1) || m_Cancelled || !FinishTransfer(kRead))
            return LeavePass(kRead);
        if (!CheckBuffer(i, count, true))
            return LeavePass(kRead);
        m_Current = (m_Current + 1) % int(kSlots);
    }
    if (!RereadMismatches() || !CloseTestFile())
        return tOutcome::Leave;
    m_Statistics.ReadTimes.CompletePass(m_Statistics.FirstIteration);
    m_Statistics.FirstIteration = false;
    // A stop while blocks were read again ends the test after a whole pass.
    return m_Cancelled ? tOutcome::Leave : tOutcome::Continue;
}

tNetworkTest::tOutcome tNetworkTest::Schedule() {
    tDaySpan elapsed = m_Statistics.Elapsed();
    std::int32_t projected = elapsed.Ms / 1000 + elapsed.Days * 86400 + m_Params.Period;
    if (m_Params.WorkTime > 0 && m_Params.WorkTime <= projected)
        return tOutcome::Leave;
    if (m_Params.Period <= 0)
        return tOutcome::Continue;
    tDayTime waitStamp = GetDayTime();
    ShowStatus(std::string("Ожидание следующего запуска в "_oem) +
               NextStartText(waitStamp, m_Params.Period));
    std::uint32_t start = GetTickCount32();
    for (;;) {
        Delay(1000);
        std::int64_t waited = ElapsedSince(start);
        if (waited >= m_PeriodMs)
            return tOutcome::Continue;
        // A look a second is rare enough that each one polls the input; the stride that
        // spares the clock is for the passes' millions of values.
        m_Progress->PollCountdown = 1;
        if (!AskContinue(double(waited) / double(m_PeriodMs)))
            return tOutcome::Leave;
    }
}

void tNetworkTest::EndAfterException(std::string_view what) {
    ClearError();
    std::string text(std::string_view("Внутренняя ошибка программы"_oem));
    if (!what.empty())
        text += ": " + Utf8ToCp866(what);
    PostAppError(0, text);
    m_ShowFailure = false;
    Cleanup();
}

// An error that stopped the test is shown to the operator and recorded in the entry rather
// than left for the log alone; the server is cleaned either way, of this run's files only.
void tNetworkTest::Cleanup() {
    m_Transfer.reset();
    m_File.reset();
    OnServer(
        [](tServerScratch& server) {
            server.DeleteMadeFile();
            return true;
        },
        tStopRequests::Wait);
    // The final counts, for whatever outlives the progress (its lines, a terminal).
    if (m_Progress)
        ProgressSetText(*m_Progress, ResultText(m_Statistics));
    m_Progress.reset();
    std::unique_ptr<ESException> error = TakeError();
    m_Stopped = error != nullptr;
    std::string message = error ? FailureText(*error) : std::string();
    if (error)
        CloseRow("failed: " + Cp866ToUtf8(OneLine(message)));
    else if (m_Cancelled)
        CloseRow("cancelled");
    else
        CloseRow(m_Statistics.ErrorBytes > m_Marks.Errors ? "errors" : "ok");
    // An entry that is lost is a failure, though the test itself may have gone well: a
    // scheduled run must not report success for a test nobody can read.
    std::string entry;
    bool recorded = AppendProtocol(m_Statistics, message, &entry);
    int protocolError = LastOsError();
    ReleaseServer();
    if (error && m_ShowFailure)
        MessageBoxCall(message, mbError | mbContinue);
    if (!recorded) {
        m_Stopped = true;
        MessageBoxCall(ProtocolFailureText(protocolError), mbError | mbContinue);
    } else if (!error && m_ShowEntry && gApplication != nullptr && !ShutdownRequested()) {
        // An error's box already waits; after a shutdown nobody is there to read it.
        MessageBoxCall(EntryAsBoxText(entry), mbInformation | mbContinue);
    }
    // A history with rows missing would mislead whoever reads it as much as a lost entry.
    if (m_HistoryError != 0) {
        m_Stopped = true;
        MessageBoxCall(HistoryFailureText(m_HistoryError), mbError | mbContinue);
    }
}

tTransferThread::tOutcome tNetworkTest::TakeOutcome() {
    tTransferThread::tOutcome outcome = m_Transfer->TakeBack();
    m_Row.LongestStallMicros = std::max<std::uint64_t>(m_Row.LongestStallMicros, outcome.Micros);
    return outcome;
}

void tNetworkTest::OpenRow() {
    m_Row = tIterationRecord();
    m_Row.StartTime = IsoLocalTimeNow();
    m_Row.Iteration = ++m_Iterations;
    m_Marks.Written = m_Statistics.BytesWritten;
    m_Marks.Read = m_Statistics.BytesRead;
    m_Marks.Errors = m_Statistics.ErrorBytes;
    m_Marks.WriteMs = m_Statistics.WriteTimes.Total + m_Statistics.WriteTimes.PartialTime;
    m_Marks.ReadMs = m_Statistics.ReadTimes.Total + m_Statistics.ReadTimes.PartialTime;
    m_WriteLatency.Clear();
    m_ReadLatency.Clear();
    m_RowOpen = true;
}

namespace {

tIterationRecord::tLatencies LatenciesOf(const tLatencyHistogram& histogram) {
    tIterationRecord::tLatencies latencies;
    latencies.Known = histogram.Count() > 0;
    latencies.P50 = histogram.Quantile(0.5);
    latencies.P99 = histogram.Quantile(0.99);
    latencies.Maximum = histogram.Maximum();
    return latencies;
}

} // namespace

void tNetworkTest::CloseRow(std::string outcome) {
    if (!m_RowOpen)
        return;
    m_RowOpen = false;
    const tTestStatistics& s = m_Statistics;
    m_Row.WriteBytes = s.BytesWritten - m_Marks.Written;
    m_Row.ReadBytes = s.BytesRead - m_Marks.Read;
    m_Row.ErrorBytes = s.ErrorBytes - m_Marks.Errors;
    m_Row.WriteMs = s.WriteTimes.Total + s.WriteTimes.PartialTime - m_Marks.WriteMs;
    m_Row.ReadMs = s.ReadTimes.Total + s.ReadTimes.PartialTime - m_Marks.ReadMs;
    m_Row.ReadRated = m_Row.ReadBytes > 0;
    m_Row.Write = LatenciesOf(m_WriteLatency);
    m_Row.Read = LatenciesOf(m_ReadLatency);
    m_Row.Outcome = std::move(outcome);
    RunEvidence().Iterations.push_back(m_Row);
    if (!AppendHistory(m_Facts, m_Row) && m_HistoryError == 0)
        m_HistoryError = LastOsError() != 0 ? LastOsError() : EIO;
}

// The first differing byte of the pass, and a line for the log without a UI per block.
void tNetworkTest::NoteMismatch(std::int64_t firstValue, const std::uint32_t* expected,
                                const std::uint32_t* found, std::size_t count,
                                std::uint32_t chainBefore) {
    std::size_t k = 0;
    while (k < count && expected[k] == found[k])
        ++k;
    if (k == count)
        return;
    std::int64_t blockOffset = (firstValue - 1) * 4;
    ++m_Row.MismatchBlocks;
    bool first = m_Row.FirstMismatch < 0;
    if (first)
        m_Row.FirstMismatch =
            blockOffset + std::int64_t(k) * 4 + std::countr_zero(expected[k] ^ found[k]) / 8;
    // A server handing back garbage makes every buffer differ: a line is made only when
    // somebody reads it.
    if (NoUiLinesWanted())
        NoUiLine(first ? FormatText("Ошибка в блоке со смещением %d, первый ошибочный байт %d"_oem,
                                    {blockOffset, m_Row.FirstMismatch})
                       : FormatText("Ошибка в блоке со смещением %d"_oem, {blockOffset}));
    if (m_MismatchCount < kRereadBlocks)
        m_Mismatches[m_MismatchCount++] = {blockOffset, chainBefore, count};
}

// A block that matches when read again was damaged on the way (the wire, the client); one
// that differs again is stored wrong on the server. Read past the cache on the transfer
// thread, with the pass's time limits and stop requests; the count of the first read stays
// the one the protocol shows.
bool tNetworkTest::RereadMismatches() {
    for (std::size_t i = 0; i < m_MismatchCount && !m_Cancelled; ++i) {
        const tMismatch& block = m_Mismatches[i];
        std::size_t bytes = block.Values * 4;
        std::int64_t got = 0;
        if (!CallOnShare([file = m_File.get(), offset = block.Offset, into = m_Reread->Values,
                          bytes] { return file->RereadAt(offset, into, bytes); },
                         &got))
            return false;
        if (got != std::int64_t(bytes)) {
            int code = got < 0 ? LastOsError() : EIO;
            NoUiLine(FormatText("Блок со смещением %d не удалось прочитать повторно: %s"_oem,
                                {block.Offset, OsErrorText(code)}));
            continue;
        }
        std::uint32_t chain = m_Block.Chain();
        m_Block.SetChain(block.ChainBefore);
        m_Block.FillValues(m_Expected->Values, block.Values);
        m_Block.SetChain(chain);
        bool persistent = std::memcmp(m_Expected->Values, m_Reread->Values, bytes) != 0;
        ++(persistent ? m_Row.PersistentBlocks : m_Row.TransientBlocks);
        RunEvidence().Blocks.push_back({m_Row.Iteration, block.Offset, persistent});
        NoUiLine(FormatText(persistent ? "Блок со смещением %d при повторном чтении снова "
                                         "отличается: данные на сервере испорчены"_oem
                                       : "Блок со смещением %d при повторном чтении совпал: "
                                         "сбой при передаче"_oem,
                            {block.Offset}));
    }
    return true;
}

// What went wrong in the operator's terms (the system's reason and the file) leads; the
// stream's own account follows.
std::string tNetworkTest::FailureText(const ESException& error) const {
    if (m_FailureOsError == 0)
        return error.Message();
    return FormatText("%s: файл \"%s\"."_oem,
                      {OsErrorText(m_FailureOsError), ShownFileName(m_TestFile)}) +
           '\r' + error.Message();
}

} // namespace zarvo
