// The message-box call and its desktop fallback.
#include "views/message_box_call.h"

#include <string>

#include "views/commands.h"
#include "views/desktop_message_box.h"

namespace zarvo {

tMessageBoxHook MessageBoxHook = nullptr;

namespace {

tDesktopIcon IconOf(std::uint16_t flags) {
    switch (flags & 0x0F) {
    case mbWarning:
        return tDesktopIcon::Warning;
    case mbError:
    case mbConfirmation:
        return tDesktopIcon::Error;
    case mbInformation:
        return tDesktopIcon::Information;
    default:
        return tDesktopIcon::None;
    }
}

tDesktopButtons ButtonsOf(std::uint16_t flags) {
    switch (flags & 0x0F00) {
    case 0x0300:
        return tDesktopButtons::YesNo;
    case 0x0B00:
        return tDesktopButtons::YesNoCancel;
    case 0x0C00:
        return tDesktopButtons::OkCancel;
    default:
        return tDesktopButtons::Ok;
    }
}

std::uint16_t CommandOf(tDesktopAnswer answer) {
    switch (answer) {
    case tDesktopAnswer::Ok:
        return cmdOk;
    case tDesktopAnswer::Cancel:
        return cmdCancel;
    case tDesktopAnswer::Yes:
        return cmdYes;
    case tDesktopAnswer::No:
        return cmdNo;
    default:
        return 0;
    }
}

} // namespace

std::uint16_t MessageBoxCall(std::string_view text, std::uint16_t flags) {
    if (MessageBoxHook)
        return MessageBoxHook(text, flags, nullptr);
    std::string shown;
    shown.reserve(text.size());
    for (char c : text)
        if (c != 3)
            shown += c;
    return CommandOf(DesktopMessageBox(shown, {}, IconOf(flags), ButtonsOf(flags)));
}

std::uint16_t MessageBoxFmt(std::string_view format, std::initializer_list<tFormatArg> args,
                            std::uint16_t flags) {
    if (!format.empty())
        return MessageBoxCall(FormatText(format, args), flags);
    std::string text;
    for (const tFormatArg& arg : args) {
        if (!std::holds_alternative<std::string_view>(arg.Value()))
            continue;
        if (!text.empty())
            text += "\r\n";
        text += std::get<std::string_view>(arg.Value());
    }
    return MessageBoxCall(text, flags);
}

} // namespace zarvo
