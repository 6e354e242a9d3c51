// The end-to-end tests' hand on Windows (under Wine): starts the clock as Windows starts a
// window program, and sends its windows what Windows sends them.
//   winprobe console PROGRAM [ARG...]  starts it with no standard handles from a console of its
//                                      own; prints what the console shows, then "status N"
//   winprobe box PROGRAM [ARG...]      starts it with no standard handles and no console; prints
//                                      the text of the message box it shows, answers OK, then
//                                      "status N" (or "no box" first)
//   winprobe resources PROGRAM         prints its icons' count, version strings and manifest
//   winprobe session query|end|cancel TITLE
//                                      WM_QUERYENDSESSION (prints the answers), WM_ENDSESSION TRUE
//                                      or FALSE, to every top-level window of TITLE's process
//   winprobe ping TITLE COUNT          Windows' hung-window test, COUNT times 0.8 s apart:
//                                      WM_NULL with SendMessageTimeout, 1 s each; prints the
//                                      slowest answer in ms, or "none" at the first unanswered
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

HANDLE g_out = INVALID_HANDLE_VALUE;

void print(const std::wstring& line) {
    const std::wstring text = line + L"\n";
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(), size, nullptr,
                        nullptr);
    DWORD written = 0;
    WriteFile(g_out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

int fail(const std::wstring& why) {
    print(L"winprobe: " + why + L" (error " + std::to_wstring(GetLastError()) + L")");
    return 3;
}

std::wstring quoted(const wchar_t* arg) {
    std::wstring out = L"\"";
    for (const wchar_t* c = arg; *c; ++c) {
        if (*c == L'"')
            out += L'\\';
        out += *c;
    }
    return out + L"\"";
}

// The program and its arguments, started with no standard handles, as from Explorer.
bool start(int argc, wchar_t** argv, int from, PROCESS_INFORMATION& process) {
    std::wstring command;
    for (int i = from; i < argc; ++i)
        command += (i > from ? L" " : L"") + quoted(argv[i]);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES; // all three null
    return CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process);
}

DWORD finish(const PROCESS_INFORMATION& process) {
    DWORD status = 259;
    if (WaitForSingleObject(process.hProcess, 30000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return status;
}

int console(int argc, wchar_t** argv) {
    FreeConsole();
    if (!AllocConsole())
        return fail(L"no console");
    PROCESS_INFORMATION process{};
    if (!start(argc, argv, 2, process))
        return fail(L"cannot start the program");
    const DWORD status = finish(process);
    HANDLE screen = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (screen == INVALID_HANDLE_VALUE || !GetConsoleScreenBufferInfo(screen, &info))
        return fail(L"cannot read the console");
    // A row filled to its end goes on in the next: the console wrapped a long line there.
    std::vector<wchar_t> row(static_cast<std::size_t>(info.dwSize.X));
    std::wstring line;
    for (SHORT y = 0; y <= info.dwCursorPosition.Y; ++y) {
        DWORD read = 0;
        ReadConsoleOutputCharacterW(screen, row.data(), static_cast<DWORD>(row.size()), COORD{0, y}, &read);
        line.append(row.data(), read);
        if (read == row.size() && row.back() != L' ' && y < info.dwCursorPosition.Y)
            continue;
        line.erase(line.find_last_not_of(L' ') + 1);
        if (!line.empty() || y < info.dwCursorPosition.Y)
            print(line);
        line.clear();
    }
    print(L"status " + std::to_wstring(status));
    return 0;
}

struct Search {
    DWORD process;
    HWND found;
};

BOOL CALLBACK findBox(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t kind[16] = {};
    GetClassNameW(window, kind, 16);
    if (owner == search->process && IsWindowVisible(window) && std::wcscmp(kind, L"#32770") == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK collectText(HWND child, LPARAM param) {
    wchar_t kind[16] = {};
    GetClassNameW(child, kind, 16);
    if (_wcsicmp(kind, L"Static") == 0) {
        wchar_t text[4096] = {};
        if (GetWindowTextW(child, text, 4096) > 0)
            *reinterpret_cast<std::wstring*>(param) += text;
    }
    return TRUE;
}

int box(int argc, wchar_t** argv) {
    FreeConsole(); // nothing to attach to
    PROCESS_INFORMATION process{};
    if (!start(argc, argv, 2, process))
        return fail(L"cannot start the program");
    Search search{process.dwProcessId, nullptr};
    for (int i = 0; i < 200 && !search.found; ++i) {
        if (WaitForSingleObject(process.hProcess, 100) == WAIT_OBJECT_0)
            break;
        EnumWindows(findBox, reinterpret_cast<LPARAM>(&search));
    }
    if (search.found) {
        wchar_t title[256] = {};
        GetWindowTextW(search.found, title, 256);
        std::wstring text;
        EnumChildWindows(search.found, collectText, reinterpret_cast<LPARAM>(&text));
        print(std::wstring(L"title ") + title);
        print(text);
        PostMessageW(search.found, WM_COMMAND, IDOK, 0);
    } else {
        print(L"no box");
    }
    print(L"status " + std::to_wstring(finish(process)));
    return 0;
}

struct Windows {
    DWORD process;
    std::vector<HWND> all;
};

BOOL CALLBACK collectWindows(HWND window, LPARAM param) {
    auto* windows = reinterpret_cast<Windows*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == windows->process)
        windows->all.push_back(window);
    return TRUE;
}

int session(int argc, wchar_t** argv) {
    if (argc != 4)
        return fail(L"session query|end|cancel TITLE");
    const std::wstring what = argv[2];
    HWND main = FindWindowW(nullptr, argv[3]);
    if (!main)
        return fail(L"no window");
    Windows windows{0, {}};
    GetWindowThreadProcessId(main, &windows.process);
    EnumWindows(collectWindows, reinterpret_cast<LPARAM>(&windows));
    // As Windows does: the question to each window, then the answer to each.
    for (HWND window : windows.all) {
        DWORD_PTR answer = 0;
        if (what == L"query") {
            if (!SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000,
                                     &answer))
                return fail(L"no answer");
            print(answer ? L"yes" : L"no");
        } else {
            SendMessageTimeoutW(window, WM_ENDSESSION, what == L"end" ? TRUE : FALSE, ENDSESSION_LOGOFF,
                                SMTO_ABORTIFHUNG, 5000, &answer);
        }
    }
    return 0;
}

// Whether the window of that title stays above other programs' windows, as Windows reads it.
int topmost(const wchar_t* title) {
    HWND window = FindWindowW(nullptr, title);
    if (!window) {
        print(L"none");
        return 1;
    }
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_EXSTYLE);
    print(std::wstring(L"topmost ") + ((style & WS_EX_TOPMOST) ? L"1" : L"0") +
          (IsWindowVisible(window) ? L" shown" : L" hidden"));
    return 0;
}

int ping(const wchar_t* title, int count) {
    HWND window = FindWindowW(nullptr, title);
    if (!window)
        return fail(L"no window");
    ULONGLONG slowest = 0;
    for (int i = 0; i < count; ++i) {
        const ULONGLONG asked = GetTickCount64();
        DWORD_PTR answer = 0;
        // SMTO_ABORTIFHUNG: as Windows asks a window it may call "Not Responding".
        if (!SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &answer)) {
            print(L"none");
            return 1;
        }
        slowest = std::max(slowest, GetTickCount64() - asked);
        Sleep(800);
    }
    print(std::to_wstring(slowest));
    return 0;
}

