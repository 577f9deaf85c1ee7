// A settings file of "[Section]" and "Key=Value" lines in UTF-8, as the desktop's editors
// write it (an older CP866 file is still read). Names and values are CP866 to the program;
// names compare without regard to letter case (CP866 rules); writing keeps every other line.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zarvo {

class tIniFile {
  public:
    // A missing file reads as empty; false (with a pending error) only when it exists and
    // cannot be read.
    bool Load(std::string_view path);
    // The file's bytes: UTF-8 (a leading byte-order mark is skipped), else CP866.
    void Parse(std::string_view text);

    std::optional<std::string> Read(std::string_view section, std::string_view key) const;
    void Write(std::string_view section, std::string_view key, std::string_view value);

    // Lines joined with CR LF, in UTF-8.
    std::string Text() const;
    // Written whole to a temporary file that then replaces the old one, so a failure never
    // leaves half a file. False with a pending error.
    bool Save(std::string_view path) const;

  private:
    // Index of the section's header line, or npos.
    std::size_t FindSection(std::string_view section) const;
    std::vector<std::string> m_Lines;
};

} // namespace zarvo
