// Run-time errors: programming errors such as a collection index out of range stop the current
// operation as a C++ exception carrying the error number, caught and shown at a thread's top.
#pragma once

#include <exception>
#include <string>

namespace zarvo {

inline constexpr int kRunErrorIndexRange = 213; // index out of range
inline constexpr int kRunErrorOverflow = 214;   // a collection cannot grow
inline constexpr int kRunErrorAllocation = 215; // the item array cannot be allocated

class ESRunError : public std::exception {
  public:
    explicit ESRunError(int number);
    const char* what() const noexcept override { return m_Text.c_str(); }

    int Number = 0;

  private:
    std::string m_Text;
};

[[noreturn]] void RaiseRunError(int number);

} // namespace zarvo
