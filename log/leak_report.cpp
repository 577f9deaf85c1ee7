// The leak report's dump and summary. Everything it needs at the end (the log's system name,
// both banners) is prepared earlier into plain buffers: it runs after every static object is
// gone and walks the heap under its lock, so it must not allocate with operator new.
#include "log/leak_report.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "diagnostics/heap_accounting.h"
#include "log/execution_log.h"
#include "platform/cp866.h"
#include "platform/file_names.h"
#include "platform/os_file.h"
#include "platform/terminal_line.h"
#include "platform/write_all.h"

namespace zarvo {

namespace {

template <std::size_t N> struct tFixedText {
    char Text[N] = {};
    std::size_t Length = 0;

    bool Set(std::string_view text) {
        Length = std::min(text.size(), N - 1);
        std::memcpy(Text, text.data(), Length);
        Text[Length] = '\0';
        return Length == text.size();
    }
    std::string_view View() const { return {Text, Length}; }
};

struct tReportState {
    bool Armed = false;
    bool Prepared = false;
    bool Disabled = false;
    bool Done = false;
    bool StartBannerPending = false; // the log's, copied when the report takes over
    tFixedText<4096> FileName;       // as the system names it
    tFixedText<8192> StartBanner;
    tFixedText<2048> FinishBanner;
};

tReportState gReport;

// Buffered writes to a file handle without any heap allocation.
class tDumpWriter {
  public:
    explicit tDumpWriter(int handle) : m_Handle(handle) {}
    ~tDumpWriter() { Flush(); }
    tDumpWriter(const tDumpWriter&) = delete;
    tDumpWriter& operator=(const tDumpWriter&) = delete;

    void Put(std::string_view text) {
        for (char c : text)
            PutChar(c);
    }
    void PutChar(char c) {
        if (m_Used == sizeof m_Buffer)
            Flush();
        m_Buffer[m_Used++] = c;
    }
    void Flush() {
        WriteAll(m_Handle, m_Buffer, m_Used);
        m_Used = 0;
    }

  private:
    int m_Handle;
    std::size_t m_Used = 0;
    char m_Buffer[4096];
};

void SumBlock(const tHeapBlock& block, void* context) {
    auto* totals = static_cast<tLeakTotals*>(context);
    ++totals->Blocks;
    totals->Bytes += block.Size;
}

// Hexadecimal bytes, then the same bytes as characters; control characters show as "." so
// that a block's bytes cannot break the log's lines.
void DumpBytes(tDumpWriter& out, const unsigned char* bytes, std::size_t count) {
    char hex[4];
    for (std::size_t i = 0; i < count; ++i) {
        std::snprintf(hex, sizeof hex, "%02X ", bytes[i]);
        out.Put(hex);
    }
    out.PutChar(' ');
    for (std::size_t i = 0; i < count; ++i)
        out.PutChar(bytes[i] < 32 ? '.' : char(bytes[i]));
    out.Put("\r\n");
}

void DumpBlock(const tHeapBlock& block, void* context) {
    auto& out = *static_cast<tDumpWriter*>(context);
    char name[256] = "";
    if (block.Namer)
        block.Namer(block.Address, name, sizeof name);
    char address[40];
    std::snprintf(address, sizeof address, "\r\n$%0*llX (", int(sizeof(void*) * 2),
                  static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(block.Address)));
    out.Put(address);
    out.Put(name);
    out.Put("):\r\n");
    const auto* bytes = static_cast<const unsigned char*>(block.Address);
    for (std::size_t first = 0; first < block.Size; first += 16)
        DumpBytes(out, bytes + first, std::min<std::size_t>(16, block.Size - first));
}

void WriteDump(tDumpWriter& out, const tLeakTotals& totals) {
    char bytes[32];
    std::snprintf(bytes, sizeof bytes, "%zu", totals.Bytes);
    out.Put("\r\nДамп неосвобожденной памяти (суммарный размер "_oem);
    out.Put(bytes);
    out.Put(" байт):\r\n"_oem);
    WalkReportedBlocks(DumpBlock, &out);
}

// Dumps into the log when anything leaked, then ends the log with the finish banner when the
// start banner went in at some point. It runs after the working directory's lock is gone, so
// it never removes the log: a copy started meanwhile may already be writing to it (an empty
// log was removed while the lock was still held).
void DumpIntoLog(const tLeakTotals& totals) {
    bool dump = !gReport.Disabled && totals.Blocks > 0;
    bool startWritten = !gReport.StartBannerPending;
    if (!dump && !startWritten)
        return;
    int handle = OpenAppendHandleAt(gReport.FileName.Text);
    if (handle < 0)
        return;
    tDumpWriter out(handle);
    if (dump) {
        if (!startWritten)
            out.Put(gReport.StartBanner.View());
        WriteDump(out, totals);
    }
    out.Put(gReport.FinishBanner.View());
    out.Flush();
    ::close(handle);
}

void ShowSummary(const tLeakTotals& totals) {
    std::string text = std::string("Информация менеджера памяти: "_oem) +
                       std::string("Количество неосвобождённых блоков памяти : "_oem) +
                       std::to_string(totals.Blocks) + "\r\n" +
                       std::string("Суммарный размер неосвобождённой памяти  : "_oem) +
                       std::to_string(totals.Bytes) + "\r";
    WriteTerminalText(STDERR_FILENO, text);
}

// The last of the program's own exit steps: after every static destructor.
[[gnu::destructor(101)]] void RunLeakReportAtExit() {
    RunLeakReport();
}

} // namespace

void ArmLeakReport() {
    if (gReport.Armed || !IsLogOpen() || !HeapAccountingActive())
        return;
    if (!gReport.FileName.Set(OsPath(OpenLogFileName())))
        return;
    gReport.StartBanner.Set(LogStartBanner());
    gReport.Armed = true;
    StartHeapAccounting();
}

void PrepareLeakReport() {
    if (!gReport.Armed || gReport.Prepared)
        return;
    gReport.FinishBanner.Set(LogFinishBanner());
    gReport.StartBannerPending = LogStartBannerPending();
    HandLogEndToLeakReport();
    gReport.Prepared = true;
}

void DisableLeakReport() {
    gReport.Disabled = true;
}

void RunLeakReport() {
    if (!gReport.Prepared || gReport.Done)
        return;
    gReport.Done = true;
    tLeakTotals totals = ReportedLeaks();
    DumpIntoLog(totals);
    if (!gReport.Disabled && totals.Blocks > 0)
        ShowSummary(totals);
}

tLeakTotals ReportedLeaks() {
    tLeakTotals totals;
    WalkReportedBlocks(SumBlock, &totals);
    return totals;
}

} // namespace zarvo
