// The pending-error slot, its hooks, the error texts and the console report.
#include "diagnostics/pending_error.h"

#include <gtest/gtest.h>

#include "platform/cp866.h"

using namespace zarvo;

namespace {

std::vector<std::string> gPosted;
std::vector<std::string> gReported;

void RecordPost(ESException& error) {
    gPosted.push_back(error.Message());
    // An error posted from inside the hook must not reach the hook again.
    if (gPosted.size() == 1 && error.Code == 99)
        PostAppError(98, "inner");
}
void RecordReport(ESException& error) {
    gReported.push_back(error.Message());
}

class PendingErrorSlot : public ::testing::Test {
  protected:
    void SetUp() override {
        ClearError();
        gPosted.clear();
        gReported.clear();
        m_Post = gErrorPostHook;
        m_Report = gErrorReportHook;
        gErrorPostHook = RecordPost;
        gErrorReportHook = RecordReport;
    }
    void TearDown() override {
        ClearError();
        gErrorPostHook = m_Post;
        gErrorReportHook = m_Report;
    }
    tErrorHook m_Post = nullptr;
    tErrorHook m_Report = nullptr;
};

} // namespace

struct tAppErrorCase {
    std::int32_t Code;
    std::string Text;
    std::string Expected;
};

// Catches a wrong default text, a missing or misplaced code suffix.
TEST_F(PendingErrorSlot, AppErrorTexts) {
    const tAppErrorCase cases[] = {
        {0, "", std::string("Ошибка приложения: "_oem)},
        {12, "", std::string("Ошибка приложения: (Код : 12)."_oem)},
        {7, "abc", std::string("abc(Код : 7)."_oem)},
        {0, "abc", "abc"},
    };
    for (const auto& c : cases) {
        PostAppError(c.Code, c.Text);
        ASSERT_TRUE(IsErrorPending());
        EXPECT_EQ(PendingError()->Message(), c.Expected);
        EXPECT_EQ(PendingError()->Code, c.Code);
        EXPECT_STREQ(PendingError()->ClassName(), "ESAppException");
        ClearError();
    }
}

// Catches OS error texts without their separator or with text for code 0.
TEST_F(PendingErrorSlot, OsErrorTexts) {
    PostOSError("", 0);
    EXPECT_EQ(PendingError()->Message(), "");
    EXPECT_EQ(PendingError()->Code, 0);
    PostOSError("Файл"_oem, 2);
    EXPECT_EQ(PendingError()->Message(),
              std::string("Файл\rОшибка ОС: Файл или каталог не найден"_oem));
    EXPECT_TRUE(PendingError()->Nested) << "posted while another was pending";
}

// Catches a lost newer error, a leaked older one, or a hook called twice.
TEST_F(PendingErrorSlot, SlotOperations) {
    EXPECT_FALSE(IsErrorPending());
    ReportError();
    EXPECT_TRUE(gReported.empty()) << "nothing pending: no hook call";

    PostAppError(1, "first");
    EXPECT_FALSE(PendingError()->Nested);
    PostAppError(2, "second");
    EXPECT_TRUE(PendingError()->Nested);
    EXPECT_EQ(PendingError()->Code, 2) << "the newest error replaces the older";

    std::unique_ptr<ESException> taken = TakeError();
    EXPECT_FALSE(IsErrorPending());
    ASSERT_TRUE(taken);
    EXPECT_EQ(taken->Code, 2);

    std::unique_ptr<ESException> replacement = std::make_unique<ESAppException>(5, "five");
    ReplaceError(replacement);
    EXPECT_FALSE(replacement);
    EXPECT_EQ(PendingError()->Code, 5);

    ReportError();
    EXPECT_FALSE(IsErrorPending());
    ASSERT_EQ(gReported.size(), 1u);
    EXPECT_EQ(gReported[0], "five");
    ASSERT_EQ(gPosted.size(), 2u) << "each post reaches the hook once; take and report do not";
    EXPECT_EQ(gPosted[0].rfind("first", 0), 0u);
    EXPECT_EQ(gPosted[1].rfind("second", 0), 0u);
}

// Catches a post hook that recurses on errors it posts itself.
TEST_F(PendingErrorSlot, HookIsOffWhileItRuns) {
    PostAppError(99, "outer");
    ASSERT_EQ(gPosted.size(), 1u) << "the inner error is not logged again";
    EXPECT_EQ(PendingError()->Code, 99) << "the outer error ends up in the slot";
    EXPECT_EQ(gErrorPostHook, RecordPost) << "the hook is installed again";
}

struct tReportCase {
    std::string Message;
    std::string Expected;
};

// Catches centring marks shown in a report, or line ends left bare.
TEST(ConsoleReportText, NormalisesLineEndsAndDropsCentringMarks) {
    const tReportCase cases[] = {
        {"a\rb", "a\r\nb"},
        {"a\nb", "a\r\nb"},
        {"a\r\nb", "a\r\nb"},
        {"\x03title\r\x03line", "title\r\nline"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ConsoleReportText(c.Message), c.Expected) << c.Message;
}
