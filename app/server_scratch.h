// The test's place on the server: the directory the operator named, the scratch directory
// inside it and the hold file, each held by descriptor. Nothing there is reached through a
// link, and only what this run made is ever deleted: the directory is shared, and another
// user of it may plant links or files under the names the test uses.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/os_directory.h"
#include "platform/os_file.h"

namespace zarvo {

// How long a start-up or clean-up call on the server may take before the server counts as
// not answering.
inline constexpr std::uint32_t kServerAnswerMs = 10'000;

enum class tDirectoryAnswer { Exists, Missing, NotAnswering, Stopped };

// Whether DIRECTORY (CP866) exists, asked with the time limit; a stop request (Ctrl+C, a
// shutdown) ends the wait.
tDirectoryAnswer AskDirectory(std::string_view directory);

// Whether a stop was asked for while the program waits on the server.
bool StopWhileWaiting();

class tServerScratch {
  public:
    // The steps in their order; each answers false with the system's reason in Error().
    // Opens the directory the operator named and reads its free space.
    bool OpenServer(std::string_view directory);
    // Makes the scratch directory NAME (or finds one there) and enters it, refusing a link or
    // anything that is not a directory (ELOOP, ENOTDIR). Its universal name, for the entry, is
    // taken from its whole name PATH now, while the server answers.
    bool EnterScratch(std::string_view name, std::string_view path);
    // Takes the hold file NAME in the scratch directory (kErrorSharingViolation: held by
    // another copy).
    bool TakeHold(std::string_view name);
    // Whether anything is there under NAME that this run did not make.
    bool HasForeign(std::string_view name) const;

    std::int64_t FreeSpace() const { return m_FreeSpace; }
    int Error() const { return m_Error; }
    const tOsDirectory& Scratch() const { return m_Scratch; }
    const std::string& UniversalName() const { return m_UniversalName; }

    // The file NAME in the scratch directory that this run made, so that it alone is deleted.
    void MadeFile(std::string_view name, const tFileId& id);
    // Whether ID is the file the run made.
    bool IsMadeFile(const tFileId& id) const { return m_FileMade && id == m_FileId; }
    // Deletes the file the run made, if the name still leads to it.
    void DeleteMadeFile();
    // Lets go of the hold and removes what the run made, each only if the name still
    // leads to it (the scratch directory only when empty).
    void Release();

  private:
    bool Failed();
    bool StillNames(const tOsDirectory& directory, const std::string& name,
                    const tFileId& id) const;

    tOsDirectory m_Server;
    tOsDirectory m_Scratch;
    tOsFile m_Hold;
    std::string m_ScratchName, m_HoldName, m_FileName, m_UniversalName;
    tFileId m_ScratchId, m_HoldId, m_FileId;
    bool m_ScratchMade = false, m_HoldMade = false, m_FileMade = false;
    std::int64_t m_FreeSpace = -1;
    int m_Error = 0;
};

} // namespace zarvo
