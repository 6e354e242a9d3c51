// A program built for the window subsystem starts with no console; its standard handles exist
// only when the starting program redirected them.
#include "platform/Say.h"

#include <string>

#include <windows.h>

namespace morvantis {

namespace {

bool writeLine(HANDLE handle, QString text) {
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE)
        return false;
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    text += QLatin1String("\r\n");
    DWORD mode = 0;
    DWORD written = 0;
    if (GetConsoleMode(handle, &mode)) {
        // The console takes UTF-16 whatever its code page.
        const std::wstring wide = text.toStdWString();
        return WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr) &&
               written == wide.size();
    }
    const QByteArray bytes = text.toUtf8();
    return WriteFile(handle, bytes.constData(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == static_cast<DWORD>(bytes.size());
}

HANDLE standardHandle(std::FILE* to) {
    std::fflush(to); // whatever the C runtime holds goes first
    return GetStdHandle(to == stderr ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
}

// The console of the program that started this one. Attached only to answer the command line:
// a clock attached to it would end with it, and with its Ctrl+C.
HANDLE parentConsole() {
    static const HANDLE console = [] {
        if (!AttachConsole(ATTACH_PARENT_PROCESS) && GetLastError() != ERROR_ACCESS_DENIED)
            return INVALID_HANDLE_VALUE;
        return CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_EXISTING, 0, nullptr);
    }();
    return console;
}

} // namespace

void say(std::FILE* to, const QString& text) {
    writeLine(standardHandle(to), text);
}

void tell(std::FILE* to, const QString& text) {
    if (writeLine(standardHandle(to), text) || writeLine(parentConsole(), text))
        return;
    const std::wstring wide = text.toStdWString();
    MessageBoxW(nullptr, wide.c_str(), L"Morvantis",
                MB_OK | MB_SETFOREGROUND | (to == stderr ? MB_ICONERROR : MB_ICONINFORMATION));
}

} // namespace morvantis
