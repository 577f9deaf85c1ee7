// The whole-file reader: open, read until the end (retrying interrupted reads), close.
#include "platform/whole_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace zarvo {

tWholeFile ReadWholeFile(const std::string& osPath) {
    tWholeFile file;
    int fd = open(osPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        file.OpenError = errno;
        return file;
    }
    char buffer[4096];
    for (;;) {
        ssize_t got = read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            file.ReadError = errno;
            break;
        }
        if (got == 0)
            break;
        file.Text.append(buffer, std::size_t(got));
    }
    // A descriptor opened only for reading has nothing left to lose when close fails.
    [[maybe_unused]] int closed = close(fd);
    return file;
}

} // namespace zarvo
