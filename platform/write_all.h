// Writing a whole block to a descriptor, however many calls the kernel takes for it.
#pragma once

#include <cstddef>
#include <string_view>

namespace zarvo {

// Writes every byte of DATA to FD, carrying on after a signal (EINTR) or a full pipe of a
// non-blocking descriptor (EAGAIN); false, with errno set, when a write fails or writes nothing.
// Safe in a signal handler: it only calls write and poll.
bool WriteAll(int fd, const void* data, std::size_t size);
inline bool WriteAll(int fd, std::string_view data) {
    return WriteAll(fd, data.data(), data.size());
}

} // namespace zarvo
