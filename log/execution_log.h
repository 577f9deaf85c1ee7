// The execution log: the program name with ".log" in the working directory, CP866 with CR LF,
// appended to run after run. A start banner goes in just before a run's first record and a
// finish banner at its end; a file left empty is removed.
#pragma once

#include <string>
#include <string_view>

namespace zarvo {

// The log file's name: the program name and ".log", in the working directory.
std::string LogFileName();

// The banners, formatted at the moment of the call.
std::string LogStartBanner();
std::string LogFinishBanner();

// Opens the log, creating the file when missing, and installs the log writer. False when
// the file cannot be written: the program goes on without a log and posts nothing.
bool OpenLog();
bool OpenLogAt(std::string_view fileName);
bool IsLogOpen();
// The log's file name while it is open (CP866).
std::string OpenLogFileName();

// Whether nothing has been written yet, so the start banner still waits.
bool LogStartBannerPending();

// The leak report writes the finish banner itself after its dump: from this call on the log
// leaves the finish banner to it (an empty file is still removed at the close).
void HandLogEndToLeakReport();

// Uninstalls the writer, writes the finish banner when anything was logged, closes the file
// and removes it when it is empty.
void CloseLog();

// The log writer: the start banner when it is still pending, then Text with its centring
// marks removed and its line breaks made CR LF. Serialised between threads.
void WriteLogText(std::string_view text);

} // namespace zarvo
