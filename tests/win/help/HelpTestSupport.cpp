#include "tests/win/help/HelpTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "tests/win/help/HelpLogs.h"
#include "winfw/Handles.h"
#include "winfw/Handles.h"

namespace {

// Set for the test's own process: its work folder.
constexpr char kCaseFolderVariable[] = "ARRAYFORGE_HELP_CASE_FOLDER";
constexpr DWORD kCaseTimeoutMs = 120000;

std::string NewTemporaryFolder() {
    char base[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, base);
    for (unsigned attempt = 0;; ++attempt) {
        const std::string folder = std::string(base)
                                       .append("arrayforge-help-")
                                       .append(std::to_string(::GetCurrentProcessId()))
                                       .append("-")
                                       .append(std::to_string(::GetTickCount() + attempt));
        if (::CreateDirectoryA(folder.c_str(), nullptr)) return folder;
        if (::GetLastError() != ERROR_ALREADY_EXISTS) return {};
    }
}

void RemoveFolder(const std::string& folder) {
    WIN32_FIND_DATAA found{};
    if (UniqueFileSearch search{::FindFirstFileA(std::string(folder).append("\\*").c_str(), &found)}) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            const std::string path = std::string(folder).append("\\").append(name);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveFolder(path);
            } else {
                ::DeleteFileA(path.c_str());
            }
        } while (::FindNextFileA(search.Get(), &found));
    }
    ::RemoveDirectoryA(folder.c_str());
}

std::string Quoted(const std::string& text) { return std::string("\"").append(text).append("\""); }

// Starts `program` for the current test only, with the work folder as its
// current directory, and returns its exit code (~0u when it could not run).
DWORD RunCurrentTest(const std::string& program, const std::string& folder) {
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    std::string commandLine = Quoted(program)
                                  .append(" --gtest_brief=1 --gtest_filter=")
                                  .append(test->test_suite_name())
                                  .append(".")
                                  .append(test->name());
    ::SetEnvironmentVariableA(kCaseFolderVariable, folder.c_str());
    // Its report goes where this program's goes.
    std::fflush(stdout);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = ::GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process{};
    const BOOL started = ::CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                          folder.c_str(), &startup, &process);
    ::SetEnvironmentVariableA(kCaseFolderVariable, nullptr);
    if (!started) return ~0u;
    UniqueKernelHandle thread(process.hThread);
    UniqueKernelHandle child(process.hProcess);
    DWORD exitCode = ~0u;
    if (::WaitForSingleObject(child.Get(), kCaseTimeoutMs) == WAIT_OBJECT_0) {
        ::GetExitCodeProcess(child.Get(), &exitCode);
    } else {
        ::TerminateProcess(child.Get(), ~0u);
        ::WaitForSingleObject(child.Get(), INFINITE);
    }
    return exitCode;
}

}  // namespace

bool RanInOwnProcess(const std::function<std::string(const std::string& folder)>& prepare) {
    if (!EnvironmentVariable(kCaseFolderVariable).empty()) return false;
    const std::string folder = NewTemporaryFolder();
    EXPECT_FALSE(folder.empty()) << "no work folder";
    if (folder.empty()) return true;
    const std::string program = prepare ? prepare(folder) : OwnProgramPath();
    EXPECT_EQ(RunCurrentTest(program, folder), 0u) << "the test failed in its own process (its output is above)";
    RemoveFolder(folder);
    return true;
}

std::string CaseFolder() { return EnvironmentVariable(kCaseFolderVariable); }