int resources(const wchar_t* program) {
    print(L"icons " + std::to_wstring(ExtractIconExW(program, -1, nullptr, nullptr, 0)));
    DWORD ignored = 0;
    std::vector<BYTE> version(GetFileVersionInfoSizeW(program, &ignored));
    if (!version.empty() &&
        GetFileVersionInfoW(program, 0, static_cast<DWORD>(version.size()), version.data())) {
        for (const wchar_t* name : {L"ProductName", L"ProductVersion", L"FileDescription", L"CompanyName"}) {
            wchar_t* text = nullptr;
            UINT length = 0;
            const std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
            if (VerQueryValueW(version.data(), path.c_str(), reinterpret_cast<void**>(&text), &length))
                print(std::wstring(name) + L" " + text);
        }
    }
    HMODULE image =
        LoadLibraryExW(program, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    HRSRC found = image ? FindResourceW(image, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24)) : nullptr;
    if (!found)
        return fail(L"no manifest");
    const char* text = static_cast<const char*>(LockResource(LoadResource(image, found)));
    const std::string manifest(text, SizeofResource(image, found));
    std::wstring wide(manifest.size(), L'\0');
    wide.resize(static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, manifest.data(),
                                                             static_cast<int>(manifest.size()), wide.data(),
                                                             static_cast<int>(wide.size()))));
    print(wide);
    return 0;
}

} // namespace

int main() {
    g_out = GetStdHandle(STD_OUTPUT_HANDLE);
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argc >= 3 && std::wcscmp(argv[1], L"console") == 0)
        return console(argc, argv);
    if (argc >= 3 && std::wcscmp(argv[1], L"box") == 0)
        return box(argc, argv);
    if (argc == 3 && std::wcscmp(argv[1], L"resources") == 0)
        return resources(argv[2]);
    if (argc >= 2 && std::wcscmp(argv[1], L"session") == 0)
        return session(argc, argv);
    if (argc == 3 && std::wcscmp(argv[1], L"topmost") == 0)
        return topmost(argv[2]);
    if (argc == 4 && std::wcscmp(argv[1], L"ping") == 0)
        return ping(argv[2], std::max(1, _wtoi(argv[3])));
    return fail(L"usage: winprobe console|box PROGRAM [ARG...] | resources PROGRAM | session "
                L"query|end|cancel TITLE | "
                L"ping TITLE COUNT | topmost TITLE");
}
