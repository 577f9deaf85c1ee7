// The network test: write a test file of a CRC-32 chain into a scratch directory on the
// server, read it back, count every byte that differs, time both passes, wait, repeat; at
// the end clean up and append the protocol entry.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <random>
#include <string>

#include "app/chain_block.h"
#include "app/iteration_history.h"
#include "app/latency_histogram.h"
#include "app/parameters.h"
#include "app/server_scratch.h"
#include "app/statistics.h"
#include "app/transfer_thread.h"
#include "diagnostics/pending_error.h"
#include "library/dos_stream.h"
#include "platform/os_file.h"
#include "views/progress.h"

namespace zarvo {

inline constexpr std::size_t kBufferValues = 8192;
inline constexpr std::size_t kBufferBytes = kBufferValues * 4;
inline constexpr std::string_view kScratchName = "TEST_NET.$$$";
inline constexpr std::string_view kTestFileName = "test.tmp";

// How a test ended, from the operator's giving up before it started to a clean result.
enum class tTestEnd {
    GivenUp,    // the operator gave up the parameter questions
    Stopped,    // parameters refused, the test could not start, or an error stopped it
    Cancelled,  // by the operator or by a shutdown signal
    ErrorBytes, // ran its course and counted differing bytes
    Clean,      // ran its course without a differing byte
};

// Runs the whole test with the given parameters, or asks for them when there are none. Its
// return ends the program.
tTestEnd RunTest(const tTestParams* given = nullptr);

class tNetworkTest {
  public:
    explicit tNetworkTest(const tTestParams& params);
    ~tNetworkTest();

    // Everything after the parameter dialog.
    tTestEnd Run();
    // Whether the entry stays on screen in a box at the end until the operator answers it
    // (a test asked for in the dialog: the operator may have walked away meanwhile).
    void ShowEntryAtEnd(bool show) { m_ShowEntry = show; }

    const tTestStatistics& Statistics() const { return m_Statistics; }
    const tTestBlock& Block() const { return m_Block; }
    tTestBlock& BlockForBenchmark() { return m_Block; }

    // The per-value work of a pass outside the transfers; the benchmark runs these.
    bool FillBuffer(std::int64_t firstValue, std::size_t count);
    bool CheckBuffer(std::int64_t firstValue, std::size_t count, bool firstAsked = false);
    void PrepareForBenchmark(std::int64_t valueCount);
    void ClearBufferForBenchmark();

  private:
    enum class tOutcome { Continue, Leave };

    enum class tServerStep { Done, Failed, NotAnswering, Stopped };

    bool Prepare();
    bool OpenServerDirectory();
    bool EnterScratchDirectory();
    bool HoldScratchDirectory();
    // Runs STEP on the server with the time limit. A server that does not answer (or a stop
    // while waiting) leaves the step running on its own, with the server's state: the test
    // never touches the server again.
    enum class tStopRequests { End, Wait };
    tServerStep OnServer(std::function<bool(tServerScratch&)> step,
                         tStopRequests stops = tStopRequests::End);
    // Refuses the start for a step that did not answer or failed; WHAT names what failed.
    void RefuseStep(tServerStep step, std::string_view what);
    void ReleaseServer();
    void Iterate();
    tOutcome WritePass();
    tOutcome ReadPass();
    tOutcome Schedule();
    void Cleanup();
    // Per value: the common case (same whole position, nothing asked) stays inline.
    bool AskContinue(double fraction) {
        return ProgressUpdate(*m_Progress, fraction) || AskOperator();
    }
    bool AskOperator();
    // Asks about values From to Count - 1 of a buffer in order; answers how many may go on.
    std::size_t AskForValues(std::int64_t firstValue, std::size_t from, std::size_t count);
    void ShowStatus(std::string_view status);
    void ShowFigures();
    // Cleanup for an exception leaving the cycle: the entry records it, no box is shown.
    void EndAfterException(std::string_view what);
    bool OpenTestFile(std::uint16_t mode, tFileCaching caching = tFileCaching::Direct);
    bool FinishTransfer(tDosStream::tTransferKind kind);
    bool TakeTransfers(tDosStream::tTransferKind kind, std::uint32_t count);
    tOutcome LeavePass(tDosStream::tTransferKind kind);
    bool AwaitShare(std::uint32_t count);
    void ShowStall(std::uint32_t ageMs);
    bool GiveUpServer();
    // The longest call on the share so far goes into the statistics, for the entry.
    void NoteLongestCall();
    // The oldest request back from the transfer thread; its time counts for the iteration's
    // longest stall.
    tTransferThread::tOutcome TakeOutcome();
    // The history row of the iteration under way: opened before its write pass, written once
    // the read pass ended, or by the cleanup with how the run ended.
    void OpenRow();
    void CloseRow(std::string outcome);
    // A differing buffer: where it is, for the history and for its re-read.
    void NoteMismatch(std::int64_t firstValue, const std::uint32_t* expected,
                      const std::uint32_t* found, std::size_t count, std::uint32_t chainBefore);
    // Reads each differing block of the pass again and compares it once more; false when the
    // server was given up meanwhile.
    bool RereadMismatches();
    bool CallOnShare(std::function<std::int64_t()> call, std::int64_t* result = nullptr);
    void StartSpan();
    std::int64_t TakeSpan();
    void BeginTransfer(tDosStream::tTransferKind kind, int buffer);
    bool CloseTestFile();
    bool TestFileFailed();
    std::string FailureText(const ESException& error) const;
    void ShowStaleStatus();
    // Per value on the read pass. A server that hands back garbage makes every value differ,
    // so a mismatch costs a count and a flag; the text follows once per buffer.
    void CheckValue(std::uint32_t expected, std::uint32_t found) {
        if (expected != found) [[unlikely]] {
            m_Statistics.ErrorBytes += DifferingBytes(expected ^ found);
            m_StatusStale = true;
        }
    }
    // The bytes of a value that are not zero: the high bit of each byte is set when any
    // of its bits is, and the multiplication adds the four flags up in the top byte.
    static std::uint32_t DifferingBytes(std::uint32_t difference) {
        std::uint32_t low = (difference & 0x7F7F7F7Fu) + 0x7F7F7F7Fu;
        std::uint32_t flags = ((low | difference) & 0x80808080u) >> 7;
        return (flags * 0x01010101u) >> 24;
    }

