// Static and parameter texts: wrapping at spaces, line breaks, centring and long words on the
// screen; the parameter formatting (conversions, widths, the percent sign, too few
// parameters); the record kept by reference; and the stored forms, old and new.
#include "views/static_text.h"

#include <gtest/gtest.h>

#include "library/object_stream.h"
#include "library/object_stream_buffer.h"
#include "tests/views/dialog_test_support.h"

namespace zarvo {
namespace {

using namespace testing_dialogs;

class StaticTextTest : public tDialogScreen {};

// Catches lines not broken at spaces or at CR LF, a centring mark that does not centre (or is
// shown), a long word not cut at the width, "~" taken for a hot letter, or a line drawn twice
// when the text ends with a line break.
TEST_F(StaticTextTest, Wrapping) {
    struct tCase {
        const char* Name;
        std::string_view Text;
        int Width;
        std::vector<std::string> Rows;
    } cases[] = {
        {"two lines by CR LF",
         "Один два\r\nтри четыре"_oem,
         20,
         {"Один два            ", "три четыре          ", "                    "}},
        {"second line centred",
         "Один два\r\n\x03три четыре"_oem,
         20,
         {"Один два            ", "     три четыре     ", "                    "}},
        {"long word cut at the width",
         "абвгдеёжзийклм"_oem,
         10,
         {"абвгдеёжзи", "йклм      ", "          "}},
        {"broken at spaces", "one two three four", 9, {"one two  ", "three    ", "four     "}},
        {"leading spaces of a line skipped", "one   two", 4, {"one ", "two ", "    "}},
        {"tildes are plain characters", "~A~b", 6, {"~A~b  ", "      ", "      "}},
        {"a trailing line break adds no line", "ab\r", 4, {"ab  ", "    ", "    "}},
        {"more lines than rows", "a\rb\rc\rd", 2, {"a ", "b ", "c "}},
    };
    for (const tCase& c : cases) {
        tDialog* dialog = AddDialog();
        dialog->InsertView(new tStaticText(MakeRect(2, 2, 2 + c.Width, 5), c.Text));
        EXPECT_EQ(Block(2, 2, c.Width, 3), c.Rows) << c.Name;
        EXPECT_EQ(AttrAt(2, 2), 0x70) << c.Name << ": static text colour";
        FreeObject(dialog);
    }
}

// Catches wrong conversions, widths or precisions, a doubled percent sign that takes a
// parameter, reads past the parameters, and fields as wide as a damaged format asks.
TEST(FormatParamsTest, Conversions) {
    const std::string text = "abcdef";
    const tTextParam params[] = {3, 10, -5, 255, reinterpret_cast<tTextParam>(&text), 'A'};
    struct tCase {
        const char* Format;
        int First; // index of the first parameter handed over
        int Count;
        std::string Expected;
    } cases[] = {
        {"%d %d", 0, 2, "3 10"},
        {"%d%%", 1, 1, "10%"},
        {"100%% of %d", 0, 1, "100% of 3"},
        {"[%5d][%-5d]", 0, 2, "[    3][10   ]"},
        {"%.3d|%.3d", 1, 2, "010|-005"},
        {"%d", 2, 1, "-5"},
        {"%x %X %.4x", 3, 1, "FF %X %.4x"},
        {"%.4x", 3, 1, "00FF"},
        {"%s|%.2s|%8s", 4, 1, "abcdef|%.2s|%8s"},
        {"[%.2s][%8s]", 4, 1, "[ab][%8s]"},
        {"%c", 5, 1, "A"},
        {"%d and %d", 0, 1, "3 and %d"},
        {"ends with %", 0, 1, "ends with %"},
        {"%u %d", 0, 1, "%u 3"},
        {"%d", 0, 0, "%d"},
    };
    for (const tCase& c : cases) {
        EXPECT_EQ(FormatParams(c.Format, params + c.First, c.Count), c.Expected) << c.Format;
    }
    EXPECT_EQ(FormatParams("%d", nullptr, 3), "%d") << "no record yet";
    EXPECT_EQ(FormatParams("%99999999d", params, 1).size(), 255u) << "width capped";
}

// Catches a parameter text that copies the record instead of reading it at each drawing, or
// that sizes its data record wrongly.
TEST_F(StaticTextTest, ParamTextReadsTheRecordWhenDrawn) {
    tDialog* dialog = AddDialog();
    auto* text = new tParamText(MakeRect(2, 2, 22, 3), "%d %d", 2);
    dialog->InsertView(text);
    EXPECT_EQ(text->DataLength(), 2 * sizeof(tTextParam));
    tTextParam record[2] = {3, 10};
    text->ImportData(record);
    text->Repaint();
    EXPECT_EQ(Cells(2, 2, 6), "3 10  ");
    record[0] = 42;
    text->Repaint();
    EXPECT_EQ(Cells(2, 2, 6), "42 10 ") << "expected the record read again";
}

class StaticTextStreamTest : public ::testing::Test {
  protected:
    void SetUp() override {
        RegisterViewStreamClasses();
        RegisterDialogStreamClasses();
    }
    void TearDown() override { ClearError(); }

