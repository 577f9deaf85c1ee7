// Run-time errors as exceptions.
#include "library/run_error.h"

#include "platform/cp866.h"
#include "platform/format_text.h"

namespace zarvo {

ESRunError::ESRunError(int number)
    : Number(number), m_Text(FormatText("Ошибка выполнения %d"_oem, {number})) {}

void RaiseRunError(int number) {
    throw ESRunError(number);
}

} // namespace zarvo
