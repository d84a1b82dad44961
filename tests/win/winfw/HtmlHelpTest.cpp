// The help loader with stand-ins for the registry look-up, the library
// loader and the entry point: every case in this one process.

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "winfw/HtmlHelp.h"

// What the stand-ins were asked, in order, and what they answer.
std::vector<std::string> g_log;
const char* g_registered = nullptr;  // none: not registered
std::set<std::string> g_loadable;
bool g_hasEntry = true;
const auto kEngine = reinterpret_cast<HMODULE>(0x5000);

bool FindRegistered(char (&path)[kHelpEnginePathSize]) {
    return g_registered != nullptr && std::snprintf(path, sizeof path, "%s", g_registered) > 0;
}
HMODULE Load(const char* path, DWORD flags) {
    g_log.push_back(std::string("load ") + path + " " + std::to_string(flags));
    return g_loadable.count(path) != 0 ? kEngine : nullptr;
}
HWND WINAPI Engine(HWND caller, LPCSTR file, UINT command, DWORD_PTR data) {
    g_log.push_back("call " + std::to_string(reinterpret_cast<UINT_PTR>(caller)) + " " + (file ? file : "-") + " " +
                    std::to_string(command) + " " + std::to_string(data));
    return reinterpret_cast<HWND>(0x77);
}
HtmlHelpFunction FindEntry(HMODULE engine) {
    g_log.push_back(engine == kEngine ? "entry" : "entry of another module");
    return g_hasEntry ? &Engine : nullptr;
}

constexpr char kRegistered[] = "C:\\Engines\\hh.ocx";
const std::string kFromItsFolder =
    " " + std::to_string(LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
const std::string kLoadRegistered = std::string("load ") + kRegistered + kFromItsFolder;
const std::string kLoadSystem = "load hhctrl.ocx " + std::to_string(LOAD_LIBRARY_SEARCH_SYSTEM32);
const std::string kShow = "call 4660 C:\\Tools\\Tabulo.chm 1 0";  // from window 0x1234

void ShowTwice() {
    const HWND caller = reinterpret_cast<HWND>(0x1234);
    EXPECT_EQ(InvokeHtmlHelp(caller, "C:\\Tools\\Tabulo.chm", HH_DISPLAY_TOC, 0), reinterpret_cast<HWND>(0x77));
    ShowHelpContents(caller, "C:\\Tools\\Tabulo.chm");
}

// What the stand-ins are asked while `act` runs, with the engine registered
// at `registered` (none: null) and the libraries `loadable` loading.
std::vector<std::string> Asked(const char* registered, std::set<std::string> loadable, void (*act)()) {
    ResetHelpEngineLoader({&FindRegistered, &Load, &FindEntry});
    g_log.clear();
    g_registered = registered;
    g_loadable = std::move(loadable);
    act();
    return g_log;
}

using Log = std::vector<std::string>;

TEST(HelpLoader, LoadsOnlyAFullPathOnceFallsBackAndNeverRetriesAFailedLoad) {
    EXPECT_EQ(Asked(kRegistered, {kRegistered}, ShowTwice), (Log{kLoadRegistered, "entry", kShow, kShow}));
    EXPECT_EQ(Asked(kRegistered, {"hhctrl.ocx"}, ShowTwice), (Log{kLoadRegistered, kLoadSystem, "entry", kShow, kShow}))
        << "the registered engine fails: the system's";
    const auto neverRetried = [] {
        ShowHelpContents(nullptr, "C:\\Tools\\Tabulo.chm");
        g_loadable = {"hhctrl.ocx", kRegistered};
        CloseAllHelp();
    };
    EXPECT_EQ(Asked(kRegistered, {}, neverRetried), (Log{kLoadRegistered, kLoadSystem}));
    EXPECT_EQ(Asked(nullptr, {"hhctrl.ocx"}, CloseAllHelp),
              (Log{kLoadSystem, "entry", "call 0 - 18 0", "call 0 - 29 0"}))
        << "the shut-down: close all, then uninitialise";
    const auto entryLater = [] {
        g_hasEntry = false;
        EXPECT_EQ(InvokeHtmlHelp(nullptr, nullptr, HH_CLOSE_ALL, 0), nullptr);
        g_hasEntry = true;
        ShowTwice();
    };
    EXPECT_EQ(Asked(nullptr, {"hhctrl.ocx"}, entryLater), (Log{kLoadSystem, "entry", "entry", kShow, kShow}))
        << "a missing entry point is looked up again";
    for (const char* path : {"A:\\e", "Z:/e", "a:\\e", "z:\\e", "\\\\s\\e", "//s/e"})
        EXPECT_EQ(Asked(path, {}, CloseAllHelp).front(), "load " + std::string(path) + kFromItsFolder);
    // The letters' neighbours in the code table are no drive letters.
    for (const char* path : {"@:\\e", "[:\\e", "`:\\e", "{:\\e", "C:e", "\\e", "e"})
        EXPECT_EQ(Asked(path, {}, CloseAllHelp).front(), kLoadSystem) << path;
    ResetHelpEngineLoader(RealHelpEngineAccess());
}
