// The program's embedded resources: a table of (name, type, bytes) that code generated at
// build time fills while the program starts, looked up by the streams that read them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace zarvo {

// The type of the framework's own resources (object streams, status-line lists).
inline constexpr std::uint16_t kFrameworkResourceType = 55;

// Adds a resource. Name is stored as given, so it is registered upper-cased (CP866), the
// form lookups use. The bytes must outlive the program (static data). A second registration
// of the same type and name replaces the first.
void RegisterResource(std::string_view name, std::uint16_t type,
                      std::span<const std::uint8_t> bytes);
// Takes a resource out again (tests that register their own).
void UnregisterResource(std::string_view name, std::uint16_t type);
// Exact match on type and name.
std::optional<std::span<const std::uint8_t>> FindResource(std::uint16_t type,
                                                          std::string_view name);

// Registers from a static initialiser: `const tResourceRegistration reg{"NAME", 55, bytes};`.
struct tResourceRegistration {
    tResourceRegistration(std::string_view name, std::uint16_t type,
                          std::span<const std::uint8_t> bytes) {
        RegisterResource(name, type, bytes);
    }
};

} // namespace zarvo
