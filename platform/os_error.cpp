// Russian texts for the error numbers a file server test meets most.
#include "platform/os_error.h"

#include "platform/cp866.h"

#include <cerrno>
#include <cstring>
#include <string_view>

namespace zarvo {

namespace {

struct tErrorText {
    int Code;
    std::string_view Text;
};

constexpr tErrorText kErrorTexts[] = {
    {0, "Нет ошибки"_oem},
    {EPERM, "Операция не разрешена"_oem},
    {ENOENT, "Файл или каталог не найден"_oem},
    {EIO, "Ошибка ввода-вывода"_oem},
    {ENXIO, "Устройство или адрес не существует"_oem},
    {EBADF, "Неверный дескриптор файла"_oem},
    {EAGAIN, "Ресурс временно недоступен"_oem},
    {ENOMEM, "Недостаточно памяти"_oem},
    {EACCES, "Отказано в доступе"_oem},
    {EBUSY, "Устройство или ресурс занят"_oem},
    {EEXIST, "Файл уже существует"_oem},
    {EXDEV, "Недопустимая ссылка между устройствами"_oem},
    {ENOTDIR, "Не является каталогом"_oem},
    {EISDIR, "Является каталогом"_oem},
    {EINVAL, "Недопустимый аргумент"_oem},
    {ENFILE, "Слишком много открытых файлов в системе"_oem},
    {EMFILE, "Слишком много открытых файлов"_oem},
    {EFBIG, "Файл слишком велик"_oem},
    {ENOSPC, "На устройстве не осталось свободного места"_oem},
    {ESPIPE, "Недопустимое позиционирование"_oem},
    {EROFS, "Файловая система доступна только для чтения"_oem},
    {ENAMETOOLONG, "Слишком длинное имя файла"_oem},
    {ELOOP, "Символическая ссылка там, где нужен настоящий файл или каталог"_oem},
    {ENOLCK, "Блокировки недоступны"_oem},
    {ENOTEMPTY, "Каталог не пуст"_oem},
    {ESTALE, "Устаревший дескриптор файла"_oem},
    {EDQUOT, "Превышена дисковая квота"_oem},
    {ETIMEDOUT, "Время ожидания истекло"_oem},
    {ENOTCONN, "Нет соединения"_oem},
    {EHOSTDOWN, "Узел недоступен"_oem},
    {ECONNRESET, "Соединение сброшено"_oem},
    {ECONNABORTED, "Соединение прервано"_oem},
    {ECONNREFUSED, "В соединении отказано"_oem},
    {ENETUNREACH, "Сеть недоступна"_oem},
    {EHOSTUNREACH, "Нет маршрута до узла"_oem},
    {EOPNOTSUPP, "Операция не поддерживается"_oem},
    {kErrorSharingViolation, "Файл занят другим процессом"_oem},
    {kErrorLockViolation, "Часть файла заблокирована другим процессом"_oem},
};

thread_local int tLastOsError = 0;

std::string TrimMessageTail(std::string text) {
    while (!text.empty() &&
           (text.back() == ' ' || text.back() == '\r' || text.back() == '\n' || text.back() == '.'))
        text.pop_back();
    return text;
}

} // namespace

int LastOsError() {
    return tLastOsError;
}
void SetLastOsError(int code) {
    tLastOsError = code;
}

std::string OsErrorText(int code) {
    for (const auto& entry : kErrorTexts)
        if (entry.Code == code)
            return std::string(entry.Text);
    char buffer[256];
    const char* text = strerror_r(code, buffer, sizeof buffer);
    return TrimMessageTail(Utf8ToCp866(text));
}

} // namespace zarvo
