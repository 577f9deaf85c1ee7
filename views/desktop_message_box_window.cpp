// The desktop message box in its window form, for when the window host is in use.
#include "views/desktop_message_box.h"

#include <array>
#include <string_view>

#include "console/x11/x11_message_box.h"
#include "platform/cp866.h"

namespace zarvo {

namespace {

tX11BoxIcon WindowIcon(tDesktopIcon icon) {
    switch (icon) {
    case tDesktopIcon::Warning:
        return tX11BoxIcon::Warning;
    case tDesktopIcon::Error:
        return tX11BoxIcon::Error;
    case tDesktopIcon::Information:
        return tX11BoxIcon::Information;
    default:
        return tX11BoxIcon::Plain;
    }
}

tDesktopAnswer WindowMessageBox(std::string_view text, std::string_view caption, tDesktopIcon icon,
                                tDesktopButtons buttons) {
    static constexpr std::array<std::string_view, 1> kOk = {"OK"};
    static constexpr std::array<std::string_view, 2> kYesNo = {"Да"_oem, "Нет"_oem};
    static constexpr std::array<std::string_view, 3> kYesNoCancel = {"Да"_oem, "Нет"_oem,
                                                                     "Отмена"_oem};
    static constexpr std::array<std::string_view, 2> kOkCancel = {"OK", "Отмена"_oem};
    int chosen = -1;
    switch (buttons) {
    case tDesktopButtons::Ok:
        chosen = X11MessageBox(text, caption, WindowIcon(icon), kOk, 0);
        if (chosen >= 0)
            return tDesktopAnswer::Ok;
        break;
    case tDesktopButtons::YesNo:
        chosen = X11MessageBox(text, caption, WindowIcon(icon), kYesNo, 1);
        if (chosen >= 0)
            return chosen == 0 ? tDesktopAnswer::Yes : tDesktopAnswer::No;
        break;
    case tDesktopButtons::YesNoCancel:
        chosen = X11MessageBox(text, caption, WindowIcon(icon), kYesNoCancel, 2);
        if (chosen >= 0)
            return chosen == 0   ? tDesktopAnswer::Yes
                   : chosen == 1 ? tDesktopAnswer::No
                                 : tDesktopAnswer::Cancel;
        break;
    case tDesktopButtons::OkCancel:
        chosen = X11MessageBox(text, caption, WindowIcon(icon), kOkCancel, 1);
        if (chosen >= 0)
            return chosen == 0 ? tDesktopAnswer::Ok : tDesktopAnswer::Cancel;
        break;
    }
    // No display after all: the terminal form.
    gDesktopMessageBoxForm = nullptr;
    tDesktopAnswer answer = DesktopMessageBox(text, caption, icon, buttons);
    gDesktopMessageBoxForm = WindowMessageBox;
    return answer;
}

} // namespace

void UseWindowMessageBox() {
    gDesktopMessageBoxForm = WindowMessageBox;
}

} // namespace zarvo
