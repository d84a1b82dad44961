// One run of the real Tabulo.exe, driven from this test as a user would
// drive it: a conversion with the overwrite question, a failure box, Help
// (the stand-in engine of tests/win/help logs what it is asked), an About
// link followed into the logging browser that scripts/test.sh registers,
// and the settings kept over a restart.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "app/Texts.h"
#include "res/resource.h"
#include "tests/support/TestSupport.h"

namespace {

using namespace testing_support;

template <class Condition>
bool WaitFor(Condition condition) {
    for (const DWORD start = ::GetTickCount(); !condition(); ::Sleep(5))
        if (::GetTickCount() - start > 10000) return false;
    return true;
}

std::string TextOf(HWND window) {
    char text[1024] = {};
    ::SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

// With Windows' separators; `extension` replaces "exe".
std::string ProgramPath(const char* extension = "exe") {
    std::string path = ARRAYFORGE_PROGRAM;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path.substr(0, path.size() - 3) + extension;
}

// The program started in `folder`, and the dialog-class windows it shows.
class Program {
public:
    explicit Program(const std::string& folder) {
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        if (::CreateProcessA(ProgramPath().c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                             &startup, &m_process))
            dialog = WaitForBox();
    }
    ~Program() {
        ::TerminateProcess(m_process.hProcess, 99);
        ::CloseHandle(m_process.hThread);
        ::CloseHandle(m_process.hProcess);
    }
    HWND Item(int id) const { return ::GetDlgItem(dialog, id); }
    void SetText(int id, const std::string& text) const { ::SetWindowTextA(Item(id), text.c_str()); }
    // Posted, as the mouse would: the driver never waits in the program's handler.
    void Click(int id) const { ::PostMessageA(Item(id), BM_CLICK, 0, 0); }
    // A visible dialog-class window of the program other than the main dialog.
    HWND WaitForBox() const {
        HWND box = nullptr;
        EXPECT_TRUE(WaitFor([&] {
            while ((box = ::FindWindowExA(nullptr, box, "#32770", nullptr)) != nullptr)
                if (box != dialog && ::IsWindowVisible(box) && ::GetWindowThreadProcessId(box, nullptr) == m_process.dwThreadId)
                    return true;
            return false;
        })) << "no window appeared";
        return box;
    }
    // Checks the message box over the dialog and clicks `button`.
    void Expect(std::string_view caption, std::string_view text, int button) const {
        HWND box = WaitForBox();
        EXPECT_EQ(TextOf(box), caption);
        EXPECT_EQ(TextOf(::GetDlgItem(box, 0xFFFF)), text);
        ::PostMessageA(::GetDlgItem(box, button), BM_CLICK, 0, 0);
        EXPECT_TRUE(WaitFor([&] { return !::IsWindowVisible(box); })) << "the box stayed open";
    }
    DWORD WaitForExit() const {
        DWORD code = STILL_ACTIVE;
        ::WaitForSingleObject(m_process.hProcess, 10000);
        ::GetExitCodeProcess(m_process.hProcess, &code);
        return code;
    }

    HWND dialog = nullptr;

private:
    PROCESS_INFORMATION m_process{};
};

constexpr char kEngineKey[] = "CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";

TEST(Program, MainWalkThrough) {
    ScratchFolder folder;
    ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Corvane\\Tabulo");
    char engine[MAX_PATH] = {};
    DWORD size = sizeof engine;
    ::RegGetValueA(HKEY_CLASSES_ROOT, kEngineKey, nullptr, RRF_RT_REG_SZ, nullptr, engine, &size);
    const std::string fake = ProgramPath().substr(0, ProgramPath().rfind('\\')) + "\\tests\\win\\help\\fake_engine.dll";
    ::RegSetKeyValueA(HKEY_CLASSES_ROOT, kEngineKey, nullptr, REG_SZ, fake.c_str(), fake.size() + 1);
    WriteBytes(folder / "ten.bin", "0123456789");
    WriteBytes(folder / "ten.c", "old");
    HWND dialog = nullptr;
    {
        Program program(folder.Path().string());
        ASSERT_NE(dialog = program.dialog, nullptr) << "the program showed no dialog";
        program.SetText(IDC_SOURCE_PATH, folder / "ten.bin");
        program.SetText(IDC_OUTPUT_PATH, folder / "ten.c");
        program.Click(IDC_CONVERT);
        program.Expect(texts::kAppTitle, texts::kOverwriteQuestion, IDYES);
        program.Expect(texts::kAppTitle, texts::kFileWritten, IDOK);
        EXPECT_EQ(MaskCreationTime(ReadBytes(folder / "ten.c")), GoldenFile("ten_char.c"));

        program.SetText(IDC_SOURCE_PATH, folder / "missing.bin");
        program.SetText(IDC_OUTPUT_PATH, folder / "missing.c");
        program.Click(IDC_CONVERT);
        program.Expect(texts::kErrorCaption, texts::kInputNotFound, IDOK);

        program.Click(IDC_HELP_BUTTON);
        ::PostMessageA(dialog, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
        HWND about = program.WaitForBox();
        ::PostMessageA(::GetDlgItem(about, IDC_SITE_LINK), WM_LBUTTONDOWN, MK_LBUTTON, 0);
        ::PostMessageA(::GetDlgItem(about, IDC_SITE_LINK), WM_LBUTTONUP, 0, 0);
        if (const char* browserLog = std::getenv("ARRAYFORGE_BROWSER_LOG")) {
            EXPECT_TRUE(WaitFor([&] {
                return ReadBytes(browserLog).find("https://www.corvane.example/arrayforge/") != std::string::npos;
            })) << "the browser was not started";
        }
        ::PostMessageA(::GetDlgItem(about, IDOK), BM_CLICK, 0, 0);
        program.Click(IDC_TYPE_4BYTE);
        program.Click(IDC_EXIT);
        EXPECT_EQ(program.WaitForExit(), 0u);
    }
    ::RegSetKeyValueA(HKEY_CLASSES_ROOT, kEngineKey, nullptr, REG_SZ, engine, std::strlen(engine) + 1);
    char show[MAX_PATH + 32];
    std::snprintf(show, sizeof show, "call %lx %s 1 0\r\ncall 0 - 12 0\r\ncall 0 - 1d 0\r\n",
                  static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(dialog)), ProgramPath("chm").c_str());
    EXPECT_EQ(ReadBytes(folder / "engine.log"), show) << "help for the dialog, then the shut-down";

    Program again(folder.Path().string());
    EXPECT_EQ(::SendMessageA(again.Item(IDC_TYPE_4BYTE), BM_GETCHECK, 0, 0), BST_CHECKED) << "kept over the restart";
}

}  // namespace
