// The CP866 <-> UTF-8 edge for file and directory names.
#include "platform/file_names.h"

#include "platform/cp866.h"

namespace zarvo {

std::string OsPath(std::string_view cp866) {
    return Cp866ToUtf8(cp866);
}

std::string FromOsPath(std::string_view utf8) {
    return Utf8ToCp866(utf8, '?');
}

bool OsNameIsRepresentable(std::string_view utf8) {
    return Cp866ToUtf8(Utf8ToCp866(utf8, '?')) == utf8;
}

} // namespace zarvo
