// The test file's transfers and their error messages.
#include "app/test_file.h"

#include "diagnostics/pending_error.h"
#include "platform/cp866.h"
#include "platform/format_text.h"
#include "platform/os_error.h"

namespace zarvo {

namespace {

std::string_view FileErrorText(std::int16_t status) {
    switch (status) {
    case -1:
        return "Ошибка доступа к файлу \"%s\"."_oem;
    case -2:
        return "Ошибка открытия файла \"%s\"."_oem;
    case -3:
        return "Чтение за концом файла \"%s\"."_oem;
    case -4:
        return "Нельзя расширить файл \"%s\"."_oem;
    default:
        return "Неизвестная ошибка."_oem;
    }
}

std::string ShownName(std::string_view name) {
    if (name.size() <= 70)
        return std::string(name);
    return "..." + std::string(name.substr(name.size() - 70));
}

} // namespace

void tTestFile::Fail(std::int16_t status, int osError) {
    // The first error is the one that explains the failure; later ones stay silent.
    if (IsErrorPending())
        return;
    std::string message = FormatText(FileErrorText(status), {ShownName(m_Name)});
    message +=
        FormatText("\r(cтатус потока %d, ошибка ос %s)."_oem, {status, OsErrorText(osError)});
    PostError(std::make_unique<ESStreamException>(status, osError, std::move(message)));
}

bool tTestFile::Open(std::string_view name, std::uint16_t mode) {
    m_Name.assign(name);
    if (m_File.Open(name, mode, tFileCaching::Direct))
        return !IsErrorPending();
    Fail(-2, LastOsError());
    return false;
}

bool tTestFile::Write(const void* buffer, std::size_t count) {
    if (m_File.Write(buffer, count) == std::int64_t(count))
        return true;
    Fail(-4, LastOsError());
    return false;
}

bool tTestFile::Read(void* buffer, std::size_t count) {
    std::int64_t got = m_File.Read(buffer, count);
    if (got == std::int64_t(count))
        return true;
    Fail(-3, got < 0 ? LastOsError() : 0);
    return false;
}

bool tTestFile::Sync() {
    if (m_File.DirectIo() || m_File.Flush())
        return true;
    Fail(-4, LastOsError());
    return false;
}

bool tTestFile::DropCache() {
    // Dropping only fails on odd file systems; the read then simply is not uncached.
    if (!m_File.DirectIo())
        m_File.DropCache();
    return true;
}

bool tTestFile::Close() {
    if (!m_File.IsOpen() || m_File.Close())
        return true;
    Fail(-4, LastOsError());
    return false;
}

} // namespace zarvo
