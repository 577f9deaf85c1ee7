// The settings-file reader and writer.
#include "console/ini_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>

#include "console/keyboard.h"
#include "diagnostics/pending_error.h"
#include "platform/cp866.h"
#include "platform/file_names.h"
#include "platform/format_text.h"
#include "platform/whole_file.h"
#include "platform/write_all.h"

namespace zarvo {
namespace {

// Far more than the keys the program keeps; a larger file is no settings file.
constexpr std::size_t kMaxSettingsBytes = 64 * 1024;

constexpr std::size_t npos = std::string::npos;

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

// Strict: a CP866 file's Cyrillic letters almost never pass as UTF-8.
bool IsValidUtf8(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        auto lead = std::uint8_t(text[pos]);
        int extra = lead < 0x80                    ? 0
                    : lead >= 0xC2 && lead <= 0xDF ? 1
                    : lead >= 0xE0 && lead <= 0xEF ? 2
                    : lead >= 0xF0 && lead <= 0xF4 ? 3
                                                   : -1;
        if (extra < 0 || text.size() - pos <= std::size_t(extra))
            return false;
        for (int i = 1; i <= extra; ++i)
            if ((std::uint8_t(text[pos + std::size_t(i)]) & 0xC0) != 0x80)
                return false;
        pos += std::size_t(extra) + 1;
    }
    return true;
}

// `fileName` is the file's UTF-8, `name` the program's CP866.
bool SameName(std::string_view fileName, std::string_view name) {
    // A character CP866 lacks becomes one no name of the program holds.
    std::string a = Utf8ToCp866(fileName, '\x01');
    std::string_view b = name;
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (UpCase866(a[i]) != UpCase866(b[i]))
            return false;
    return true;
}

// The section name of a "[Name]" line, or nothing.
std::optional<std::string_view> SectionOf(std::string_view line) {
    line = Trim(line);
    if (line.size() < 2 || line.front() != '[')
        return std::nullopt;
    std::size_t close = line.find(']');
    if (close == npos)
        return std::nullopt;
    return Trim(line.substr(1, close - 1));
}

bool SplitKey(std::string_view line, std::string_view& key, std::string_view& value) {
    std::size_t equals = line.find('=');
    if (equals == npos)
        return false;
    key = Trim(line.substr(0, equals));
    value = Trim(line.substr(equals + 1));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        value = value.substr(1, value.size() - 2);
    return !key.empty() && key.front() != ';';
}

void PostFileError(std::string_view format, std::string_view path, int code) {
    PostOSError(FormatText(format, {path}), code);
}

} // namespace

bool tIniFile::Load(std::string_view path) {
    m_Lines.clear();
    tWholeFile file = ReadRegularFile(OsPath(path), kMaxSettingsBytes);
    if (file.OpenError == ENOENT)
        return true;
    if (file.OpenError == EINVAL) {
        PostFileError("Файл настроек %s - не обычный файл; он не читается и не переписывается"_oem,
                      path, file.OpenError);
        return false;
    }
    if (file.OpenError != 0) {
        PostFileError("Не удалось открыть файл настроек %s"_oem, path, file.OpenError);
        return false;
    }
    if (file.ReadError == EFBIG) {
        PostFileError("Файл настроек %s слишком велик; он не читается и не переписывается"_oem,
                      path, file.ReadError);
        return false;
    }
    if (file.ReadError != 0) {
        PostFileError("Не удалось прочитать файл настроек %s"_oem, path, file.ReadError);
        return false;
    }
    Parse(file.Text);
    return true;
}

void tIniFile::Parse(std::string_view text) {
    m_Lines.clear();
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (text.starts_with(kByteOrderMark))
        text.remove_prefix(kByteOrderMark.size());
    // A file from before the settings were kept in UTF-8 is CP866; it is rewritten as UTF-8.
    std::string converted;
    if (!IsValidUtf8(text)) {
        converted = Cp866ToUtf8(text);
        text = converted;
    }
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        m_Lines.emplace_back(line);
        if (end == npos)
            break;
        text.remove_prefix(end + 1);
    }
}

std::size_t tIniFile::FindSection(std::string_view section) const {
    for (std::size_t i = 0; i < m_Lines.size(); ++i)
        if (auto name = SectionOf(m_Lines[i]); name && SameName(*name, section))
            return i;
    return npos;
}

std::optional<std::string> tIniFile::Read(std::string_view section, std::string_view key) const {
    std::size_t header = FindSection(section);
    if (header == npos)
        return std::nullopt;
    for (std::size_t i = header + 1; i < m_Lines.size() && !SectionOf(m_Lines[i]); ++i) {
        std::string_view name, value;
        if (SplitKey(m_Lines[i], name, value) && SameName(name, key))
            return Utf8ToCp866(value);
    }
    return std::nullopt;
}

void tIniFile::Write(std::string_view section, std::string_view key, std::string_view value) {
    std::string line = Cp866ToUtf8(key) + "=" + Cp866ToUtf8(value);
    std::size_t header = FindSection(section);
    if (header == npos) {
        if (!m_Lines.empty() && !Trim(m_Lines.back()).empty())
            m_Lines.emplace_back();
        m_Lines.push_back("[" + Cp866ToUtf8(section) + "]");
        m_Lines.push_back(line);
        return;
    }
    std::size_t insertAt = header + 1;
    for (std::size_t i = header + 1; i < m_Lines.size() && !SectionOf(m_Lines[i]); ++i) {
        std::string_view name, old;
        if (SplitKey(m_Lines[i], name, old) && SameName(name, key)) {
            m_Lines[i] = line;
            return;
        }
        if (!Trim(m_Lines[i]).empty())
            insertAt = i + 1;
    }
    m_Lines.insert(m_Lines.begin() + std::ptrdiff_t(insertAt), line);
}

std::string tIniFile::Text() const {
    std::string text;
    for (const std::string& line : m_Lines)
        text += line + "\r\n";
    return text;
}

// A settings file kept elsewhere through a link stays a link: the file it leads to is
// rewritten. A link that leads nowhere is left alone rather than followed into a new file.
bool tIniFile::Save(std::string_view path) const {
    std::string osPath = OsPath(path);
    struct stat facts {};
    if (lstat(osPath.c_str(), &facts) == 0 && S_ISLNK(facts.st_mode)) {
        char* target = realpath(osPath.c_str(), nullptr);
        if (target == nullptr) {
            PostFileError("Не удалось записать файл настроек %s"_oem, path, errno);
            return false;
        }
        osPath = target;
        free(target);
    }
    std::string temporary = osPath + ".new";
    // Made afresh: one left by an earlier run, or a link put there, is never written through.
    unlink(temporary.c_str());
    int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) {
        PostFileError("Не удалось записать файл настроек %s"_oem, path, errno);
        return false;
    }
    bool written = WriteAll(fd, Text()) && fsync(fd) == 0;
    int code = errno;
    if (close(fd) != 0 && written) {
        written = false;
        code = errno;
    }
    if (!written || rename(temporary.c_str(), osPath.c_str()) != 0) {
        if (written)
            code = errno;
        unlink(temporary.c_str());
        PostFileError("Не удалось записать файл настроек %s"_oem, path, code);
        return false;
    }
    return true;
}

} // namespace zarvo
