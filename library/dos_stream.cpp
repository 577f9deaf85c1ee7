// tDosStream over the platform's file layer.
#include "library/dos_stream.h"

#include <array>

#include "library/clocks.h"
#include "platform/cp866.h"
#include "platform/file_names.h"
#include "platform/format_text.h"
#include "platform/os_error.h"

namespace zarvo {

namespace {

constexpr std::array<std::string_view, 8> kFileStatusTexts = {
    "Нет ошибки (файл \"%s\")."_oem,
    "Ошибка доступа к файлу \"%s\"."_oem,
    "Ошибка открытия файла \"%s\"."_oem,
    "Чтение за концом файла \"%s\"."_oem,
    "Нельзя расширить файл \"%s\"."_oem,
    "Get для незарегистрированного типа объекта из файла \"%s\"."_oem,
    "Put для незарегистрированного типа объекта в файл \"%s\"."_oem,
    "Размер элемента потока не соответствует необходимому (файл \"%s\")."_oem,
};

// The first letter of "cтатус" is the Latin c, as the message has always been written.
constexpr std::string_view kFileStatusSuffix = "(cтатус потока %d, ошибка ос %s)."_oem;

constexpr std::uint32_t kLockRetryMs = 50;
constexpr std::uint32_t kLockGiveUpMs = 50 * 5;

bool IsLockRefusal(int code) {
    return code == kErrorAccessDenied || code == kErrorSharingViolation ||
           code == kErrorLockViolation;
}

// Sharing 4: others may read and write, so the size can change under the stream.
bool SharesWriting(std::uint16_t mode) {
    return mode != kModeCreate && ((mode >> 4) & 0x0F) == 4;
}

} // namespace

std::string ShownFileName(std::string_view fileName) {
    if (fileName.size() <= kShownFileNameLength)
        return PrintableName(fileName);
    return "..." + PrintableName(fileName.substr(fileName.size() - kShownFileNameLength));
}

tDosStream::tDosStream(std::string_view fileName, std::uint16_t mode, tFileCaching caching)
    : tDosStream(fileName, 1, mode, caching) {}

tDosStream::tDosStream(std::string_view fileName, std::uint16_t elementSize, std::uint16_t mode,
                       tFileCaching caching) {
    ElementSize = elementSize == 0 ? 1 : elementSize;
    Open(fileName, mode, caching);
}

tDosStream::tDosStream(tOsFile&& file, std::string_view fileName, std::uint16_t mode)
    : m_File(std::move(file)) {
    m_FileName = std::string(fileName.substr(0, 255));
    m_Mode = mode;
    if (!m_File.IsOpen()) {
        Error(stInitError, LastOsError());
        return;
    }
    Reset();
}

tDosStream::tDosStream(std::uint16_t elementSize) {
    ElementSize = elementSize == 0 ? 1 : elementSize;
}

tDosStream::~tDosStream() = default;

void tDosStream::Open(std::string_view fileName, std::uint16_t mode, tFileCaching caching) {
    m_FileName = std::string(fileName.substr(0, 255));
    m_Mode = mode;
    if (!m_File.Open(fileName, mode, caching)) {
        Error(stInitError, LastOsError());
        return;
    }
    Reset();
}

std::string tDosStream::ErrorText(std::int16_t code, std::int32_t /*info*/) {
    std::string text;
    if (code > 0 || code < -7)
        text = std::string(StreamStatusText(code));
    else
        text = FormatText(kFileStatusTexts[std::size_t(-code)], {ShownFileName(m_FileName)});
    text += '\r';
    text += FormatText(kFileStatusSuffix, {int(Status), OsErrorText(LastOsError())});
    return text;
}

bool tDosStream::Valid(std::uint16_t command) {
    return tStream::Valid(command) && (command != 0 || m_File.IsOpen());
}

bool tDosStream::TakeFileSize(std::int64_t& elements) {
    std::int64_t bytes = m_File.Size();
    if (bytes < 0)
        return false;
    if (bytes % ElementSize != 0) {
        Error(stElementError, 0);
        return false;
    }
    elements = bytes / ElementSize;
    return true;
}

void tDosStream::Reset() {
    std::int64_t bytes = m_File.IsOpen() ? m_File.Position() : -1;
    if (bytes < 0)
        return;
    Position = bytes / ElementSize;
    if (!TakeFileSize(Size))
        return;
    tStream::Reset();
}

std::int64_t tDosStream::GetSize() {
    if (Status != stOk)
        return -1;
    if (SharesWriting(m_Mode) && !TakeFileSize(Size))
        return -1;
    return Size;
}

void tDosStream::Read(void* buffer, std::uint16_t count) {
    if (Status != stOk)
        return;
    std::int64_t moved = MoveBytes(tTransferKind::Read, buffer, count);
    AccountBytes(tTransferKind::Read, count, moved, LastOsError());
}

void tDosStream::Write(const void* buffer, std::uint16_t count) {
    if (Status != stOk)
        return;
    std::int64_t moved = MoveBytes(tTransferKind::Write, const_cast<void*>(buffer), count);
    AccountBytes(tTransferKind::Write, count, moved, LastOsError());
}

std::int64_t tDosStream::MoveBytes(tTransferKind kind, void* buffer, std::uint16_t count) {
    auto bytes = std::size_t(count) * ElementSize;
    return kind == tTransferKind::Read ? m_File.Read(buffer, bytes) : m_File.Write(buffer, bytes);
}

void tDosStream::AccountBytes(tTransferKind kind, std::uint16_t count, std::int64_t moved,
                              int osError) {
    if (Status != stOk)
        return;
    if (moved != std::int64_t(count) * ElementSize) {
        SetLastOsError(osError);
        Error(kind == tTransferKind::Read ? stReadError : stWriteError, 0);
        return;
    }
    Position += count;
    if (kind == tTransferKind::Write)
        Size = std::max(Size, Position);
}

void tDosStream::Seek(std::int64_t pos) {
    if (Status != stOk)
        return;
    std::int64_t bytes = pos < 0 ? -1 : m_File.Seek(pos * ElementSize);
    if (bytes < 0) {
        Error(stError, 0);
        return;
    }
    Position = bytes / ElementSize;
}

void tDosStream::Truncate() {
    if (Status != stOk)
        return;
    if (!m_File.Truncate()) {
        Error(stError, 0);
        return;
    }
    Size = Position;
}

void tDosStream::Flush() {
    if (Status == stOk && !m_File.Flush())
        Error(stWriteError, LastOsError());
}

bool tDosStream::LockRange(std::int64_t offset, std::int64_t count) {
    if (Status != stOk)
        return false;
    std::uint32_t start = GetTickCount32();
    while (!m_File.LockRange(offset, count)) {
        if (!IsLockRefusal(LastOsError()) || GetTickCount32() - start >= kLockGiveUpMs) {
            Error(stError, 0);
            return false;
        }
        Delay(kLockRetryMs);
    }
    return true;
}

bool tDosStream::UnlockRange(std::int64_t offset, std::int64_t count) {
    if (Status != stOk)
        return false;
    if (!m_File.UnlockRange(offset, count)) {
        Error(stError, 0);
        return false;
    }
    return true;
}

bool tDosStream::Close() {
    if (!m_File.IsOpen())
        return true;
    if (m_File.Close())
        return true;
    // Reported even after an earlier error: a share may say only here that data was lost.
    Error(stWriteError, LastOsError());
    return false;
}

} // namespace zarvo
