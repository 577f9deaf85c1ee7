// The short help the program carries for its dialogs: found for each dialog that offers
// "Помощь" or F1, naming what the dialog holds, and none (without an error) for other topics.
#include <gtest/gtest.h>

#include "diagnostics/pending_error.h"
#include "library/stream_class.h"
#include "platform/cp866.h"
#include "resources/program_resources.h"
#include "views/help_box.h"

namespace zarvo {
namespace {

// Catches a dialog's help missing from the resources, one that does not speak of the
// dialog's own fields and keys, or a topic without help that reports an error.
TEST(HelpTexts, EachDialogHasItsOwn) {
    RegisterLibraryStreamClasses();
    RegisterProgramResources();
    ClearError();
    const struct {
        std::uint16_t Topic;
        std::vector<std::string> Names; // UTF-8
    } cases[] = {
        {kParametersDialogHelp,
         {"Каталог на сервере", "Размер файла", "Время работы", "Период", "Tab", "Esc"}},
        {kDirectoryDialogHelp, {"Выбрать", "Создать", "Обновить", "Backspace", "Esc"}},
        {0, {}},
        {12345, {}},
    };
    for (const auto& c : cases) {
        std::string text = Cp866ToUtf8(HelpText(c.Topic));
        EXPECT_EQ(text.empty(), c.Names.empty()) << c.Topic << ": " << text;
        for (const std::string& name : c.Names)
            EXPECT_NE(text.find(name), std::string::npos) << c.Topic << " lacks " << name;
        EXPECT_FALSE(IsErrorPending()) << c.Topic;
    }
}

} // namespace
} // namespace zarvo
