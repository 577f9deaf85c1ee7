// The text-mode message box: sizing from the wrapped text, the button row and the modal run.
#include "views/text_message_box.h"

#include <algorithm>
#include <array>
#include <memory>
#include <string>

#include "diagnostics/pending_error.h"
#include "library/text_wrap.h"
#include "library/validity.h"
#include "platform/cp866.h"
#include "views/button.h"
#include "views/commands.h"
#include "views/dialog.h"
#include "views/message_box_call.h"
#include "views/static_text.h"
#include "views/view_flags.h"

namespace zarvo {

tGroup* gMessageBoxRunner = nullptr;
tView* gMessageBoxDesktop = nullptr;

namespace {

constexpr int kWrapWidth = 60;
constexpr int kButtonWidth = 14;
constexpr int kButtonGap = 2;

struct tBoxButton {
    std::uint16_t Bit;
    std::string_view Label;
    std::uint16_t Command;
    std::uint16_t HelpTopic;
};

const std::array<tBoxButton, 4>& BoxButtons() {
    static const std::array<tBoxButton, 4> buttons = {{
        {mbYes, "~Д~а"_oem, cmdYes, 969},
        {mbNo, "~Н~ет"_oem, cmdNo, 907},
        {mbContinue, "Продолжить"_oem, cmdOk, 905},
        {mbRefuse, "Отказ"_oem, cmdCancel, 906},
    }};
    return buttons;
}

// Kinds past the table have no title rather than one read from beyond it.
std::string_view TitleOf(int kind) {
    static constexpr std::string_view titles[] = {"Внимание"_oem, "Ошибка"_oem, "Информация"_oem,
                                                  "Подтверждение"_oem};
    if (kind < 1 || kind > 4)
        return {};
    return titles[kind - 1];
}

int ButtonCount(std::uint16_t flags) {
    int n = 0;
    for (const tBoxButton& b : BoxButtons())
        n += (flags & b.Bit) != 0 ? 1 : 0;
    return n;
}

// The text leads the pending error's message, so the report shows both.
void JoinPendingError(std::string_view text) {
    std::unique_ptr<ESException> error = TakeError();
    std::string message(text);
    message += "\r\x03--- * ---\r\r";
    message += error->Message();
    std::unique_ptr<ESException> joined;
    if (auto* stream = dynamic_cast<ESStreamException*>(error.get()))
        joined = std::make_unique<ESStreamException>(stream->Code, stream->Detail, message);
    else if (dynamic_cast<ESAppException*>(error.get()) != nullptr)
        joined = std::make_unique<ESAppException>(error->Code, message);
    else
        joined = std::make_unique<ESException>(error->Code, message);
    joined->Nested = error->Nested;
    PostError(std::move(joined));
}

// The box of a question also takes the Latin y and n for "Да" and "Нет", as an operator used
// to other programs types them, whatever the keyboard's layout.
class tAnswerBox : public tDialog {
  public:
    tAnswerBox(const tRect& bounds, std::string_view title, std::uint16_t flags)
        : tDialog(bounds, title), m_Flags(flags) {}

    void HandleEvent(TEventRec& event) override {
        if (event.what == evtKeyDown && (event.key.shiftState & (shiftAlt | shiftCtrl)) == 0) {
            char typed = char(event.key.keyCode & 0xFF);
            std::uint16_t answer = 0;
            if ((typed == 'y' || typed == 'Y') && (m_Flags & mbYes))
                answer = cmdYes;
            else if ((typed == 'n' || typed == 'N') && (m_Flags & mbNo))
                answer = cmdNo;
            if (answer != 0) {
                ConsumeEvent(event);
                FinishModal(answer);
                return;
            }
        }
        tDialog::HandleEvent(event);
    }

  private:
    std::uint16_t m_Flags;
};

void InsertButtons(tDialog& dialog, std::uint16_t flags) {
    int n = ButtonCount(flags);
    int total = n * kButtonWidth + kButtonGap * std::max(n - 1, 0);
    int x = (dialog.Width - total) / 2;
    for (const tBoxButton& b : BoxButtons()) {
        if ((flags & b.Bit) == 0)
            continue;
        auto* button = new tButton(MakeRect(0, 0, kButtonWidth, 2), b.Label, b.Command, 0);
        button->HelpTopic = b.HelpTopic;
        dialog.tInsert(button);
        button->MoveOrigin(x, dialog.Height - 3);
        x += button->Width + kButtonGap;
    }
}

} // namespace

std::uint16_t TextModeMessageBox(std::string_view text, std::uint16_t flags, void* /*reserved*/) {
    int kind = flags & 0x0F;
    if (kind == 0)
        kind = mbWarning;
    int w = 0;
    int h = 0;
    MeasureText(text, kWrapWidth, w, h);
    w = std::max(w, 15 * ButtonCount(flags)) + 6;
    h += 6;
    tGroup* runner = gMessageBoxRunner;
    if (runner == nullptr)
        runner = dynamic_cast<tGroup*>(ScreenRoot);
    tView* desktop = gMessageBoxDesktop != nullptr ? gMessageBoxDesktop : ScreenRoot;
    int left = desktop != nullptr ? (desktop->Width - w) / 2 : 0;
    int top = desktop != nullptr ? (desktop->Height - h) / 2 : 0;

    auto* dialog = new tAnswerBox(MakeRect(left, top, left + w, top + h), TitleOf(kind), flags);
    if (runner == nullptr || !ValidateRef(dialog)) {
        if (dialog != nullptr)
            FreeObject(dialog);
        if (kind == mbError && IsErrorPending())
            JoinPendingError(text);
        return cmdCancel;
    }
    auto* body = new tStaticText(MakeRect(3, 2, w - 3, h - 3), text);
    body->OptionFlags |= ViewOption::CenterX;
    dialog->tInsert(body);
    InsertButtons(*dialog, flags);
    dialog->SelectNeighbour(false);
    std::uint16_t result = runner->RunView(dialog);
    FreeObject(dialog);
    return result;
}

} // namespace zarvo
