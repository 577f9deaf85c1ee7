// The execution log's file, banners and writer. Its state is plain data with no destructor,
// so a record written late in the program's end never meets a destroyed lock or name.
#include "log/execution_log.h"

#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "diagnostics/log_output.h"
#include "library/clocks.h"
#include "library/dates.h"
#include "library/scope.h"
#include "library/startup_facts.h"
#include "library/strings.h"
#include "log/exception_records.h"
#include "platform/cp866.h"
#include "platform/file_names.h"
#include "platform/format_text.h"
#include "platform/os_file.h"
#include "platform/write_all.h"

namespace zarvo {

namespace {

struct tLogState {
    int Handle = -1;
    bool StartBannerPending = false;
    bool EndHandedOver = false;
    char FileName[4096] = {};
};

tLogState gLog;
pthread_mutex_t gLogLock = PTHREAD_MUTEX_INITIALIZER;
// A record that fails half-way (an exception while writing) must not write into itself.
thread_local bool gWriting = false;

class tLogLock {
  public:
    tLogLock() { pthread_mutex_lock(&gLogLock); }
    ~tLogLock() { pthread_mutex_unlock(&gLogLock); }
    tLogLock(const tLogLock&) = delete;
    tLogLock& operator=(const tLogLock&) = delete;
};

std::string Hex8(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%8.8x", value);
    return text;
}

// "Служебная информация: процесс $... нить $...", ending in CR LF.
std::string ServiceLine() {
    return std::string("Служебная информация: процесс $"_oem) + Hex8(std::uint32_t(getpid())) +
           std::string(" нить $"_oem) + Hex8(std::uint32_t(gettid())) + "\r\n";
}

void InstalledWriter(std::string_view text) {
    WriteLogText(text);
}

} // namespace

std::string LogFileName() {
    const tStartupFacts& facts = StartupFacts();
    return facts.InWorkingDirectory(facts.ProgramName + ".log");
}

std::string LogStartBanner() {
    const tStartupFacts& facts = StartupFacts();
    const auto& version = facts.FileVersion;
    return std::string("-- -- -- -- -- -- -- -- -- -- -- -- -- -- -- -- -- -- -- "
                       "Старт программы -- --\r\n\r\n"_oem) +
           FormatText("Протокол выполнения %s\r\nВерсия программы: %d.%d.%d.%d от %s\r\n"
                      "Запуск произведен %s в %s\r\n"_oem,
                      {facts.ExecutablePath, version[0], version[1], version[2], version[3],
                       facts.VersionString("Дата сборки"_oem),
                       FormatDate(kLongDateTemplate, facts.StartDate),
                       FormatTime(kLongTimeTemplate, facts.StartTime)}) +
           ServiceLine() + "\r\n";
}

std::string LogFinishBanner() {
    return FormatText("\r\nФиниш %s в %s\r\n"_oem,
                      {FormatToday(kLongDateTemplate), FormatNow(kLongTimeTemplate)}) +
           ServiceLine() +
           std::string("\r\n-- -- -- -- -- -- -- -- -- -- -- -- -- -- -- -- -- -- -- "
                       "Финиш программы -- --\r\n"_oem);
}

bool OpenLog() {
    return OpenLogAt(LogFileName());
}

bool OpenLogAt(std::string_view fileName) {
    CloseLog();
    if (fileName.size() >= sizeof gLog.FileName)
        return false;
    // Others may read and write it meanwhile: no share lock is taken.
    int handle = OpenAppendHandle(fileName);
    if (handle < 0)
        return false;
    tLogLock lock;
    gLog.Handle = handle;
    gLog.StartBannerPending = true;
    gLog.EndHandedOver = false;
    std::memcpy(gLog.FileName, fileName.data(), fileName.size());
    gLog.FileName[fileName.size()] = '\0';
    gLogOutputHook = InstalledWriter;
    InstallExceptionRecords();
    return true;
}

bool IsLogOpen() {
    tLogLock lock;
    return gLog.Handle >= 0;
}

std::string OpenLogFileName() {
    tLogLock lock;
    return gLog.Handle >= 0 ? std::string(gLog.FileName) : std::string();
}

bool LogStartBannerPending() {
    tLogLock lock;
    return gLog.Handle >= 0 && gLog.StartBannerPending;
}

void HandLogEndToLeakReport() {
    tLogLock lock;
    gLog.EndHandedOver = true;
}

void CloseLog() {
    if (gLogOutputHook == InstalledWriter)
        gLogOutputHook = nullptr;
    tLogLock lock;
    if (gLog.Handle < 0)
        return;
    // A failing finish banner changes nothing: the file is still closed.
    if (!gLog.StartBannerPending && !gLog.EndHandedOver)
        WriteAll(gLog.Handle, LogFinishBanner());
    struct stat facts {};
    bool empty = fstat(gLog.Handle, &facts) == 0 && facts.st_size == 0;
    ::close(gLog.Handle);
    gLog.Handle = -1;
    // Removed here even when the leak report takes the end over: it runs once the working
    // directory's lock is let go, too late to remove a file another copy may have opened.
    if (empty)
        ::unlink(OsPath(gLog.FileName).c_str());
}

void WriteLogText(std::string_view text) {
    if (gWriting)
        return;
    tTemporaryChange<bool> writing(gWriting, true);
    std::string body = NormalizeLineBreaks(StripCentringMarks(text));
    tLogLock lock;
    if (gLog.Handle < 0)
        return;
    if (gLog.StartBannerPending) {
        gLog.StartBannerPending = false;
        WriteAll(gLog.Handle, LogStartBanner());
    }
    WriteAll(gLog.Handle, body);
}

} // namespace zarvo
