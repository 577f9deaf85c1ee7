// The stored form of the typed inputs and choices: every registered class comes back as
// itself with its options, mask or allowed characters, limits and decimals; a loaded input
// binds and converts like the one stored; damaged records give nil and a stream error.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "diagnostics/pending_error.h"
#include "library/dates.h"
#include "library/object_stream.h"
#include "library/object_stream_buffer.h"
#include "platform/cp866.h"
#include "record_inputs/choice_input.h"
#include "record_inputs/count_input.h"
#include "record_inputs/date_time_input.h"
#include "record_inputs/input_stream_classes.h"
#include "record_inputs/string_input.h"
#include "tests/support/stream_bytes.h"

namespace zarvo {
namespace {

using testing::GetFrom;
using testing::PutBytes;

using tBytes = std::vector<std::uint8_t>;

class TypedInputStreamTest : public ::testing::Test {
  protected:
    void SetUp() override { RegisterTypedInputStreamClasses(); }
    void TearDown() override { ClearError(); }
};

const tRect kBounds = MakeRect(1, 1, 14, 2);

// Catches a class loaded as another one, or losing its options, character data, limits or
// decimals on the way.
TEST_F(TypedInputStreamTest, InputsComeBackWhole) {
    std::uint16_t day = EncodeDate(5, 3, 2004);
    std::int32_t time = 3723;
    const std::function<TAbstractInput*()> makers[] = {
        [] { return new TInputWord(kBounds, 5, 10, 20); },
        [] { return new TInputByte(kBounds, 3); },
        [] { return new TInputShortInt(kBounds, 4, -5, 5); },
        [] { return new TInputInteger(kBounds, 6); },
        [] { return new TInputLongInt(kBounds, 11, -100, 100); },
        [] { return new TInputComp(kBounds, 20); },
        [] { return new TInputSingle(kBounds, 10, 1, -2, 2); },
        [] { return new TInputDouble(kBounds, 12, 3, 0, 1000); },
        [] { return new TInputExtended(kBounds, 20, 4); },
        [] { return new TInputReal(kBounds, 12, 2, 1, 9); },
        [] { return new TInputString(kBounds, 10); },
        [] {
            auto* input = new TInputASCIIZ(kBounds, 12);
            input->SetInputOptions(ioUpperCase | ioPassword | ioRequired);
            input->SetMask("LL-####");
            return input;
        },
        [&] { return new tInputTime(&time, "", kBounds); },
        [&] { return new TInputDate(&day, "##/##/####", kBounds); },
    };
    for (const auto& make : makers) {
        tObjectPtr<TAbstractInput> stored(make());
        SCOPED_TRACE(typeid(*stored).name());
        stored->SetLineText(stored->LineText()); // the text stored is the one shown
        tObjectPtr<tSObject> object = GetFrom(PutBytes(stored.get()));
        ASSERT_NE(object, nullptr);
        ASSERT_EQ(typeid(*object), typeid(*stored));
        auto* loaded = static_cast<TAbstractInput*>(object.get());
        EXPECT_EQ(loaded->MaxLength, stored->MaxLength);
        EXPECT_EQ(loaded->InputOptions, stored->InputOptions);
        EXPECT_EQ(loaded->Mask, stored->Mask);
        if (!stored->HasMask()) {
            EXPECT_EQ(loaded->Allowed, stored->Allowed) << "a mask stands in for the set";
        }
        EXPECT_EQ(loaded->LineText(), stored->LineText());
        EXPECT_EQ(loaded->HintText(), stored->HintText());
        EXPECT_EQ(loaded->Bound, nullptr) << "a loaded input is bound by ImportData";
        if (auto* count = dynamic_cast<TInputCountType*>(stored.get())) {
            auto* loadedCount = static_cast<TInputCountType*>(loaded);
            EXPECT_EQ(loadedCount->Minimum, count->Minimum);
            EXPECT_EQ(loadedCount->Maximum, count->Maximum);
        }
        if (auto* real = dynamic_cast<tInputRealTypes*>(stored.get())) {
            EXPECT_EQ(static_cast<tInputRealTypes*>(loaded)->Decimals, real->Decimals);
        }
    }
}

// Catches a loaded date or real that converts differently from the one stored.
TEST_F(TypedInputStreamTest, LoadedInputsConvertAlike) {
    std::uint16_t day = EncodeDate(30, 12, 2050);
    tObjectPtr<TInputDate> date(new TInputDate(&day, "##/##/####", kBounds));
    tObjectPtr<tSObject> object = GetFrom(PutBytes(date.get()));
    auto* loadedDate = dynamic_cast<TInputDate*>(object.get());
    ASSERT_NE(loadedDate, nullptr);
    std::uint16_t other = 0;
    loadedDate->ImportData(&day);
    EXPECT_EQ(loadedDate->LineText(), "30/12/2050");
    ASSERT_TRUE(loadedDate->TextToValue(&other));
    EXPECT_EQ(other, day);

    double value = 1.25;
    tObjectPtr<TInputDouble> real(new TInputDouble(kBounds, 12, 2, 0, 10));
    tObjectPtr<tSObject> realObject = GetFrom(PutBytes(real.get()));
    auto* loadedReal = dynamic_cast<TInputDouble*>(realObject.get());
    ASSERT_NE(loadedReal, nullptr);
    loadedReal->ImportData(&value);
    EXPECT_EQ(loadedReal->LineText(), "1.25") << "expected the decimals kept";
    loadedReal->SetLineText("11");
    EXPECT_FALSE(loadedReal->TextToValue(&value)) << "expected the limits kept";
}

// Catches a choice loaded as a plain cluster or with its items or value lost.
TEST_F(TypedInputStreamTest, ChoicesComeBackWhole) {
    std::uint8_t flag = 1;
    std::uint16_t bits = 5;
    const std::function<tCluster*()> makers[] = {
        [&] { return new TInputBoolean(&flag, nullptr, MakeRect(0, 0, 10, 2)); },
        [&] {
            return new TInputCheckBox(&bits, NewSItem("~A~", NewSItem("~B~", nullptr)),
                                      MakeRect(0, 0, 10, 2));
        },
        [&] {
            return new TInputRadioButton(&bits, NewSItem("~A~", NewSItem("~B~", nullptr)),
                                         MakeRect(0, 0, 10, 2));
        },
    };
    for (const auto& make : makers) {
        tObjectPtr<tCluster> stored(make());
        tObjectPtr<tSObject> object = GetFrom(PutBytes(stored.get()));
        ASSERT_NE(object, nullptr);
        ASSERT_EQ(typeid(*object), typeid(*stored));
        auto* loaded = static_cast<tCluster*>(object.get());
        EXPECT_EQ(loaded->ClusterValue, stored->ClusterValue);
        ASSERT_EQ(loaded->ItemCount(), stored->ItemCount());
        EXPECT_EQ(loaded->ItemText(1), stored->ItemText(1));
    }
}

// Catches a cut record, an empty mask or a mask the line cannot hold loading as an input.
TEST_F(TypedInputStreamTest, DamagedInputsGiveNil) {
    std::uint16_t day = 0;
    tObjectPtr<TInputDate> date(new TInputDate(&day, "##/##/##", kBounds));
    tObjectPtr<TInputASCIIZ> text(new TInputASCIIZ(kBounds, 5));
    tObjectPtr<TInputDouble> real(new TInputDouble(kBounds, 12, 2, 0, 10));
    std::vector<tBytes> damaged;
    for (tSObject* object : {static_cast<tSObject*>(date.get()), static_cast<tSObject*>(text.get()),
                             static_cast<tSObject*>(real.get())}) {
        tBytes good = PutBytes(object);
        ASSERT_NE(GetFrom(good), nullptr);
        for (std::size_t length = 1; length < good.size(); ++length)
            damaged.emplace_back(good.begin(), good.begin() + std::ptrdiff_t(length));
    }
    tBytes dateBytes = PutBytes(date.get());
    const std::string mask = "##/##/##";
    auto at = std::search(dateBytes.begin(), dateBytes.end(), mask.begin(), mask.end());
    ASSERT_NE(at, dateBytes.end());
    std::size_t maskLength = std::size_t(at - dateBytes.begin()) - 1;
    ASSERT_EQ(dateBytes[maskLength], 8) << "the mask's length byte";
    for (std::uint8_t length : {std::uint8_t(0), std::uint8_t(9)}) {
        tBytes bytes = dateBytes;
        bytes[maskLength] = length;
        damaged.push_back(bytes);
    }
    // The options of a string input stand before its 32-byte set; with ioMask set the set's
    // first byte (no characters below 8 allowed) reads as an empty mask.
    tBytes textBytes = PutBytes(text.get());
    textBytes[textBytes.size() - 34] |= std::uint8_t(ioMask);
    damaged.push_back(textBytes);
    for (std::size_t i = 0; i < damaged.size(); ++i) {
        std::int16_t status = stOk;
        EXPECT_EQ(GetFrom(damaged[i], &status), nullptr) << "case " << i;
        EXPECT_NE(status, stOk) << "case " << i << ": expected a stream error";
        ClearError();
    }
}

} // namespace
} // namespace zarvo
