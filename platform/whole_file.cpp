// The whole-file reader: open, read until the end (retrying interrupted reads), close.
#include "platform/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace zarvo {

namespace {

tWholeFile ReadOpened(int fd, std::size_t limit) {
    tWholeFile file;
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
        if (std::size_t(got) > limit - file.Text.size()) {
            file.ReadError = EFBIG;
            break;
        }
        file.Text.append(buffer, std::size_t(got));
    }
    // A descriptor opened only for reading has nothing left to lose when close fails.
    [[maybe_unused]] int closed = close(fd);
    return file;
}

} // namespace

tWholeFile ReadWholeFile(const std::string& osPath) {
    int fd = open(osPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        tWholeFile file;
        file.OpenError = errno;
        return file;
    }
    return ReadOpened(fd, std::string().max_size());
}

tWholeFile ReadRegularFile(const std::string& osPath, std::size_t limit) {
    tWholeFile file;
    int fd = open(osPath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        file.OpenError = errno;
        return file;
    }
    struct stat facts {};
    int code = fstat(fd, &facts) != 0 ? errno : S_ISREG(facts.st_mode) ? 0 : EINVAL;
    if (code != 0) {
        file.OpenError = code;
        [[maybe_unused]] int closed = close(fd);
        return file;
    }
    return ReadOpened(fd, limit);
}

} // namespace zarvo