std::string OwnProgramPath() {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

std::string FolderOf(const std::string& path) { return path.substr(0, path.find_last_of('\\')); }

bool CopyFileTo(const std::string& from, const std::string& to) {
    return ::CopyFileA(from.c_str(), to.c_str(), FALSE) != FALSE;
}

ScopedRegistryValue::ScopedRegistryValue(HKEY root, std::string subKey, const char* valueName)
    : m_root(root), m_subKey(std::move(subKey)), m_valueName(valueName != nullptr ? valueName : ""),
      m_hasName(valueName != nullptr) {
    HKEY created = nullptr;
    if (::RegCreateKeyExA(m_root, m_subKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &created, nullptr) !=
        ERROR_SUCCESS) {
        ADD_FAILURE() << "cannot open " << m_subKey;
        return;
    }
    UniqueRegKey key(created);
    DWORD size = 0;
    const char* name = m_hasName ? m_valueName.c_str() : nullptr;
    if (::RegQueryValueExA(key.Get(), name, nullptr, &m_oldType, nullptr, &size) == ERROR_SUCCESS) {
        m_oldData.resize(size);
        m_hadValue = ::RegQueryValueExA(key.Get(), name, nullptr, &m_oldType,
                                        reinterpret_cast<BYTE*>(m_oldData.data()), &size) == ERROR_SUCCESS;
        m_oldData.resize(size);
    }
}

ScopedRegistryValue::~ScopedRegistryValue() {
    if (m_hadValue) {
        Set(m_oldType, m_oldData);
    } else {
        Remove();
    }
}

void ScopedRegistryValue::Set(DWORD type, const std::string& bytes) {
    HKEY opened = nullptr;
    ASSERT_EQ(::RegOpenKeyExA(m_root, m_subKey.c_str(), 0, KEY_SET_VALUE, &opened), ERROR_SUCCESS) << m_subKey;
    UniqueRegKey key(opened);
    EXPECT_EQ(::RegSetValueExA(key.Get(), m_hasName ? m_valueName.c_str() : nullptr, 0, type,
                               reinterpret_cast<const BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size())),
              ERROR_SUCCESS)
        << m_subKey;
}

void ScopedRegistryValue::Remove() {
    HKEY opened = nullptr;
    if (::RegOpenKeyExA(m_root, m_subKey.c_str(), 0, KEY_SET_VALUE, &opened) != ERROR_SUCCESS) return;
    UniqueRegKey key(opened);
    ::RegDeleteValueA(key.Get(), m_hasName ? m_valueName.c_str() : nullptr);
}

ScopedEngineRegistration::ScopedEngineRegistration()
    : ScopedRegistryValue(HKEY_CLASSES_ROOT, "CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32",
                          nullptr) {}

ScopedEngineLoadOrder::ScopedEngineLoadOrder(const std::string& order)
    : ScopedRegistryValue(HKEY_CURRENT_USER, "Software\\Wine\\DllOverrides", "hhctrl.ocx") {
    SetString(order);
}

std::string FakeEnginePath() { return FolderOf(OwnProgramPath()).append("\\fake_engine.dll"); }

std::string FakeEngineWithoutEntryPath() { return FolderOf(OwnProgramPath()).append("\\fake_engine_no_entry.dll"); }

void StartFakeEngineLog() {
    const std::string log = CaseFolder().append("\\engine.log");
    ::DeleteFileA(log.c_str());
    ::SetEnvironmentVariableA(kFakeEngineLogVariable, log.c_str());
}

std::vector<std::string> FakeEngineLog() { return LogLines(CaseFolder().append("\\engine.log")); }

std::vector<std::string> LogLines(const std::string& path) {
    std::ifstream log(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(log, line);) lines.push_back(line);
    return lines;
}

std::string LoadedModulePath(const std::string& name) {
    // GetModuleHandle takes no reference: nothing to release.
    HMODULE module = ::GetModuleHandleA(name.c_str());
    if (module == nullptr) return {};
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(module, path, MAX_PATH);
    return path;
}

std::string SystemEnginePath() {
    char folder[MAX_PATH] = {};
    ::GetSystemDirectoryA(folder, MAX_PATH);
    return std::string(folder).append("\\hhctrl.ocx");
}

bool SamePath(const std::string& a, const std::string& b) { return ::lstrcmpiA(a.c_str(), b.c_str()) == 0; }
