// The help loader with stand-ins for the registry, the library loader and
// the entry point, all cases in this one process; then the registered
// engine path read from a HKEY_CLASSES_ROOT of the test's own.

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "help/HtmlHelp.h"

namespace {

// What the stand-ins were asked, in order.
std::vector<std::string> g_log;
const char* g_registered = nullptr;  // none: not registered
std::set<std::string> g_loadable;
bool g_hasEntry = true;
const auto kEngine = reinterpret_cast<HMODULE>(0x5000);

bool FindRegistered(char (&path)[kHelpEnginePathSize]) {
    if (g_registered == nullptr) return false;
    std::snprintf(path, sizeof path, "%s", g_registered);
    return true;
}
HMODULE Load(const char* path, DWORD flags) {
    g_log.push_back(std::string("load ") + path + " " + std::to_string(flags));
    return g_loadable.count(path) != 0 ? kEngine : nullptr;
}
HWND WINAPI Engine(HWND caller, LPCSTR file, UINT command, DWORD_PTR data) {
    char line[512];
    std::snprintf(line, sizeof line, "call %lx %s %x %lx", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(caller)),
                  file != nullptr ? file : "-", command, static_cast<unsigned long>(data));
    g_log.push_back(line);
    return reinterpret_cast<HWND>(0x77);
}
HtmlHelpFunction FindEntry(HMODULE engine) {
    g_log.push_back(engine == kEngine ? "entry" : "entry of another module");
    return g_hasEntry ? &Engine : nullptr;
}

const HWND kCaller = reinterpret_cast<HWND>(0x1234);
constexpr char kHelpFile[] = "C:\\Tools\\Tabulo.chm";
constexpr char kRegistered[] = "C:\\Engines\\hh.ocx";
const std::string kLoadRegistered = std::string("load ") + kRegistered + " " +
                                    std::to_string(LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
const std::string kLoadSystem = "load hhctrl.ocx " + std::to_string(LOAD_LIBRARY_SEARCH_SYSTEM32);
const std::string kShow = "call 1234 C:\\Tools\\Tabulo.chm 1 0";

void ShowTwice() {
    EXPECT_EQ(InvokeHtmlHelp(kCaller, kHelpFile, HH_DISPLAY_TOC, 0), reinterpret_cast<HWND>(0x77));
    ShowHelpContents(kCaller, kHelpFile);
}

TEST(HelpLoader, LoadsOnceFallsBackAndNeverRetriesAFailedLoad) {
    struct Case {
        const char* name;
        const char* registered;
        std::set<std::string> loadable;
        std::function<void()> act;
        std::vector<std::string> log;
    } const cases[] = {
        {"registered engine, loaded once", kRegistered, {kRegistered}, ShowTwice,
         {kLoadRegistered, "entry", kShow, kShow}},
        {"registered engine fails: the system's", kRegistered, {"hhctrl.ocx"}, ShowTwice,
         {kLoadRegistered, kLoadSystem, "entry", kShow, kShow}},
        {"not registered", nullptr, {"hhctrl.ocx"}, ShowTwice, {kLoadSystem, "entry", kShow, kShow}},
        {"a registered name without its folder is no registration", "hh.ocx", {"hh.ocx", "hhctrl.ocx"}, ShowTwice,
         {kLoadSystem, "entry", kShow, kShow}},
        {"never retried", kRegistered, {},
         [] {
             ShowHelpContents(kCaller, kHelpFile);
             g_loadable = {"hhctrl.ocx", kRegistered};
             CloseAllHelp();
         },
         {kLoadRegistered, kLoadSystem}},
        {"shut-down loads the engine: close all, then uninitialise", nullptr, {"hhctrl.ocx"}, CloseAllHelp,
         {kLoadSystem, "entry", "call 0 - 12 0", "call 0 - 1d 0"}},
        {"missing entry point looked up again at each call", nullptr, {"hhctrl.ocx"},
         [] {
             g_hasEntry = false;
             EXPECT_EQ(InvokeHtmlHelp(kCaller, kHelpFile, HH_DISPLAY_TOC, 0), nullptr);
             ShowHelpContents(kCaller, kHelpFile);
             g_hasEntry = true;
             ShowTwice();
         },
         {kLoadSystem, "entry", "entry", "entry", kShow, kShow}},
    };
    const HelpEngineAccess real = RealHelpEngineAccess();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResetHelpEngineLoader({&FindRegistered, &Load, &FindEntry});
        g_log.clear();
        g_registered = c.registered;
        g_loadable = c.loadable;
        g_hasEntry = true;
        c.act();
        EXPECT_EQ(g_log, c.log);
    }
    ResetHelpEngineLoader(real);
}

// HKEY_CLASSES_ROOT of this process redirected to an empty key.
TEST(HelpLoader, RegisteredPathIsUsedWhenItFitsTheBufferWithItsZero) {
    constexpr char kClasses[] = "Software\\Arrayforge tests\\Help classes";
    constexpr char kServer[] = "CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";
    HKEY classes = nullptr;
    ASSERT_EQ(::RegCreateKeyA(HKEY_CURRENT_USER, kClasses, &classes), ERROR_SUCCESS);
    ASSERT_EQ(::RegOverridePredefKey(HKEY_CLASSES_ROOT, classes), ERROR_SUCCESS);
    char path[kHelpEnginePathSize];
    EXPECT_FALSE(FindRegisteredHelpEngine(path)) << "no key";
    for (std::size_t length : {std::size_t{kHelpEnginePathSize} - 1, std::size_t{kHelpEnginePathSize}}) {
        const std::string value = "C:\\" + std::string(length - 3, 'x');
        ::RegSetValueA(classes, kServer, REG_SZ, value.c_str(), static_cast<DWORD>(value.size()));
        const bool fits = length < kHelpEnginePathSize;
        EXPECT_EQ(FindRegisteredHelpEngine(path) ? std::string(path) : "", fits ? value : "") << length;
    }
    ::RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
    ::RegCloseKey(classes);
    ::RegDeleteTreeA(HKEY_CURRENT_USER, kClasses);
}

}  // namespace
