// A stand-in for the HTML Help engine, loaded by the help loader's tests.
// It writes one line per event to the file named by ARRAYFORGE_FAKE_ENGINE_LOG:
//   attach <path of this library>     loaded
//   refused <path of this library>    load refused (ARRAYFORGE_FAKE_ENGINE_REFUSE=1)
//   detach                            unloaded
//   call <caller> <file> <command> <data>   HtmlHelpA called (numbers in hex,
//                                           <file> "-" for none)
// and answers every call with kFakeResultBase + command.

#include <windows.h>

#include <cstdio>
#include <string>

#include "tests/win/help/FakeEngine.h"

namespace {

HMODULE g_self = nullptr;
bool g_refused = false;

std::string Variable(const char* name) {
    char value[MAX_PATH] = {};
    const DWORD length = ::GetEnvironmentVariableA(name, value, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::string(value, length) : std::string();
}

void Log(const std::string& line) {
    const std::string logPath = Variable(kFakeEngineLogVariable);
    if (logPath.empty()) return;
    HANDLE file = ::CreateFileA(logPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    const std::string text = line + "\n";
    DWORD written = 0;
    ::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    ::CloseHandle(file);
}

std::string OwnPath() {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(g_self, path, MAX_PATH);
    return path;
}

std::string Hex(UINT_PTR value) {
    char text[16];
    std::snprintf(text, sizeof text, "%lx", static_cast<unsigned long>(value));
    return text;
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_self = instance;
        if (Variable(kFakeEngineRefuseVariable) == "1") {
            Log(std::string("refused ").append(OwnPath()));
            g_refused = true;
            return FALSE;
        }
        Log(std::string("attach ").append(OwnPath()));
    } else if (reason == DLL_PROCESS_DETACH && !g_refused) {
        // (A library that refused to load is detached at once.)
        Log("detach");
    }
    return TRUE;
}

// Exported as number 14 without a name by FakeEngine.def, and by name only
// (number 13) by FakeEngineNoEntry.def.
extern "C" HWND WINAPI FakeHtmlHelp(HWND caller, LPCSTR file, UINT command, DWORD_PTR data) {
    Log(std::string("call ")
            .append(Hex(reinterpret_cast<UINT_PTR>(caller)))
            .append(" ")
            .append(file != nullptr ? file : "-")
            .append(" ")
            .append(Hex(command))
            .append(" ")
            .append(Hex(data)));
    return reinterpret_cast<HWND>(static_cast<UINT_PTR>(kFakeResultBase + command));
}
