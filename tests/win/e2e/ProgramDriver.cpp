#include "tests/win/e2e/ProgramDriver.h"

#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>

namespace e2e {
namespace {

constexpr char kSettingsKey[] = "Software\\Corvane\\Tabulo";

// A visible dialog-class window of the thread other than `except`.
HWND FindDialog(DWORD threadId, HWND except) {
    for (HWND window = ::FindWindowExA(nullptr, nullptr, "#32770", nullptr); window != nullptr;
         window = ::FindWindowExA(nullptr, window, "#32770", nullptr)) {
        if (window != except && ::IsWindowVisible(window) && ::GetWindowThreadProcessId(window, nullptr) == threadId)
            return window;
    }
    return nullptr;
}

}  // namespace

std::string ProgramPath() {
    std::string path = ARRAYFORGE_PROGRAM;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

Program::Program(const std::string& currentDirectory) {
    const std::string path = ProgramPath();
    std::string commandLine = "\"" + path + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (::CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                         currentDirectory.empty() ? nullptr : currentDirectory.c_str(), &startup, &m_process)) {
        WaitFor([&] { return (m_dialog = FindDialog(m_process.dwThreadId, nullptr)) != nullptr; });
    }
    if (m_dialog == nullptr) ADD_FAILURE() << "the program showed no dialog: " << path;
}

Program::~Program() {
    if (m_process.hProcess == nullptr) return;
    ::TerminateProcess(m_process.hProcess, 99);
    ::WaitForSingleObject(m_process.hProcess, kTimeoutMs);
    ::CloseHandle(m_process.hThread);
    ::CloseHandle(m_process.hProcess);
}

std::string TextOf(HWND window) {
    char text[1024] = {};
    ::SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

void Program::Drop(const std::vector<std::string>& paths, POINT clientPoint) const {
    // A DROPFILES block as the shell hands it over (the header, each name
    // with its zero, one more zero), placed in the program's memory.
    const DROPFILES header{sizeof(DROPFILES), clientPoint, FALSE, FALSE};
    std::string block(reinterpret_cast<const char*>(&header), sizeof header);
    for (const std::string& path : paths) block.append(path).push_back('\0');
    block.push_back('\0');
    void* remote = ::VirtualAllocEx(m_process.hProcess, nullptr, block.size(), MEM_COMMIT, PAGE_READWRITE);
    ASSERT_NE(remote, nullptr);
    ASSERT_TRUE(::WriteProcessMemory(m_process.hProcess, remote, block.data(), block.size(), nullptr));
    // Sent: handled when the call returns. DragFinish leaves such a block alone.
    ::SendMessageA(m_dialog, WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0);
    ::VirtualFreeEx(m_process.hProcess, remote, 0, MEM_RELEASE);
}

POINT Program::CentreOf(int id) const {
    RECT rect{};
    ::GetWindowRect(Item(id), &rect);
    POINT centre{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    ::ScreenToClient(m_dialog, &centre);
    return centre;
}

void Program::Sync() {
    // The program never sets the bar's step: a step posted after the other
    // messages is handled after them, by whichever loop is running.
    const int marker = 20 + (++m_syncCount % 50);
    HWND bar = Item(IDC_PROGRESS);
    ::PostMessageA(bar, PBM_SETSTEP, static_cast<WPARAM>(marker), 0);
    EXPECT_TRUE(WaitFor([&] { return ::SendMessageA(bar, PBM_GETSTEP, 0, 0) == marker; })) << "the program hangs";
}

HWND Program::OpenBox() const { return FindDialog(m_process.dwThreadId, m_dialog); }

HWND Program::WaitForBox() const {
    HWND box = nullptr;
    if (!WaitFor([&] { return (box = OpenBox()) != nullptr; })) ADD_FAILURE() << "no box appeared";
    return box;
}

void Program::Answer(HWND box, int buttonId) const {
    ::PostMessageA(::GetDlgItem(box, buttonId), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return !::IsWindowVisible(box); })) << "the box stayed open";
}

DWORD Program::WaitForExit() const {
    DWORD code = STILL_ACTIVE;
    ::WaitForSingleObject(m_process.hProcess, kTimeoutMs);
    ::GetExitCodeProcess(m_process.hProcess, &code);
    return code;
}

void DeleteSettings() {
    const LSTATUS status = ::RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey);
    ASSERT_TRUE(status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) << "error " << status;
}

std::string Setting(const char* name) {
    DWORD data[MAX_PATH / sizeof(DWORD)] = {};  // a number or a string's characters
    DWORD type = 0;
    DWORD size = sizeof data;
    if (::RegGetValueA(HKEY_CURRENT_USER, kSettingsKey, name, RRF_RT_REG_DWORD | RRF_RT_REG_SZ, &type, data, &size))
        return "?";
    return type == REG_DWORD ? std::to_string(data[0]) : reinterpret_cast<const char*>(data);
}

}  // namespace e2e
