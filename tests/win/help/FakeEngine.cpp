// A stand-in for the HTML Help engine. It appends a line per event to
// engine.log in the current directory:
//   attach                                  loaded
//   refused                                 load refused (ARRAYFORGE_FAKE_ENGINE_REFUSE set)
//   call <caller> <file> <command> <data>   HtmlHelpA (numbers in hex, file "-" for none)

#include <windows.h>

#include <cstdio>

namespace {

void Log(const char* line) {
    if (FILE* log = std::fopen("engine.log", "a")) {
        std::fputs(line, log);
        std::fclose(log);
    }
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    const bool refuse = ::GetEnvironmentVariableA("ARRAYFORGE_FAKE_ENGINE_REFUSE", nullptr, 0) > 0;
    Log(refuse ? "refused\n" : "attach\n");
    return !refuse;
}

// Exported as number 14 without a name (FakeEngine.def), as the real engine's HtmlHelpA.
extern "C" HWND WINAPI FakeHtmlHelp(HWND caller, LPCSTR file, UINT command, DWORD_PTR data) {
    char line[512];
    std::snprintf(line, sizeof line, "call %lx %s %x %lx\n",
                  static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(caller)), file != nullptr ? file : "-", command,
                  static_cast<unsigned long>(data));
    Log(line);
    return nullptr;
}
