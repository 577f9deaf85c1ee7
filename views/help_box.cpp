// Help texts read from the program's resources and shown in a message box.
#include "views/help_box.h"

#include "library/collection_strings.h"
#include "library/resource_object.h"
#include "platform/cp866.h"
#include "platform/resources.h"
#include "views/message_box_call.h"

namespace zarvo {

std::string HelpResourceName(std::uint16_t topic) {
    return std::string(kHelpResourcePrefix) + std::to_string(topic);
}

std::string HelpText(std::uint16_t topic) {
    const std::string name = HelpResourceName(topic);
    // Asked first: a missing help is no error to report.
    if (topic == 0 || !FindResource(kFrameworkResourceType, name))
        return {};
    tObjectPtr<tSObject> loaded(LoadResourceObject(name));
    auto* lines = dynamic_cast<tStringCollection*>(loaded.get());
    std::string text;
    if (lines == nullptr)
        return text;
    for (std::int16_t i = 0; i < lines->Count; ++i) {
        if (i > 0)
            text += '\r';
        text += lines->TextAt(i);
    }
    return text;
}

void ShowHelp(std::uint16_t topic) {
    std::string text = HelpText(topic);
    if (text.empty())
        text = "Для этого окна справки нет."_oem;
    MessageBoxCall(text, mbInformation | mbContinue);
}

} // namespace zarvo
