#include "winfw/HtmlHelp.h"

#include <utility>

#include "winfw/RegistryKey.h"
#include "winfw/SystemPaths.h"

namespace {

// Where the engine registers itself as a COM server.
constexpr char kEngineServerKey[] = "CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";
constexpr char kEngineFileName[] = "hhctrl.ocx";
// HtmlHelpA is the engine's export number 14; the import library of the
// Windows SDK binds it by that number too, so it is looked up the same way.
constexpr WORD kHtmlHelpAOrdinal = 14;

HMODULE LoadLibraryFrom(const char* path, DWORD flags) { return ::LoadLibraryExA(path, nullptr, flags); }

HtmlHelpFunction FindEntryPoint(HMODULE engine) {
    FARPROC entry = ::GetProcAddress(engine, MAKEINTRESOURCEA(kHtmlHelpAOrdinal));
    // Through the generic function pointer type, which converts to any other.
    return reinterpret_cast<HtmlHelpFunction>(reinterpret_cast<void (*)()>(entry));
}

// Loader state, for the life of the process. Once a load has failed it is
// never retried. The engine, once loaded, is never freed: its windows and
// threads outlive the calls, and freeing it while the process ends would
// pull its code from under them.
HMODULE s_hHelpEngine = nullptr;
HtmlHelpFunction s_pfnHtmlHelp = nullptr;
bool s_bHelpEngineFailed = false;
constexpr HelpEngineAccess kRealAccess{&FindRegisteredHelpEngine, &LoadLibraryFrom, &FindEntryPoint};
HelpEngineAccess g_helpEngineAccess = kRealAccess;

// The LOAD_LIBRARY_SEARCH_* flags came with AddDllDirectory (Windows 8, and
// Windows 7 and Vista with update KB2533623); older loaders reject them.
bool CanRestrictLibrarySearch() {
    // kernel32 is loaded in every process; GetModuleHandle takes no reference.
    HMODULE kernel = ::GetModuleHandleA("kernel32.dll");
    return kernel != nullptr && ::GetProcAddress(kernel, "AddDllDirectory") != nullptr;
}

// "C:\..." or "\\server\share\..." (also "\\?\..."): a path that names one
// file whatever the current directory and drive.
bool IsFullyQualifiedPath(const char* path) {
    const auto isSeparator = [](char c) { return c == '\\' || c == '/'; };
    if (isSeparator(path[0]) && isSeparator(path[1])) return true;
    const bool driveLetter = (path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z');
    return driveLetter && path[1] == ':' && isSeparator(path[2]);
}

// The program asks to run with the highest rights the user holds, so no
// library may come from a folder an ordinary user can write to: neither the
// program's folder nor the current directory, which the ordinary library
// search tries before the system folder. A registered value that is not a
// full path would be searched for there, so it counts as no registration.
HMODULE LoadRegisteredEngine() {
    char enginePath[kHelpEnginePathSize];
    if (!g_helpEngineAccess.findRegistered(enginePath) || !IsFullyQualifiedPath(enginePath)) return nullptr;
    // The engine's own imports, too, from its folder and the system folder only.
    const DWORD searchFlags = CanRestrictLibrarySearch() ? LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32
                                                         : LOAD_WITH_ALTERED_SEARCH_PATH;
    return g_helpEngineAccess.loadLibrary(enginePath, searchFlags);
}

// "hhctrl.ocx" from the system folder, never from the program's folder or
// the current directory (see above).
HMODULE LoadSystemEngine() {
    if (CanRestrictLibrarySearch()) return g_helpEngineAccess.loadLibrary(kEngineFileName, LOAD_LIBRARY_SEARCH_SYSTEM32);
    const std::string enginePath = SystemFolderFile(&::GetSystemDirectoryA, kEngineFileName);
    if (enginePath.empty()) return nullptr;
    return g_helpEngineAccess.loadLibrary(enginePath.c_str(), LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace

HelpEngineAccess RealHelpEngineAccess() { return kRealAccess; }

HelpEngineAccess ResetHelpEngineLoader(const HelpEngineAccess& access) {
    s_hHelpEngine = nullptr;
    s_pfnHtmlHelp = nullptr;
    s_bHelpEngineFailed = false;
    return std::exchange(g_helpEngineAccess, access);
}

HWND InvokeHtmlHelp(HWND caller, LPCSTR file, UINT command, DWORD_PTR data) {
    if (s_hHelpEngine == nullptr) {
        if (s_bHelpEngineFailed) return nullptr;
        HMODULE engine = LoadRegisteredEngine();
        if (engine == nullptr) engine = LoadSystemEngine();
        if (engine == nullptr) {
            s_bHelpEngineFailed = true;
            return nullptr;
        }
        s_hHelpEngine = engine;  // kept until the process ends (see above)
    }
    // An engine without the entry stays loaded; each call looks again.
    if (s_pfnHtmlHelp == nullptr) {
        s_pfnHtmlHelp = g_helpEngineAccess.findEntryPoint(s_hHelpEngine);
        if (s_pfnHtmlHelp == nullptr) return nullptr;
    }
    return s_pfnHtmlHelp(caller, file, command, data);
}

bool FindRegisteredHelpEngine(char (&enginePath)[kHelpEnginePathSize]) {
    const CRegistryKey key = CRegistryKey::Open(HKEY_CLASSES_ROOT, kEngineServerKey, KEY_READ);
    // The value's type is neither asked for nor checked; one that does not
    // fit with its zero counts as no registration.
    return key && key.ReadString(nullptr, enginePath) == ERROR_SUCCESS;
}

void ShowHelpContents(HWND caller, const std::string& helpFile) {
    // When no help window appears the engine has had its say; the program adds nothing.
    static_cast<void>(InvokeHtmlHelp(caller, helpFile.c_str(), HH_DISPLAY_TOC, 0));
}

void CloseAllHelp() {
    static_cast<void>(InvokeHtmlHelp(nullptr, nullptr, HH_CLOSE_ALL, 0));
    // The program never sends HH_INITIALIZE; uninitialise still takes 0.
    static_cast<void>(InvokeHtmlHelp(nullptr, nullptr, HH_UNINITIALIZE, 0));
}
