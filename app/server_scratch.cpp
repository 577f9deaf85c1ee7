// The scratch directory on the server, reached by descriptor.
#include "app/server_scratch.h"

#include <cerrno>

#include "library/bounded_call.h"
#include "library/paths.h"
#include "platform/interrupt_signals.h"
#include "platform/os_error.h"

namespace zarvo {

bool StopWhileWaiting() {
    return ShutdownRequested() || InterruptPending();
}

tDirectoryAnswer AskDirectory(std::string_view directory) {
    auto answer = std::make_shared<tDirectoryAnswer>(tDirectoryAnswer::Missing);
    auto name = std::make_shared<std::string>(directory);
    tBoundedEnd end = RunBounded(
        [answer, name] {
            tOsDirectory opened;
            if (opened.Open(*name))
                *answer = tDirectoryAnswer::Exists;
        },
        kServerAnswerMs, StopWhileWaiting);
    if (end == tBoundedEnd::Stopped)
        return tDirectoryAnswer::Stopped;
    return end == tBoundedEnd::Done ? *answer : tDirectoryAnswer::NotAnswering;
}

bool tServerScratch::Failed() {
    m_Error = LastOsError();
    return false;
}

bool tServerScratch::OpenServer(std::string_view directory) {
    if (!m_Server.Open(directory))
        return Failed();
    m_FreeSpace = m_Server.FreeSpace();
    return true;
}

bool tServerScratch::EnterScratch(std::string_view name, std::string_view path) {
    m_ScratchName = name;
    if (m_Server.MakeChild(name))
        m_ScratchMade = true;
    else if (LastOsError() != EEXIST)
        return Failed();
    if (!m_Scratch.OpenChild(m_Server, name)) {
        // Swapped for a link in the moment after it was made: it is no longer ours to remove.
        m_ScratchMade = false;
        return Failed();
    }
    if (m_ScratchMade && !m_Scratch.Id(m_ScratchId))
        m_ScratchMade = false;
    m_UniversalName = ExpandUNCName(path);
    return true;
}

bool tServerScratch::TakeHold(std::string_view name) {
    m_HoldName = name;
    if (!m_Hold.OpenHeldAt(m_Scratch, name, m_HoldMade))
        return Failed();
    if (m_HoldMade && !m_Hold.Id(m_HoldId))
        m_HoldMade = false;
    return true;
}

bool tServerScratch::HasForeign(std::string_view name) const {
    return m_Scratch.HasChild(name);
}

void tServerScratch::MadeFile(std::string_view name, const tFileId& id) {
    m_FileName = name;
    m_FileId = id;
    m_FileMade = true;
}

bool tServerScratch::StillNames(const tOsDirectory& directory, const std::string& name,
                                const tFileId& id) const {
    tFileId now;
    return directory.IsOpen() && directory.ChildId(name, now) && now == id;
}

void tServerScratch::DeleteMadeFile() {
    if (m_FileMade && StillNames(m_Scratch, m_FileName, m_FileId))
        m_Scratch.DeleteChild(m_FileName);
    m_FileMade = false;
}

// The hold is closed before its file is deleted: a file deleted while open lingers under a
// hidden name on many network file systems and would keep the scratch directory from being
// removed. A copy that takes the hold in the moment between the two loses it, which costs
// it only its own test.
void tServerScratch::Release() {
    DeleteMadeFile();
    if (m_Hold.IsOpen()) {
        m_Hold.Close();
        if (m_HoldMade && StillNames(m_Scratch, m_HoldName, m_HoldId))
            m_Scratch.DeleteChild(m_HoldName);
    }
    m_HoldMade = false;
    m_Scratch.Close();
    if (m_ScratchMade && StillNames(m_Server, m_ScratchName, m_ScratchId))
        m_Server.RemoveChild(m_ScratchName);
    m_ScratchMade = false;
    m_Server.Close();
}

} // namespace zarvo
