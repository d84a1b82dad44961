// A stand-in for the HTML Help engine, loaded by the help loader's tests.
// It writes one line per event to the file named by kFakeEngineLogVariable:
//   attach <path of this library>     loaded
//   refused <path of this library>    load refused (kFakeEngineRefuseVariable is "1")
//   detach                            unloaded
//   call <caller> <file> <command> <data>   HtmlHelpA called (numbers in hex,
//                                           <file> "-" for none)
// and answers every call with kFakeResultBase + command.

#include <windows.h>

#include <string>

#include "tests/win/help/HelpLogs.h"

namespace {

HMODULE g_self = nullptr;
bool g_refused = false;

void Log(const std::string& line) { AppendLogLine(kFakeEngineLogVariable, line); }

std::string OwnPath() {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(g_self, path, MAX_PATH);
    return path;
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_self = instance;
        if (EnvironmentVariable(kFakeEngineRefuseVariable) == "1") {
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
            .append(LogNumber(reinterpret_cast<UINT_PTR>(caller)))
            .append(" ")
            .append(file != nullptr ? file : "-")
            .append(" ")
            .append(LogNumber(command))
            .append(" ")
            .append(LogNumber(data)));
    return reinterpret_cast<HWND>(static_cast<UINT_PTR>(kFakeResultBase + command));
}
