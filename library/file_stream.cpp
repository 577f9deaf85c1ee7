// tFileStream over the platform's file layer.
#include "library/file_stream.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/cp866.h"
#include "platform/format_text.h"
#include "platform/os_error.h"

namespace zarvo {

namespace {

constexpr std::string_view kReadError = "Ошибка ввода вывода (чтение потока)"_oem;
constexpr std::string_view kWriteError = "Ошибка ввода вывода (запись в поток)"_oem;

// Makes a missing file without touching an existing one (no truncation, no lock).
bool EnsureFileExists(std::string_view name) {
    std::string path = Cp866ToUtf8(name);
    int handle = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (handle < 0) {
        SetLastOsError(errno);
        return false;
    }
    if (::close(handle) != 0) {
        SetLastOsError(errno);
        return false;
    }
    return true;
}

std::string OpenFailureText(std::string_view what, std::string_view name) {
    return FormatText("%s \"%s\": %s"_oem, {what, name, OsErrorText(LastOsError())});
}

} // namespace

tFileStream::tFileStream(std::string_view fileName, std::uint16_t mode) : m_FileName(fileName) {
    if (mode == kModeCreate) {
        if (!m_File.Open(fileName, mode))
            throw EFCreateError(OpenFailureText("Невозможно создать файл"_oem, fileName));
        return;
    }
    if ((mode & kModeOpenOrCreate) != 0 && !EnsureFileExists(fileName))
        throw EFCreateError(OpenFailureText("Невозможно создать файл"_oem, fileName));
    if (!m_File.Open(fileName, std::uint16_t(mode & 0x00FF)))
        throw EFOpenError(OpenFailureText("Невозможно открыть файл"_oem, fileName));
}

void tFileStream::RaiseStreamError(std::string_view what) const {
    throw EStreamError(FormatText("Ошибка ввода-вывода (поток файла).\r\n %s, имя файла \"%s\""_oem,
                                  {what, m_FileName}));
}

std::size_t tFileStream::Read(void* buffer, std::size_t count) {
    std::int64_t done = m_File.Read(buffer, count);
    if (done < 0)
        RaiseStreamError(kReadError);
    return std::size_t(done);
}

std::size_t tFileStream::Write(const void* buffer, std::size_t count) {
    std::int64_t done = m_File.Write(buffer, count);
    if (done < 0)
        RaiseStreamError(kWriteError);
    return std::size_t(done);
}

void tFileStream::ReadBuffer(void* buffer, std::size_t count) {
    if (count != 0 && Read(buffer, count) != count)
        RaiseStreamError(kReadError);
}

void tFileStream::WriteBuffer(const void* buffer, std::size_t count) {
    if (count != 0 && Write(buffer, count) != count)
        RaiseStreamError(kWriteError);
}

std::int64_t tFileStream::Seek(std::int64_t offset, tSeekOrigin origin) {
    std::int64_t base = 0;
    if (origin == tSeekOrigin::Current)
        base = Position();
    else if (origin == tSeekOrigin::End)
        base = Size();
    std::int64_t result = m_File.Seek(base + offset);
    if (result < 0)
        RaiseStreamError(kReadError);
    return result;
}

std::int64_t tFileStream::Position() const {
    std::int64_t result = m_File.Position();
    if (result < 0)
        RaiseStreamError(kReadError);
    return result;
}

std::int64_t tFileStream::Size() const {
    std::int64_t result = m_File.Size();
    if (result < 0)
        RaiseStreamError(kReadError);
    return result;
}

void tFileStream::Close() {
    if (!m_File.Close())
        RaiseStreamError(kWriteError);
}

void tFileStream::Flush() {
    if (!m_File.Flush())
        RaiseStreamError(kWriteError);
}

} // namespace zarvo