    tTestParams m_Params;
    tTestStatistics m_Statistics;
    std::int64_t m_ValueCount = 0;
    std::int64_t m_PeriodMs = 0;
    // The test file's whole name, for messages.
    std::string m_TestFile;
    // The scratch directory and its hold, from preparation to cleanup: a second copy testing
    // the same directory is refused at its start instead of meeting this copy's test file.
    // Shared with a step on the server that has not come back.
    std::shared_ptr<tServerScratch> m_Server;
    // The system's reason for the test file's failure, 0 when it gave none.
    int m_FailureOsError = 0;
    // Error bytes counted since the progress text was last set.
    bool m_StatusStale = false;
    // The phase shown under the figures ("Запись", "Чтение", the wait).
    std::string m_Status;
    int m_Iteration = 0; // the one under way, from 1
    // Whether Cleanup shows the error that stopped the test.
    bool m_ShowFailure = true;
    bool m_ShowEntry = false;
    // How the test ended, for the program's exit status.
    bool m_Cancelled = false;
    bool m_Stopped = false;
    tTestBlock m_Block;
    std::mt19937 m_Random;
    tObjectPtr<tProgress> m_Progress;
    tObjectPtr<tDosStream> m_File;
    struct tValueBuffer;
    struct tValueBuffers;
    // A ring: some buffers are filled or compared while the others cross the network.
    std::unique_ptr<tValueBuffers> m_Buffers;
    // What the read pass expects, made at lane speed and compared whole.
    std::unique_ptr<tValueBuffer> m_Expected;
    int m_Current = 0;
    std::unique_ptr<tTransferThread> m_Transfer;
    // The pass's time so far ends at this tick; question time since then is left out.
    bool m_SpanStarted = false;
    std::uint32_t m_SpanMark = 0;
    std::int64_t m_PausedMs = 0;
    // The pass is being left: a server that does not answer is no longer waited for.
    bool m_Leaving = false;
    // A call on the share never came back and was left behind; nothing may touch the share.
    bool m_ServerStalled = false;
    // The seconds of silence shown in place of the phase, 0 while the server answers.
    std::int64_t m_StallSeconds = 0;
    std::string m_PhaseBeforeStall;
    // The evidence beyond the protocol: the history rows and what they are made of.
    tRunFacts m_Facts;
    tIterationRecord m_Row;
    bool m_RowOpen = false;
    std::int64_t m_Iterations = 0;
    struct tRowMarks {
        std::int64_t Written = 0;
        std::int64_t Read = 0;
        std::int64_t Errors = 0;
        std::int64_t WriteMs = 0;
        std::int64_t ReadMs = 0;
    };
    tRowMarks m_Marks;
    // The system's reason a history row could not be written, 0 while all were.
    int m_HistoryError = 0;
    tLatencyHistogram m_WriteLatency;
    tLatencyHistogram m_ReadLatency;
    // The differing blocks of the read pass that are read again, at most kRereadBlocks.
    struct tMismatch {
        std::int64_t Offset = 0;
        std::uint32_t ChainBefore = 0;
        std::size_t Values = 0;
    };
    static constexpr std::size_t kRereadBlocks = 64;
    std::array<tMismatch, kRereadBlocks> m_Mismatches{};
    std::size_t m_MismatchCount = 0;
    std::unique_ptr<tValueBuffer> m_Reread;
};

// The operator's answer to a cancel request; false ends the test.
bool AskContinue(tProgress& progress, double fraction);
// The question itself, once the progress has reported a cancel request.
bool ConfirmContinue();
// A protocol entry as a message box shows it: its lines, without the empty ones around.
std::string EntryAsBoxText(std::string_view entry);

} // namespace zarvo
