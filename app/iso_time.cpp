// ISO 8601 local times.
#include "app/iso_time.h"

#include <cstdio>

namespace zarvo {

std::string IsoLocalTime(std::time_t moment) {
    std::tm local{};
    localtime_r(&moment, &local);
    char text[48];
    std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    // The extended form of the offset, +03:00 rather than strftime's +0300.
    long minutes = local.tm_gmtoff / 60;
    char sign = minutes < 0 ? '-' : '+';
    minutes = minutes < 0 ? -minutes : minutes;
    std::snprintf(text + length, sizeof text - length, "%c%02ld:%02ld", sign, minutes / 60,
                  minutes % 60);
    return text;
}

std::string IsoLocalTimeNow() {
    return IsoLocalTime(std::time(nullptr));
}

} // namespace zarvo
