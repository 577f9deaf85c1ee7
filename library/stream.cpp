// tStream's status rules, string and block helpers and CopyFrom.
#include "library/stream.h"

#include <algorithm>
#include <array>
#include <limits>
#include <new>
#include <vector>

#include "diagnostics/pending_error.h"
#include "platform/cp866.h"
#include "platform/format_text.h"

namespace zarvo {

namespace {

constexpr std::array<std::string_view, 8> kStatusTexts = {
    "Нет ошибки."_oem,
    "Ошибка доступа."_oem,
    "Ошибка инициализации потока."_oem,
    "Чтение за концом потока."_oem,
    "Нельзя расширить поток."_oem,
    "Get для незарегистрированного типа объекта."_oem,
    "Put для незарегистрированного типа объекта."_oem,
    "Размер элемента потока не соответствует необходимому."_oem,
};

// Element counts of one Read or Write are 16-bit.
constexpr std::size_t kMaxPiece = 65535;
// CopyFrom's step when neither stream offers memory.
constexpr std::int64_t kCopyStep = 2048;

} // namespace

std::string_view StreamStatusText(std::int16_t code) {
    if (code > 0 || code < -7)
        return "Неизвестная ошибка."_oem;
    return kStatusTexts[std::size_t(-code)];
}

bool tStream::Valid(std::uint16_t command) {
    return tSObject::Valid(command) && (command != 0 || Status == stOk);
}

std::int64_t tStream::GetSize() {
    return Status == stOk ? Size : -1;
}

std::int64_t tStream::GetPos() {
    return Status == stOk ? Position : -1;
}

std::string tStream::ErrorText(std::int16_t code, std::int32_t info) {
    std::string text(StreamStatusText(code));
    if (info != 0)
        text += FormatText("(статус : %d, код : %d)"_oem, {int(code), int(info)});
    else
        text += FormatText("(статус : %d)"_oem, {int(code)});
    return kCentreMark + std::string("Ошибка потока: "_oem) + text;
}

void tStream::Error(std::int16_t code, std::int32_t info) {
    Status = code;
    ErrorInfo = info;
    if (!IsErrorPending())
        PostError(std::make_unique<ESStreamException>(code, info, ErrorText(code, info)));
    if (Flags & sfResetOnError)
        Reset();
}

void tStream::Reset() {
    Status = stOk;
    ErrorInfo = 0;
    if (GetSize() < GetPos())
        Seek(GetSize());
    else if (GetPos() < 0)
        Seek(0);
}

void tStream::Seek(std::int64_t pos) {
    if (Status == stOk)
        Position = std::max<std::int64_t>(0, pos);
}

void tStream::GetWindow(std::int64_t, tStreamWindow& window, std::int64_t) {
    window = tStreamWindow{};
}

bool tStream::LockRange(std::int64_t, std::int64_t) {
    Error(stError, 0);
    return false;
}

bool tStream::UnlockRange(std::int64_t, std::int64_t) {
    Error(stError, 0);
    return false;
}

bool tStream::NeedsByteElements() {
    if (Status != stOk)
        return false;
    if (ElementSize > 1) {
        Error(stElementError, 0);
        return false;
    }
    return true;
}

void tStream::ReadBytes(void* buffer, std::size_t count) {
    if (!NeedsByteElements())
        return;
    auto* bytes = static_cast<char*>(buffer);
    while (count > 0 && Status == stOk) {
        std::size_t piece = std::min(count, kMaxPiece);
        Read(bytes, std::uint16_t(piece));
        bytes += piece;
        count -= piece;
    }
}

void tStream::WriteBytes(const void* buffer, std::size_t count) {
    if (!NeedsByteElements())
        return;
    const auto* bytes = static_cast<const char*>(buffer);
    while (count > 0 && Status == stOk) {
        std::size_t piece = std::min(count, kMaxPiece);
        Write(bytes, std::uint16_t(piece));
        bytes += piece;
        count -= piece;
    }
}

std::string tStream::ReadStr() {
    auto length = ReadValue<std::uint8_t>();
    std::string text(length, '\0');
    ReadBytes(text.data(), length);
    return Status == stOk ? text : std::string();
}

// A short string holds at most 255 characters: that is all its length byte can say.
void tStream::WriteStr(std::string_view s) {
    auto length = std::uint8_t(std::min<std::size_t>(s.size(), 255));
    WriteValue(length);
    WriteBytes(s.data(), length);
}

std::unique_ptr<char[]> tStream::StrRead() {
    auto length = ReadValue<std::uint16_t>();
    if (length == 0)
        return nullptr;
    auto text = std::make_unique<char[]>(std::size_t(length) + 1);
    ReadBytes(text.get(), length);
    if (Status != stOk)
        return nullptr;
    text[length] = '\0';
    return text;
}

void tStream::StrWrite(const char* p) {
    auto length = std::uint16_t(p ? std::min<std::size_t>(std::strlen(p), kMaxPiece) : 0);
    WriteValue(length);
    WriteBytes(p, length);
}

std::string tStream::ReadLongString() {
    auto length = ReadValue<std::int32_t>();
    if (length <= 0)
        return {};
    // A damaged length must not make us allocate what the stream cannot hold.
    std::int64_t left = GetSize() - GetPos();
    if (Status == stOk && ElementSize <= 1 && length > left) {
        Error(stReadError, 0);
        return {};
    }
    std::string text(std::size_t(length), '\0');
    ReadBytes(text.data(), text.size());
    return Status == stOk ? text : std::string();
}

void tStream::WriteLongString(std::string_view text) {
    if (text.size() > std::size_t(std::numeric_limits<std::int32_t>::max())) {
        Error(stWriteError, 0);
        return;
    }
    WriteValue(std::int32_t(text.size()));
    WriteBytes(text.data(), text.size());
}

void tStream::WriteText(std::string_view text) {
    WriteBytes(text.data(), text.size());
}

void tStream::WriteLine(std::string_view text) {
    WriteText(text);
    WriteBytes("\r\n", 2);
}

bool tStream::WriteSignature(const void* bytes, std::uint16_t count) {
    if (!NeedsByteElements())
        return false;
    Seek(0);
    WriteBytes(bytes, count);
    return Status == stOk;
}

bool tStream::HasSignature(const void* bytes, std::uint16_t count) {
    if (!NeedsByteElements() || GetSize() < count)
        return false;
    Seek(0);
    std::vector<char> found(count);
    ReadBytes(found.data(), count);
    return Status == stOk && std::memcmp(found.data(), bytes, count) == 0;
}

bool tStream::BeginBlock(std::int64_t& start) {
    start = GetPos();
    if (start < 0)
        return false;
    const std::uint8_t zeros[kBlockHeaderSize] = {};
    WriteBytes(zeros, sizeof zeros);
    return Status == stOk;
}

bool tStream::EndBlock(std::int64_t start, std::uint8_t kind) {
    if (Status != stOk)
        return false;
    std::int64_t end = GetPos();
    std::int64_t length = end - start;
    // The stored length is 16-bit: a longer block could never be read back as written.
    if (length > 0xFFFF || length < 0) {
        Error(stWriteError, 0);
        return false;
    }
    const std::uint8_t header[kBlockHeaderSize] = {kBlockStart, kind, std::uint8_t(length),
                                                   std::uint8_t(length >> 8), kBlockEnd};
    if (end != start)
        Seek(start);
    WriteBytes(header, sizeof header);
    if (end != start)
        Seek(end);
    return Status == stOk;
}

bool tStream::ReadBlockHeader(std::uint8_t& kind, std::int64_t& end) {
    kind = kNoBlock;
    end = GetPos();
    std::int64_t start = end;
    if (start < 0 || GetSize() - start < kBlockHeaderSize)
        return false;
    std::uint8_t header[kBlockHeaderSize] = {};
    ReadBytes(header, sizeof header);
    if (Status == stOk && header[0] == kBlockStart && header[4] == kBlockEnd) {
        kind = header[1];
        end = start + (header[2] | (header[3] << 8));
        return true;
    }
    Seek(start);
    return false;
}

void tStream::CopyFrom(tStream& source, std::int64_t destPos, std::int64_t count,
                       std::int64_t sourcePos) {
    if (Status != stOk || source.Status != stOk)
        return;
    if (ElementSize != source.ElementSize) {
        Error(stElementError, 0);
        return;
    }
    Seek(destPos);
    source.Seek(sourcePos);
    tStreamWindow window;
    GetWindow(GetPos(), window, count);
    while (count > 0 && Status == stOk) {
        std::int64_t moved = CopyStep(source, count);
        if (Status != stOk)
            return;
        if (source.Status != stOk) {
            Error(stWriteError, 0);
            return;
        }
        count -= moved;
    }
}

// One step of CopyFrom: moves up to Count elements by the fastest route the two streams
// offer and answers how many.
std::int64_t tStream::CopyStep(tStream& source, std::int64_t count) {
    tStreamWindow to, from;
    GetWindow(GetPos(), to, 0);
    source.GetWindow(source.GetPos(), from, 0);
    std::int64_t n = kCopyStep;
    if (to.Count != 0 && from.Count != 0)
        n = std::min(to.Count, from.Count);
    else if (to.Count != 0 || from.Count != 0)
        n = std::max(to.Count, from.Count);
    n = std::min(n, count);
    auto elements = std::uint16_t(n);
    std::size_t bytes = std::size_t(n) * ElementSize;
    if (to.Memory && from.Memory) {
        std::memcpy(to.Memory, from.Memory, bytes);
        MarkChanged(GetPos(), n);
        Seek(GetPos() + n);
        source.Seek(source.GetPos() + n);
    } else if (to.Memory) {
        MarkChanged(GetPos(), n);
        source.Read(to.Memory, elements);
        Seek(GetPos() + n);
    } else if (from.Memory) {
        Write(from.Memory, elements);
        source.Seek(source.GetPos() + n);
    } else {
        std::unique_ptr<char[]> buffer(new (std::nothrow) char[bytes]);
        if (!buffer) {
            Error(stWriteError, 0);
            return 0;
        }
        source.Read(buffer.get(), elements);
        if (source.Status == stOk)
            Write(buffer.get(), elements);
    }
    return n;
}

} // namespace zarvo
