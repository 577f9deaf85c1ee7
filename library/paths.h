// Path and directory operations on CP866 names with "/" as the separator. They answer
// false, empty or -1 on failure and post no errors; the reason is left in LastOsError.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zarvo {

std::string AddBackslash(std::string_view path);
// The root "/" keeps its separator: an empty path would mean the current directory.
std::string RemoveBackslash(std::string_view path);

// Kinds of path; a path relative to the current drive's root does not occur here.
enum tPathKind : int { pkNetwork = 0, pkAbsolute = 1, pkDriveRoot = 2, pkRelative = 3 };
tPathKind PathKind(std::string_view path);

// The directory part of a path without its final separator ("/" for a top-level name,
// empty for a bare name).
std::string ExtractFileDir(std::string_view path);

// An empty path means the current directory.
bool DirectoryExists(std::string_view path);
bool ForceDirectories(std::string_view path);

// Size of the first file matching the name (which may hold "*" and "?"), -1 when none.
std::int64_t FileSize(std::string_view path);
bool FileExists(std::string_view path);
bool DeleteFile(std::string_view path);
bool RemoveDirectory(std::string_view path);

// Bytes the caller may still write on the file system holding the directory; -1 when the
// system cannot tell.
std::int64_t FreeSpace(std::string_view directory);

// The full path, links resolved; on a network share the share's universal form
// ("//server/share/dir", "server:/export/dir", "user@host:/dir").
std::string ExpandUNCName(std::string_view path);
// The same against a given mount table text, for callers that already hold one.
std::string ExpandUNCName(std::string_view path, std::string_view mountTable);

// The working directory's "TEMP" subdirectory, created when missing; empty when it cannot be.
std::string ScratchDirectory();

// Creates an empty file with a unique name starting with Prefix in Directory (the scratch
// directory when Directory is empty) and gives its path; empty on failure.
std::string UniqueTempFile(std::string_view directory, std::string_view prefix);

} // namespace zarvo
