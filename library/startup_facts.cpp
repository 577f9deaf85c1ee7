// Recording the start-up facts.
#include "library/startup_facts.h"

#include <climits>
#include <unistd.h>

#include "library/clocks.h"
#include "library/paths.h"
#include "platform/file_names.h"
#include "platform/version_facts.h"

namespace zarvo {

namespace {

tStartupFacts gFacts;
bool gRecorded = false;

// The current directory as the system names it (UTF-8 bytes).
std::string CurrentOsDirectory() {
    std::string buffer(PATH_MAX, '\0');
    if (!getcwd(buffer.data(), buffer.size()))
        return {};
    buffer.resize(buffer.find('\0'));
    return buffer;
}

std::string ReadExecutablePath() {
    std::string buffer(PATH_MAX, '\0');
    ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (length <= 0)
        return {};
    buffer.resize(std::size_t(length));
    return FromOsPath(buffer);
}

// The executable's file name without its extension.
std::string NameOfExecutable(std::string_view path) {
    std::string_view name = path.substr(path.rfind('/') + 1);
    std::size_t dot = name.rfind('.');
    return std::string(dot == std::string_view::npos || dot == 0 ? name : name.substr(0, dot));
}

} // namespace

std::string tStartupFacts::InWorkingDirectory(std::string_view name) const {
    if (!WorkingDirectoryNamesItself)
        return std::string(name);
    return AddBackslash(WorkingDirectory) + std::string(name);
}

std::string_view tStartupFacts::VersionString(std::string_view name) const {
    for (const auto& [key, value] : VersionStrings)
        if (key == name)
            return value;
    return {};
}

void InitStartupFacts() {
    if (gRecorded)
        return;
    gRecorded = true;
    std::string directory = CurrentOsDirectory();
    gFacts.WorkingDirectory = FromOsPath(directory);
    gFacts.WorkingDirectoryNamesItself = !directory.empty() && OsNameIsRepresentable(directory);
    gFacts.StartDate = Today();
    gFacts.StartTime = Now();
    gFacts.FileVersion = kVersionFileNumbers;
    for (const tVersionString& entry : VersionStrings())
        gFacts.VersionStrings.emplace_back(std::string(entry.Name), std::string(entry.Value));
    gFacts.ExecutablePath = ReadExecutablePath();
    gFacts.ProgramName = std::string(gFacts.VersionString("InternalName"));
    if (gFacts.ProgramName.empty())
        gFacts.ProgramName = NameOfExecutable(gFacts.ExecutablePath);
    gFacts.SettingsFileName = gFacts.InWorkingDirectory(gFacts.ProgramName + ".ini");
}

const tStartupFacts& StartupFacts() {
    InitStartupFacts();
    return gFacts;
}

} // namespace zarvo
