// Operating-system error numbers as the program sees them: errno values, except that a
// refused share lock is reported as the sharing violation the program's rules test for.
#pragma once

#include <string>

namespace zarvo {

inline constexpr int kErrorAccessDenied = 5;      // the program's "access denied"
inline constexpr int kErrorSharingViolation = 32; // a share lock held by someone else
inline constexpr int kErrorLockViolation = 33;    // a byte range locked by someone else

// The last error of the calling thread, as recorded by the platform layer.
int LastOsError();
void SetLastOsError(int code);

// Russian text (CP866) for an error number, without trailing blanks, line breaks or dots.
std::string OsErrorText(int code);

} // namespace zarvo
