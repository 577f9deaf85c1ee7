// The one write-everything loop.
#include "platform/write_all.h"

#include <poll.h>

#include <cerrno>
#include <unistd.h>

namespace zarvo {

bool WriteAll(int fd, const void* data, std::size_t size) {
    auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t written = ::write(fd, bytes, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0 && errno == EAGAIN) {
            // A full non-blocking pipe: wait for room instead of spinning.
            pollfd room{fd, POLLOUT, 0};
            ::poll(&room, 1, -1);
            continue;
        }
        if (written <= 0)
            return false;
        bytes += written;
        size -= std::size_t(written);
    }
    return true;
}

} // namespace zarvo
