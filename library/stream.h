// tStream: the framework's seekable element stream with a sticky status instead of
// exceptions. The first failure sets Status, becomes the pending error when none is waiting,
// and turns every later operation into a no-op until Reset.
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>

#include "library/sobject.h"

namespace zarvo {

// Status values.
inline constexpr std::int16_t stOk = 0;
inline constexpr std::int16_t stError = -1;        // access error
inline constexpr std::int16_t stInitError = -2;    // cannot open the stream
inline constexpr std::int16_t stReadError = -3;    // read beyond the end
inline constexpr std::int16_t stWriteError = -4;   // cannot extend
inline constexpr std::int16_t stGetError = -5;     // Get of an unregistered type
inline constexpr std::int16_t stPutError = -6;     // Put of an unregistered type
inline constexpr std::int16_t stElementError = -7; // element size mismatch

// Flags bit: reset the status after every error.
inline constexpr std::uint16_t sfResetOnError = 16;

// Block framing: a 5-byte header 250, kind, 16-bit length (header included), 251.
inline constexpr std::uint8_t kBlockStart = 250;
inline constexpr std::uint8_t kBlockEnd = 251;
inline constexpr std::uint8_t kNoBlock = 255;
inline constexpr int kBlockHeaderSize = 5;

// Direct memory access to a stream's elements (for CopyFrom); Memory null means none.
struct tStreamWindow {
    std::uint16_t Offset = 0;
    std::uint16_t Count = 0;
    void* Memory = nullptr;
};

class tStream : public tSObject {
  public:
    // Command 0 also needs Status 0.
    bool Valid(std::uint16_t command) override;

    // In elements; -1 while Status is not 0.
    virtual std::int64_t GetSize();
    // Records the failure, posts it when no error is pending, resets when sfResetOnError.
    virtual void Error(std::int16_t code, std::int32_t info);
    virtual void Flush() {}
    virtual std::int64_t GetPos();
    // Count is in elements; callers move larger amounts in pieces of at most 65535.
    virtual void Read(void* buffer, std::uint16_t count) = 0;
    virtual void Reset();
    virtual void Seek(std::int64_t pos);
    virtual void Truncate() = 0;
    virtual void Write(const void* buffer, std::uint16_t count) = 0;
    virtual void SetFlags(std::uint16_t value) { Flags = value; }
    virtual void GetWindow(std::int64_t pos, tStreamWindow& window, std::int64_t count);
    virtual void MarkChanged(std::int64_t /*pos*/, std::int64_t /*count*/) {}
    // Byte ranges, for coordination with other processes.
    virtual bool LockRange(std::int64_t offset, std::int64_t count);
    virtual bool UnlockRange(std::int64_t offset, std::int64_t count);

    std::uint16_t GetFlags() const { return Flags; }

    // Strings need byte elements; otherwise Error(-7, 0). Failures answer empty or null.
    std::string ReadStr();
    void WriteStr(std::string_view s);
    std::unique_ptr<char[]> StrRead();
    void StrWrite(const char* p);
    std::string ReadLongString();
    void WriteLongString(std::string_view text);
    void WriteText(std::string_view text);
    void WriteLine(std::string_view text);
    bool WriteSignature(const void* bytes, std::uint16_t count);
    bool HasSignature(const void* bytes, std::uint16_t count);

    // Copies Count elements from Source at SourcePos to this stream at DestPos.
    void CopyFrom(tStream& source, std::int64_t destPos, std::int64_t count,
                  std::int64_t sourcePos);

    bool BeginBlock(std::int64_t& start);
    bool EndBlock(std::int64_t start, std::uint8_t kind);
    bool ReadBlockHeader(std::uint8_t& kind, std::int64_t& end);
    // Whether a block read here may end at END: not before the position, not past the end.
    bool BlockEndInside(std::int64_t end) { return end >= GetPos() && end <= GetSize(); }

    // Fixed-width little-endian values, as every stored format here is written. A failed
    // read answers 0.
    template <class T> T ReadValue() {
        static_assert(std::is_trivially_copyable_v<T>);
        T value{};
        ReadBytes(&value, sizeof(T));
        return Status == stOk ? value : T{};
    }
    template <class T> void WriteValue(const T& value) {
        static_assert(std::is_trivially_copyable_v<T>);
        WriteBytes(&value, sizeof(T));
    }

    std::uint16_t ElementSize = 1;
    std::int64_t Size = 0;
    std::uint16_t Flags = 0;
    std::int16_t Status = stOk;
    std::int32_t ErrorInfo = 0;
    std::int64_t Position = 0;

  protected:
    // The message posted for an error.
    virtual std::string ErrorText(std::int16_t code, std::int32_t info);
    // Byte moves for the byte-oriented helpers; false after Error(-7, 0) or a failure.
    bool NeedsByteElements();
    void ReadBytes(void* buffer, std::size_t count);
    void WriteBytes(const void* buffer, std::size_t count);

  private:
    std::int64_t CopyStep(tStream& source, std::int64_t count);
};

// The table text of a status code for streams without a file ("Неизвестная ошибка." for
// codes outside 0 to -7).
std::string_view StreamStatusText(std::int16_t code);

} // namespace zarvo
