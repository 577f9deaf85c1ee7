// The working-directory lock: TEMP/Zarvo.lck held open and locked for the whole run, so a
// second copy started in the same working directory refuses to run.
#pragma once

#include <string>

namespace zarvo {

// True when the lock is ours; otherwise the operator has been told why and the program ends.
bool TakeWorkDirLock();
// Closes and deletes the lock file; nothing when no lock is held.
void ReleaseWorkDirLock();
// The lock file's full name as formed at start-up.
std::string WorkDirLockName();

} // namespace zarvo