    // A record of class NAME: a plain view block, then whatever WRITE puts after it.
    template <class Write> std::vector<std::uint8_t> Record(std::string_view name, Write write) {
        tMemoryStream s;
        s.WriteValue(std::int16_t(-1));
        s.WriteStr(name);
        tView view(MakeRect(1, 1, 21, 3));
        view.Store(s);
        write(s);
        return s.Bytes();
    }
};

// Catches a text longer than a short string cut in a round trip, or parameter counts lost.
TEST_F(StaticTextStreamTest, RoundTrip) {
    std::string longText(700, 'x');
    longText += "конец"_oem;
    tParamText stored(MakeRect(1, 2, 30, 5), longText, 3);
    tMemoryStream out;
    Put(out, &stored);
    tMemoryStream in(out.Bytes());
    tObjectPtr<tSObject> object(Get(in));
    ASSERT_EQ(in.Status, stOk);
    auto* text = dynamic_cast<tParamText*>(object.get());
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->Text, longText);
    EXPECT_EQ(text->ParamCount, 3);
    EXPECT_EQ(text->ParamList, nullptr);
    EXPECT_EQ(text->BoundsRect(), MakeRect(1, 2, 30, 5));
}

// Catches older records (a short string, no block) misread, and a block of an unknown kind not
// skipped whole (the parameter count after it would be read from the wrong place).
TEST_F(StaticTextStreamTest, OldRecordsAndUnknownBlocks) {
    auto old = Record("tParamText", [](tStream& s) {
        s.WriteStr("старый"_oem);
        s.WriteValue(std::int16_t(2));
    });
    tMemoryStream oldIn(old);
    tObjectPtr<tSObject> oldObject(Get(oldIn));
    ASSERT_EQ(oldIn.Status, stOk);
    auto* oldText = dynamic_cast<tParamText*>(oldObject.get());
    ASSERT_NE(oldText, nullptr);
    EXPECT_EQ(oldText->Text, "старый"_oem);
    EXPECT_EQ(oldText->ParamCount, 2);

    auto unknown = Record("tParamText", [](tStream& s) {
        std::int64_t start = 0;
        s.BeginBlock(start);
        s.WriteLongString("skipped");
        s.WriteValue(std::int32_t(77));
        s.EndBlock(start, 9);
        s.WriteValue(std::int16_t(4));
    });
    tMemoryStream unknownIn(unknown);
    tObjectPtr<tSObject> unknownObject(Get(unknownIn));
    ASSERT_EQ(unknownIn.Status, stOk);
    auto* unknownText = dynamic_cast<tParamText*>(unknownObject.get());
    ASSERT_NE(unknownText, nullptr);
    EXPECT_EQ(unknownText->Text, "") << "an unknown block leaves the text empty";
    EXPECT_EQ(unknownText->ParamCount, 4) << "read after the skipped block";
}

// Catches damaged records (cut anywhere, a text length past the end, a negative parameter
// count, a block longer than the stream) read as objects instead of nil and a stream error.
TEST_F(StaticTextStreamTest, DamagedRecordsGiveNil) {
    tParamText stored(MakeRect(1, 2, 30, 5), "текст %d"_oem, 1);
    tMemoryStream out;
    Put(out, &stored);
    std::vector<std::vector<std::uint8_t>> damaged;
    for (std::size_t length = 0; length < out.Bytes().size(); ++length)
        damaged.emplace_back(out.Bytes().begin(), out.Bytes().begin() + std::ptrdiff_t(length));
    damaged.push_back(Record("tParamText", [](tStream& s) {
        std::int64_t start = 0;
        s.BeginBlock(start);
        s.WriteValue(std::int32_t(1000000));
        s.EndBlock(start, 1);
        s.WriteValue(std::int16_t(0));
    }));
    damaged.push_back(Record("tParamText", [](tStream& s) {
        s.WriteStr("x");
        s.WriteValue(std::int16_t(-3));
    }));
    damaged.push_back(Record("tStaticText", [](tStream& s) {
        const std::uint8_t header[] = {kBlockStart, 1, 0xFF, 0x7F, kBlockEnd};
        s.Write(header, sizeof header);
        s.WriteLongString("x");
    }));
    for (std::size_t i = 0; i < damaged.size(); ++i) {
        tMemoryStream in(damaged[i]);
        tSObject* object = Get(in);
        EXPECT_EQ(object, nullptr) << "case " << i;
        EXPECT_NE(in.Status, stOk) << "case " << i;
        FreeObject(object);
        ClearError();
    }
}

} // namespace
} // namespace zarvo
