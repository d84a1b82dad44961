// A stand-in for the HTML Help engine: each call of its HtmlHelpA appends
// "call <caller> <file> <command> <data>" (numbers in hex, file "-" for
// none) to engine.log in the current directory.

#include <windows.h>

#include <cstdio>

// Exported as number 14 without a name (FakeEngine.def), as the real engine's HtmlHelpA.
extern "C" HWND WINAPI FakeHtmlHelp(HWND caller, LPCSTR file, UINT command, DWORD_PTR data) {
    if (FILE* log = std::fopen("engine.log", "a")) {
        std::fprintf(log, "call %lx %s %x %lx\n", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(caller)),
                     file != nullptr ? file : "-", command, static_cast<unsigned long>(data));
        std::fclose(log);
    }
    return nullptr;
}
