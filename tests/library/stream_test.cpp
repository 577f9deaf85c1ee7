// Tests of tStream's own rules over a small in-memory stream: the sticky status and its
// messages, the string operations, block framing and CopyFrom.
#include "library/stream.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "diagnostics/pending_error.h"
#include "platform/cp866.h"
#include "platform/format_text.h"

namespace zarvo {
namespace {

// Bytes in a vector; reading past the end is Error(-3).
class tVectorStream : public tStream {
  public:
    explicit tVectorStream(std::vector<std::uint8_t> bytes = {}) : Bytes(std::move(bytes)) {
        Size = std::int64_t(Bytes.size());
    }
    void Read(void* buffer, std::uint16_t count) override {
        if (Status != stOk)
            return;
        std::size_t bytes = std::size_t(count) * ElementSize;
        if (std::size_t(Position) * ElementSize + bytes > Bytes.size()) {
            Error(stReadError, 0);
            return;
        }
        std::memcpy(buffer, Bytes.data() + Position * ElementSize, bytes);
        Position += count;
    }
    void Write(const void* buffer, std::uint16_t count) override {
        if (Status != stOk)
            return;
        std::size_t at = std::size_t(Position) * ElementSize;
        std::size_t bytes = std::size_t(count) * ElementSize;
        if (Bytes.size() < at + bytes)
            Bytes.resize(at + bytes);
        std::memcpy(Bytes.data() + at, buffer, bytes);
        Position += count;
        Size = std::max(Size, Position);
    }
    void Truncate() override {
        Bytes.resize(std::size_t(Position) * ElementSize);
        Size = Position;
    }
    std::vector<std::uint8_t> Bytes;
};

class StreamTest : public ::testing::Test {
  protected:
    void SetUp() override { ClearError(); }
    void TearDown() override { ClearError(); }
};

std::string Posted(std::string_view text) {
    return "\x03" + std::string("Ошибка потока: "_oem) + std::string(text);
}

// Catches a wrong table text, a missing centring byte or prefix, or a wrong status suffix.
TEST_F(StreamTest, EveryErrorCodePostsItsText) {
    struct tCase {
        std::int16_t Code;
        std::int32_t Info;
        std::string_view Text;
        std::string_view Suffix;
    } cases[] = {
        {0, 0, "Нет ошибки."_oem, "(статус : 0)"_oem},
        {-1, 0, "Ошибка доступа."_oem, "(статус : -1)"_oem},
        {-2, 2, "Ошибка инициализации потока."_oem, "(статус : -2, код : 2)"_oem},
        {-3, 0, "Чтение за концом потока."_oem, "(статус : -3)"_oem},
        {-4, 0, "Нельзя расширить поток."_oem, "(статус : -4)"_oem},
        {-5, 77, "Get для незарегистрированного типа объекта."_oem, "(статус : -5, код : 77)"_oem},
        {-6, 0, "Put для незарегистрированного типа объекта."_oem, "(статус : -6)"_oem},
        {-7, 0, "Размер элемента потока не соответствует необходимому."_oem, "(статус : -7)"_oem},
        {-9, 0, "Неизвестная ошибка."_oem, "(статус : -9)"_oem},
    };
    for (const auto& c : cases) {
        ClearError();
        tVectorStream stream;
        stream.Error(c.Code, c.Info);
        auto* error = dynamic_cast<ESStreamException*>(PendingError());
        ASSERT_NE(error, nullptr) << "expected a stream exception for code " << c.Code;
        EXPECT_EQ(error->Message(), Posted(std::string(c.Text) + std::string(c.Suffix)))
            << "code " << c.Code;
        EXPECT_EQ(error->Code, c.Code);
        EXPECT_EQ(error->Detail, c.Info);
        EXPECT_EQ(stream.Status, c.Code);
        EXPECT_EQ(stream.ErrorInfo, c.Info);
    }
}

// Catches operations that go on after an error, or a second error replacing the first report.
TEST_F(StreamTest, StatusIsStickyAndOnlyTheFirstErrorIsPosted) {
    tVectorStream stream({1, 2, 3});
    std::uint8_t buffer[8] = {};
    stream.Read(buffer, 8);
    ASSERT_EQ(stream.Status, stReadError);
    std::string first = PendingError()->Message();
    EXPECT_FALSE(stream.Valid(0)) << "expected an invalid stream after an error";
    EXPECT_EQ(stream.GetPos(), -1);
    EXPECT_EQ(stream.GetSize(), -1);
    stream.Write("x", 1);
    EXPECT_EQ(stream.Bytes.size(), 3u) << "expected the write skipped";
    stream.Error(stWriteError, 5);
    EXPECT_EQ(stream.Status, stWriteError) << "expected the status changed";
    EXPECT_EQ(PendingError()->Message(), first) << "expected nothing posted while one waits";
    stream.Reset();
    EXPECT_EQ(stream.Status, stOk);
    EXPECT_EQ(stream.GetPos(), 0) << "expected the position kept inside the stream";
}

// Catches sfResetOnError not clearing the status after the error is recorded and posted.
TEST_F(StreamTest, ResetOnErrorFlag) {
    tVectorStream stream({1, 2});
    stream.SetFlags(sfResetOnError);
    std::uint8_t buffer[4];
    stream.Read(buffer, 4);
    EXPECT_EQ(stream.Status, stOk) << "expected the status reset";
    EXPECT_TRUE(IsErrorPending()) << "expected the error still reported";
}

// Catches wrong byte layouts of the string operations and wrong empty or null results.
TEST_F(StreamTest, StringOperationsWriteAndReadTheirLayouts) {
    struct tCase {
        const char* What;
        std::function<void(tStream&)> Write;
        std::vector<std::uint8_t> Bytes;
    } cases[] = {
        {"WriteStr abc", [](tStream& s) { s.WriteStr("abc"); }, {3, 97, 98, 99}},
        {"StrWrite null", [](tStream& s) { s.StrWrite(nullptr); }, {0, 0}},
        {"StrWrite ab", [](tStream& s) { s.StrWrite("ab"); }, {2, 0, 97, 98}},
        {"WriteLine x", [](tStream& s) { s.WriteLine("x"); }, {120, 13, 10}},
        {"WriteLongString ab", [](tStream& s) { s.WriteLongString("ab"); }, {2, 0, 0, 0, 97, 98}},
        {"WriteText ab", [](tStream& s) { s.WriteText("ab"); }, {97, 98}},
    };
    for (const auto& c : cases) {
        tVectorStream stream;
        c.Write(stream);
        EXPECT_EQ(stream.Bytes, c.Bytes) << c.What;
    }
    tVectorStream empty({0, 0, 0});
    EXPECT_EQ(empty.ReadStr(), "") << "expected a zero length to give the empty string";
    EXPECT_EQ(empty.StrRead(), nullptr) << "expected a zero 16-bit length to give null";

    tVectorStream roundTrip;
    std::string big(70000, 'q');
    big[65535] = 'Z';
    roundTrip.WriteLongString(big);
    roundTrip.WriteStr(std::string(300, 's'));
    roundTrip.Seek(0);
    EXPECT_EQ(roundTrip.ReadLongString(), big) << "expected a text above 65535 bytes intact";
    EXPECT_EQ(roundTrip.ReadStr(), std::string(255, 's')) << "expected 255 characters at most";
    EXPECT_EQ(roundTrip.Status, stOk);
}

// Catches a damaged long-string length being trusted (a huge allocation, a bogus text).
TEST_F(StreamTest, LongStringLengthPastTheEndIsAReadError) {
    tVectorStream stream({0xFF, 0xFF, 0xFF, 0x7F, 'a', 'b'});
    EXPECT_EQ(stream.ReadLongString(), "");
    EXPECT_EQ(stream.Status, stReadError) << "expected the length checked against the stream";
}

// Catches string operations running on a stream of 2-byte elements.
TEST_F(StreamTest, StringOperationsNeedByteElements) {
    tVectorStream stream;
    stream.ElementSize = 2;
    stream.WriteStr("ab");
    EXPECT_EQ(stream.Status, stElementError);
    EXPECT_TRUE(stream.Bytes.empty()) << "expected nothing written";
}

// Catches a wrong header layout, a header taken from a short tail, or a lost position.
TEST_F(StreamTest, BlockFraming) {
    tVectorStream stream;
    std::int64_t start = -1;
    ASSERT_TRUE(stream.BeginBlock(start));
    ASSERT_TRUE(stream.EndBlock(start, 2));
    EXPECT_EQ(stream.Bytes, (std::vector<std::uint8_t>{250, 2, 5, 0, 251}))
        << "expected the header of an empty 5-byte block";
    ASSERT_TRUE(stream.BeginBlock(start));
    stream.WriteText("abc");
    ASSERT_TRUE(stream.EndBlock(start, 1));
    EXPECT_EQ(stream.GetPos(), 13) << "expected the position back at the block's end";

    struct tCase {
        const char* What;
        std::vector<std::uint8_t> Bytes;
        bool Found;
        std::uint8_t Kind;
        std::int64_t End;
    } cases[] = {
        {"a header", {250, 7, 9, 0, 251, 1, 2, 3, 4}, true, 7, 9},
        {"a 4-byte tail", {250, 7, 9, 0}, false, 255, 0},
        {"5 bytes that are no header", {250, 7, 9, 0, 250, 1}, false, 255, 0},
    };
    for (const auto& c : cases) {
        tVectorStream read(c.Bytes);
        std::uint8_t kind = 0;
        std::int64_t end = -1;
        EXPECT_EQ(read.ReadBlockHeader(kind, end), c.Found) << c.What;
        EXPECT_EQ(kind, c.Kind) << c.What;
        EXPECT_EQ(end, c.End) << c.What;
        EXPECT_EQ(read.GetPos(), c.Found ? 5 : 0) << c.What << ": position";
        EXPECT_EQ(read.Status, stOk) << c.What;
    }
}

// Catches a block longer than its 16-bit length being written as if it could be read back.
TEST_F(StreamTest, BlockLongerThanItsLengthFieldIsRefused) {
    tVectorStream stream;
    std::int64_t start = 0;
    stream.BeginBlock(start);
    stream.WriteText(std::string(70000, 'x'));
    EXPECT_FALSE(stream.EndBlock(start, 1));
    EXPECT_EQ(stream.Status, stWriteError) << "expected the oversized block reported";
}

// Catches signatures read from the wrong place or matched on a short stream.
TEST_F(StreamTest, Signatures) {
    tVectorStream stream;
    const std::uint8_t signature[4] = {0xD4, 0x02, 0x96, 0x49};
    stream.WriteText("zz");
    ASSERT_TRUE(stream.WriteSignature(signature, 4));
    EXPECT_TRUE(stream.HasSignature(signature, 4));
    const std::uint8_t longer[6] = {};
    EXPECT_FALSE(stream.HasSignature(longer, 6));
    EXPECT_EQ(stream.Status, stOk) << "expected a short stream to answer false quietly";
}

// Catches CopyFrom losing bytes at step borders, ignoring element sizes or source errors.
TEST_F(StreamTest, CopyFrom) {
    std::vector<std::uint8_t> data(5000);
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = std::uint8_t(i * 7);
    tVectorStream source(data), target;
    target.CopyFrom(source, 0, 4990, 10);
    ASSERT_EQ(target.Status, stOk);
    EXPECT_EQ(target.Bytes, std::vector<std::uint8_t>(data.begin() + 10, data.end()));

    tVectorStream wide;
    wide.ElementSize = 2;
    wide.CopyFrom(source, 0, 1, 0);
    EXPECT_EQ(wide.Status, stElementError) << "expected element sizes compared";

    ClearError();
    tVectorStream shortSource({1, 2, 3}), other;
    other.CopyFrom(shortSource, 0, 10, 0);
    EXPECT_EQ(other.Status, stWriteError) << "expected a source failure reported on the target";
}

} // namespace
} // namespace zarvo
