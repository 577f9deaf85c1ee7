// The typed-character conversion and the optional natloc.so that can replace it.
#include "console/char_converter.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include "library/startup_facts.h"
#include "platform/cp866.h"
#include "platform/file_names.h"

namespace zarvo {
namespace {

// The hosts hand over CP866 already, so by default there is nothing left to convert.
void KeepCharacter(char*) {}

void* gLibrary = nullptr;

} // namespace

tCharConverter CharConverter = KeepCharacter;

std::string ExecutableDirectory() {
    std::string path = StartupFacts().ExecutablePath;
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return {};
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

void LoadCharConverter(std::string_view directory,
                       const std::function<void(std::string_view text)>& report) {
    UnloadCharConverter();
    std::string path(directory);
    if (path.empty() || path.back() != '/')
        path += '/';
    path += "natloc.so";
    std::string osPath = OsPath(path);
    struct stat info {};
    if (stat(osPath.c_str(), &info) != 0)
        return;
    std::string message = std::string("Ошибка при загрузке библиотеки "_oem) + "\"" + path + "\"";
    void* library = dlopen(osPath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        if (report)
            report(message);
        return;
    }
    void* function = dlsym(library, "AnsiToOem");
    if (function == nullptr) {
        dlclose(library);
        if (report)
            report(message + std::string(": не найдена функция "_oem) + "\"AnsiToOem\"");
        return;
    }
    gLibrary = library;
    CharConverter = reinterpret_cast<tCharConverter>(function);
}

void UnloadCharConverter() {
    CharConverter = KeepCharacter;
    if (gLibrary != nullptr) {
        dlclose(gLibrary);
        gLibrary = nullptr;
    }
}

} // namespace zarvo
