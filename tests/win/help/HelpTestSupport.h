#pragma once

// Support for the help loader's tests. The loader keeps its state for the
// life of the process and never unloads an engine, so each test runs in a
// process of its own: the test program starts itself again for the current
// test only, in a fresh work folder, and reports that run's result.
//
//   TEST(Suite, Name) {
//       if (RanInOwnProcess()) return;   // in the test program's own run
//       ...                              // in the new process
//   }

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// In the test program's own run: runs the current test in a new process
// (see above), checks that it passed, and returns true. In that process:
// returns false. `prepare` may set up the work folder first and name another
// program to start (a copy of this one, say); by default this one is started.
bool RanInOwnProcess(const std::function<std::string(const std::string& folder)>& prepare = {});

// The work folder of the test's own process; it is removed after the test.
std::string CaseFolder();

// This test program's full path, and the folder it lies in (no trailing "\").
std::string OwnProgramPath();
std::string FolderOf(const std::string& path);

bool CopyFileTo(const std::string& from, const std::string& to);

// One registry value set for a test and put back as it was when the holder
// goes: its old data and type, or no value. (A key it had to create stays.)
class ScopedRegistryValue {
public:
    // `valueName` nullptr: the key's default value.
    ScopedRegistryValue(HKEY root, std::string subKey, const char* valueName);
    ~ScopedRegistryValue();
    ScopedRegistryValue(const ScopedRegistryValue&) = delete;
    ScopedRegistryValue& operator=(const ScopedRegistryValue&) = delete;

    // The bytes are stored as given: a string must bring its own terminator.
    void Set(DWORD type, const std::string& bytes);
    void SetString(const std::string& text) { Set(REG_SZ, std::string(text).append(1, '\0')); }
    void Remove();

private:
    HKEY m_root;
    std::string m_subKey;
    std::string m_valueName;
    bool m_hasName;
    bool m_hadValue = false;
    DWORD m_oldType = 0;
    std::string m_oldData;
};

// The engine's registration: HKEY_CLASSES_ROOT CLSID\{...}\InprocServer32,
// default value. (Wine keeps HKEY_CLASSES_ROOT in HKLM\Software\Classes and
// does not merge HKCU\Software\Classes into it.)
class ScopedEngineRegistration : public ScopedRegistryValue {
public:
    ScopedEngineRegistration();
};

// Wine's per-library load order for hhctrl.ocx
// (HKCU\Software\Wine\DllOverrides), read at every load: "" disables the library, "native,builtin"
// prefers a file on disk to Wine's own engine.
class ScopedEngineLoadOrder : public ScopedRegistryValue {
public:
    explicit ScopedEngineLoadOrder(const std::string& order);
};

// The stand-in engines built beside this program.
std::string FakeEnginePath();
std::string FakeEngineWithoutEntryPath();

// Starts the stand-in's log in the work folder; returns its lines so far.
void StartFakeEngineLog();
std::vector<std::string> FakeEngineLog();
// The lines of a log file, none when it does not exist.
std::vector<std::string> LogLines(const std::string& path);

// The full path of the loaded module of that name, or "" when none is loaded.
std::string LoadedModulePath(const std::string& name);
// C:\windows\system32\hhctrl.ocx, as the system names its folder.
std::string SystemEnginePath();
bool SamePath(const std::string& a, const std::string& b);
