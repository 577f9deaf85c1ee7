// Taking and releasing the working-directory lock.
#include "app/work_dir_lock.h"

#include <unistd.h>

#include "library/paths.h"
#include "library/startup_facts.h"
#include "platform/cp866.h"
#include "platform/format_text.h"
#include "platform/os_error.h"
#include "platform/os_file.h"
#include "views/desktop_message_box.h"

namespace zarvo {

namespace {

tOsFile gLockFile;
std::string gLockName;

} // namespace

std::string WorkDirLockName() {
    std::string name = StartupFacts().ProgramName + ".lck";
    std::string directory = ScratchDirectory();
    if (directory.empty())
        return StartupFacts().InWorkingDirectory(name);
    return AddBackslash(directory) + name;
}

bool TakeWorkDirLock() {
    ReleaseWorkDirLock();
    gLockName = WorkDirLockName();
    if (gLockFile.Open(gLockName, kModeCreate))
        return true;
    int code = LastOsError();
    // Only a lock held by someone else means another copy; a permission or I/O error is
    // an ordinary failure and is shown as one.
    if (code == kErrorSharingViolation || code == kErrorLockViolation) {
        DesktopMessageBox("Две копии программы не могут быть одновременно запущены из одного "
                          "рабочего каталога."_oem,
                          "Информация"_oem, tDesktopIcon::Information, tDesktopButtons::Ok);
    } else {
        DesktopMessageBox(FormatText("(код: %d) %s"_oem, {code, OsErrorText(code)}), "Ошибка"_oem,
                          tDesktopIcon::Error, tDesktopButtons::Ok);
    }
    gLockName.clear();
    return false;
}

// Deleted while still held, so no copy starting meanwhile can lock a file we then remove.
void ReleaseWorkDirLock() {
    if (!gLockFile.IsOpen())
        return;
    DeleteFile(gLockName);
    gLockFile.Close();
    gLockName.clear();
}

} // namespace zarvo
