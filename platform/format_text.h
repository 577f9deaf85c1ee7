// Message formatting with the two directives the program's texts use: %d (a signed
// integer) and %s (a CP866 text), plus %% for a percent sign.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

namespace zarvo {

class tFormatArg {
  public:
    tFormatArg(std::int64_t value) : m_Value(value) {}
    tFormatArg(int value) : m_Value(std::int64_t(value)) {}
    tFormatArg(unsigned value) : m_Value(std::int64_t(value)) {}
    tFormatArg(long long value) : m_Value(std::int64_t(value)) {}
    tFormatArg(unsigned long value) : m_Value(std::int64_t(value)) {}
    tFormatArg(std::string_view text) : m_Value(text) {}
    tFormatArg(const std::string& text) : m_Value(std::string_view(text)) {}
    tFormatArg(const char* text) : m_Value(std::string_view(text)) {}

    const std::variant<std::int64_t, std::string_view>& Value() const { return m_Value; }

  private:
    std::variant<std::int64_t, std::string_view> m_Value;
};

// Fills the template; a directive without an argument, or of the wrong kind, is left as
// written rather than read from nowhere.
std::string FormatText(std::string_view format, std::initializer_list<tFormatArg> args);

} // namespace zarvo
