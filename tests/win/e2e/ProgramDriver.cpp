#include "ProgramDriver.h"

#include <commctrl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace e2e {

namespace {

constexpr char kSettingsKey[] = "Software\\Corvane\\Tabulo";

std::string ProgramPath() {
    std::string path = ARRAYFORGE_PROGRAM;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

std::string ClassName(HWND window) {
    char name[64] = {};
    ::GetClassNameA(window, name, sizeof name);
    return name;
}

// Collects the visible windows of the dialog class.
BOOL CALLBACK CollectDialogs(HWND window, LPARAM list) {
    if (::IsWindowVisible(window) && ClassName(window) == "#32770")
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

bool VisibleButton(HWND box, int id) {
    HWND button = ::GetDlgItem(box, id);
    return button != nullptr && ::IsWindowVisible(button);
}

}  // namespace

Program::Program(const std::string& currentDirectory) {
    // A job that kills the program when its last handle closes, so that
    // not even a crashed test leaves the program running.
    m_job = ::CreateJobObjectA(nullptr, nullptr);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    ::SetInformationJobObject(m_job, JobObjectExtendedLimitInformation, &limits, sizeof limits);

    const std::string path = ProgramPath();
    std::string commandLine = "\"" + path + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (!::CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                          currentDirectory.empty() ? nullptr : currentDirectory.c_str(), &startup, &m_process)) {
        ADD_FAILURE() << "cannot start " << path << ": error " << ::GetLastError();
        m_process = {};
        return;
    }
    ::AssignProcessToJobObject(m_job, m_process.hProcess);
    ::ResumeThread(m_process.hThread);
    ::WaitForInputIdle(m_process.hProcess, kTimeoutMs);

    WaitFor([&] {
        std::vector<HWND> dialogs;
        ::EnumWindows(&CollectDialogs, reinterpret_cast<LPARAM>(&dialogs));
        for (HWND dialog : dialogs) {
            DWORD processId = 0;
            ::GetWindowThreadProcessId(dialog, &processId);
            if (processId == m_process.dwProcessId) m_dialog = dialog;
        }
        return m_dialog != nullptr;
    });
    if (m_dialog == nullptr) ADD_FAILURE() << "the program showed no dialog";
}

Program::~Program() {
    if (m_process.hProcess != nullptr) {
        if (::WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT) {
            ::TerminateProcess(m_process.hProcess, 99);
            ::WaitForSingleObject(m_process.hProcess, kTimeoutMs);
        }
        ::CloseHandle(m_process.hThread);
        ::CloseHandle(m_process.hProcess);
    }
    if (m_job != nullptr) ::CloseHandle(m_job);
}

std::string Program::Text(int id) const {
    char text[1024] = {};
    ::SendMessageA(Item(id), WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

void Program::SetText(int id, std::string_view text) {
    std::string terminated(text);
    ::SendMessageA(Item(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(terminated.c_str()));
}

void Program::FillPaths(std::string_view input, std::string_view output) {
    SetText(kInput, input);
    SetText(kOutput, output);
}

void Program::TypeChar(int id, char ch) {
    ::PostMessageA(Item(id), WM_CHAR, static_cast<unsigned char>(ch), 1);
    Sync();
}

bool Program::IsChecked(int id) const { return ::SendMessageA(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }

bool Program::IsEnabled(int id) const { return ::IsWindowEnabled(Item(id)) != FALSE; }

int Program::ProgressPosition() const {
    return static_cast<int>(::SendMessageA(Item(kProgress), PBM_GETPOS, 0, 0));
}

bool Program::IsTopmost() const { return (::GetWindowLongA(m_dialog, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

void Program::Click(int id) { ::PostMessageA(Item(id), BM_CLICK, 0, 0); }

HWND Program::FocusedWindow() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!::GetGUIThreadInfo(m_process.dwThreadId, &info)) return nullptr;
    return info.hwndFocus;
}

void Program::PressKey(UINT virtualKey) {
    HWND focus = FocusedWindow();
    ASSERT_NE(focus, nullptr) << "nothing has the keyboard focus";
    const LPARAM scanCode = static_cast<LPARAM>(::MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC)) << 16;
    ::PostMessageA(focus, WM_KEYDOWN, virtualKey, scanCode | 1);
    ::PostMessageA(focus, WM_KEYUP, virtualKey, scanCode | 1 | 0xC0000000);
}

void Program::Drop(const std::vector<std::string>& paths, POINT clientPoint) {
    // A DROPFILES block as the shell hands it over: the header, then the
    // names, each ending in a zero, and one more zero. It has to lie in the
    // program's memory; the program releases it with DragFinish.
    DROPFILES header{};
    header.pFiles = sizeof header;
    header.pt = clientPoint;
    header.fNC = FALSE;
    header.fWide = FALSE;
    std::string block(reinterpret_cast<const char*>(&header), sizeof header);
    for (const std::string& path : paths) block.append(path).push_back('\0');
    block.push_back('\0');

    void* remote = ::VirtualAllocEx(m_process.hProcess, nullptr, block.size(), MEM_COMMIT | MEM_RESERVE,
                                    PAGE_READWRITE);
    ASSERT_NE(remote, nullptr) << "error " << ::GetLastError();
    SIZE_T written = 0;
    ASSERT_TRUE(::WriteProcessMemory(m_process.hProcess, remote, block.data(), block.size(), &written));
    ASSERT_EQ(written, block.size());
    // Sent, not posted: the handler opens no box, and the drop is handled
    // when the call returns.
    ::SendMessageA(m_dialog, WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0);
    // A real drop is a GlobalAlloc block, which DragFinish frees; this one
    // is not, and GlobalFree leaves it alone (under Wine quietly).
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
    // messages is the marker that they have all been handled (posted
    // messages are handled in order, by whichever loop is running).
    const int marker = 20 + (++m_syncCount % 50);
    HWND bar = Item(kProgress);
    ::PostMessageA(bar, PBM_SETSTEP, static_cast<WPARAM>(marker), 0);
    EXPECT_TRUE(WaitFor([&] { return ::SendMessageA(bar, PBM_GETSTEP, 0, 0) == marker; }))
        << "the program stopped handling messages";
}

HWND Program::OpenBox() const {
    std::vector<HWND> dialogs;
    ::EnumThreadWindows(m_process.dwThreadId, &CollectDialogs, reinterpret_cast<LPARAM>(&dialogs));
    for (HWND dialog : dialogs)
        if (dialog != m_dialog) return dialog;
    return nullptr;
}

HWND Program::WaitForBox() const {
    HWND box = nullptr;
    if (!WaitFor([&] { return (box = OpenBox()) != nullptr; })) ADD_FAILURE() << "no message box appeared";
    return box;
}

BoxSeen Program::Describe(HWND box) const {
    BoxSeen seen;
    char text[512] = {};
    ::GetWindowTextA(box, text, sizeof text);
    seen.caption = text;
    text[0] = '\0';
    ::GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    seen.text = text;
    seen.yesNo = VisibleButton(box, IDYES) && VisibleButton(box, IDNO) && !VisibleButton(box, IDOK);
    EXPECT_TRUE(seen.yesNo || (VisibleButton(box, IDOK) && !VisibleButton(box, IDYES) && !VisibleButton(box, IDNO)))
        << "a box with other buttons than Yes and No or OK: " << seen.text;
    seen.ownedByDialog = ::GetWindow(box, GW_OWNER) == m_dialog;
    return seen;
}

void Program::Answer(HWND box, int buttonId) {
    ASSERT_NE(box, nullptr);
    ::PostMessageA(::GetDlgItem(box, buttonId), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return !::IsWindow(box) || !::IsWindowVisible(box); })) << "the box stayed open";
}

bool Program::WaitForExit(DWORD timeoutMs) {
    return m_process.hProcess != nullptr && ::WaitForSingleObject(m_process.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

DWORD Program::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    ::GetExitCodeProcess(m_process.hProcess, &code);
    return code;
}

namespace settings {

namespace {

HKEY OpenKey() {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return nullptr;
    return key;
}

struct RawValue {
    bool found = false;
    DWORD type = 0;
    std::string bytes;
};

RawValue Read(const char* name) {
    RawValue value;
    HKEY key = OpenKey();
    if (key == nullptr) return value;
    char data[1024] = {};
    DWORD size = sizeof data;
    value.found = ::RegQueryValueExA(key, name, nullptr, &value.type, reinterpret_cast<BYTE*>(data), &size) ==
                  ERROR_SUCCESS;
    if (value.found) value.bytes.assign(data, size);
    ::RegCloseKey(key);
    return value;
}

void Write(const char* name, DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(::RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    ::RegCloseKey(key);
}

}  // namespace

void Delete() {
    LSTATUS status = ::RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey);
    ASSERT_TRUE(status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) << "error " << status;
}

bool KeyExists() {
    HKEY key = OpenKey();
    if (key != nullptr) ::RegCloseKey(key);
    return key != nullptr;
}

bool HasValue(const char* name) { return Read(name).found; }

DWORD ReadDword(const char* name) {
    RawValue value = Read(name);
    DWORD number = 0xFFFFFFFF;
    EXPECT_TRUE(value.found) << name;
    EXPECT_EQ(value.type, static_cast<DWORD>(REG_DWORD)) << name;
    EXPECT_EQ(value.bytes.size(), sizeof number) << name;
    if (value.found && value.bytes.size() == sizeof number) std::memcpy(&number, value.bytes.data(), sizeof number);
    return number;
}

std::string ReadText(const char* name) {
    RawValue value = Read(name);
    EXPECT_TRUE(value.found) << name;
    EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ)) << name;
    // Stored with its terminating zero, and nothing after it.
    if (!value.found || value.bytes.empty() || value.bytes.back() != '\0') {
        ADD_FAILURE() << name << " is not stored with its terminating zero";
        return "?";
    }
    value.bytes.pop_back();
    EXPECT_EQ(value.bytes.find('\0'), std::string::npos) << name;
    return value.bytes;
}

void WriteDword(const char* name, DWORD value) { Write(name, REG_DWORD, &value, sizeof value); }

void WriteText(const char* name, const std::string& text) {
    Write(name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

}  // namespace settings

}  // namespace e2e
