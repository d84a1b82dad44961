// One run of the real Tabulo.exe, driven from this test as a user would
// drive it: paths typed on the keyboard, a conversion with the overwrite
// question, failure boxes, Help (the stand-in engine of tests/win/help logs
// what it is asked), the About links followed into the logging browser that
// scripts/test.sh registers, Browse and its folder kept, a window that
// answers during a long run, and the end of the session during a run.

#include <windows.h>

#include <commctrl.h>
#include <dlgs.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "base/ErrorReport.h"
#include "base/TextFormat.h"
#include "base/Texts.h"
#include "res/resource.h"
#include "tests/support/TestSupport.h"
#include "tests/win/winfw/TestSupportWin.h"
#include "ui/LinkTargets.h"

using namespace testing_support;

// The program's path with Windows' separators; `extension` in place of "exe".
std::string ProgramPath(const char* extension = "exe") {
    std::string path = ARRAYFORGE_PROGRAM;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path.replace(path.size() - 3, 3, extension);
}

// The program started in `folder`; its main dialog and the boxes it shows.
struct Program {
    explicit Program(const std::string& folder) {
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        if (::CreateProcessA(ProgramPath().c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                             &startup, &process))
            dialog = WaitForBox();
    }
    ~Program() {
        ::TerminateProcess(process.hProcess, 99);
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
    }
    std::string Field(int id) const { return TextOf(::GetDlgItem(dialog, id)); }
    // Posted, as the mouse would: the driver never waits in the program's handler.
    void Click(int id) const { ::PostMessageA(::GetDlgItem(dialog, id), BM_CLICK, 0, 0); }
    HWND Focus() const {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        return ::GetGUIThreadInfo(process.dwThreadId, &info) ? info.hwndFocus : nullptr;
    }
    // Typed into the focused control of the foreground window, then Tab.
    void Type(const std::string& text) const {
        std::vector<INPUT> keys;
        for (char c : text + '\t')
            for (DWORD up : {0, KEYEVENTF_KEYUP}) {
                INPUT& key = keys.emplace_back();
                key.type = INPUT_KEYBOARD;
                key.ki = c == '\t' ? KEYBDINPUT{VK_TAB, 0, up, 0, 0}
                                   : KEYBDINPUT{0, static_cast<WORD>(c), KEYEVENTF_UNICODE | up, 0, 0};
            }
        ::SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof(INPUT));
    }
    void Convert(const std::string& input, const std::string& output) const {
        ::SetDlgItemTextA(dialog, IDC_SOURCE_PATH, input.c_str());
        ::SetDlgItemTextA(dialog, IDC_OUTPUT_PATH, output.c_str());
        // Not before the last run has ended: till then a click goes nowhere.
        EXPECT_TRUE(WaitFor([&] { return ::IsWindowEnabled(::GetDlgItem(dialog, IDC_CONVERT)); })) << input;
        Click(IDC_CONVERT);
    }
    // A visible dialog-class window of the program other than the main dialog.
    HWND WaitForBox() const {
        HWND box = nullptr;
        EXPECT_TRUE(WaitFor([&] {
            while ((box = ::FindWindowExA(nullptr, box, "#32770", nullptr)) != nullptr)
                if (box != dialog && ::IsWindowVisible(box) &&
                    ::GetWindowThreadProcessId(box, nullptr) == process.dwThreadId)
                    return true;
            return false;
        })) << "no window appeared";
        return box;
    }
    // Checks the message box, owned by the dialog, and clicks `button`.
    void Answer(std::string_view caption, std::string_view text, int button) const {
        HWND box = WaitForBox();
        EXPECT_TRUE(TextOf(box) == caption && ::GetWindow(box, GW_OWNER) == dialog)
            << TextOf(box) << ", over the dialog";
        EXPECT_EQ(TextOf(::GetDlgItem(box, 0xFFFF)), text);
        ::PostMessageA(::GetDlgItem(box, button), BM_CLICK, 0, 0);
        EXPECT_TRUE(WaitFor([&] { return !::IsWindowVisible(box); })) << "the box stayed open";
    }
    // How the program ended: its exit code, or STILL_ACTIVE if it runs on after 30 s.
    DWORD ExitCode() const {
        DWORD code = STILL_ACTIVE;
        ::WaitForSingleObject(process.hProcess, 30000);
        ::GetExitCodeProcess(process.hProcess, &code);
        return code;
    }

    PROCESS_INFORMATION process{};
    HWND dialog = nullptr;
};

std::string LastDir() {
    char path[MAX_PATH] = {};
    DWORD size = sizeof path;
    ::RegGetValueA(HKEY_CURRENT_USER, "Software\\Corvane\\Tabulo", "LastDir", RRF_RT_REG_SZ, nullptr, path, &size);
    return path;
}

TEST(Program, MainWalkThrough) {
    ScratchFolder folder;
    // The pointer away from every window: a window appearing under it gets a
    // move, which between a link's press and release cancels the click.
    ::SetCursorPos(0, 0);
    ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Corvane\\Tabulo");
    // The stand-in engine stays registered in the test prefix: no later test uses the real one.
    const std::string fake = ProgramPath().substr(0, ProgramPath().rfind('\\')) + "\\tests\\win\\help\\fake_engine.dll";
    ::RegSetKeyValueA(HKEY_CLASSES_ROOT, "CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32", nullptr,
                      REG_SZ, fake.c_str(), fake.size() + 1);
    WriteBytes(folder / "ten.bin", "0123456789");
    WriteBytes(folder / "ten.c", "old");
    auto program = std::make_unique<Program>(folder.Path().string());
    const HWND dialog = program->dialog;  // still named in the engine's log after the program ends
    ASSERT_NE(dialog, nullptr) << "the program showed no dialog";
    // The input field has the focus; Tab leads to the output field.
    ASSERT_TRUE(WaitFor([&] {
        return ::GetForegroundWindow() == dialog && program->Focus() == ::GetDlgItem(dialog, IDC_SOURCE_PATH);
    }));
    program->Type(folder / "ten.bin");
    program->Type(folder / "ten.c");
    ASSERT_TRUE(WaitFor([&] { return program->Field(IDC_OUTPUT_PATH) == folder / "ten.c"; })) << "typed";
    program->Click(IDC_CONVERT);
    program->Answer(texts::kAppTitle, texts::kOverwriteQuestion, IDYES);
    program->Answer(texts::kAppTitle, texts::kFileWritten, IDOK);
    EXPECT_TRUE(WaitFor([&] { return ::GetForegroundWindow() == dialog; })) << "active again once the box is closed";
    EXPECT_EQ(MaskCreationTime(ReadBytes(folder / "ten.c")), GoldenFile("ten_char.c"));
    program->Convert(folder / "missing.bin", folder / "missing.c");
    program->Answer(texts::kErrorCaption, texts::kInputNotFound, IDOK);
    // A full disk (drive X: of scripts/test.sh) over an existing output: the failure report, the old file as it was.
    if (const char* small = std::getenv("ARRAYFORGE_SMALL_DIR")) {
        const std::string full = std::string(small) + "full.c";
        WriteBytes(folder / "big.bin", Pattern(200000));
        WriteBytes(full, "old");
        program->Convert(folder / "big.bin", full);
        program->Answer(texts::kAppTitle, texts::kOverwriteQuestion, IDYES);
        program->Answer(texts::kAppTitle, ErrorReportText({FileErrorCause::DiskFull, 0, full}), IDOK);
        EXPECT_EQ(ReadBytes(full), "old");
        ::DeleteFileA(full.c_str());
    }

    program->Click(IDC_HELP_BUTTON);
    ::PostMessageA(dialog, WM_SYSCOMMAND, IDM_ABOUTBOX | 0x3, 0);  // the system keeps the low four bits for itself
    HWND about = program->WaitForBox();
    EXPECT_TRUE(WaitFor([&] { return program->Focus() == ::GetDlgItem(about, IDOK); }))
        << "the About box's first tab stop";
    for (int link : {IDC_SITE_LINK, IDC_MAIL_LINK}) {
        ::PostMessageA(::GetDlgItem(about, link), WM_LBUTTONDOWN, MK_LBUTTON, 0);
        ::PostMessageA(::GetDlgItem(about, link), WM_LBUTTONUP, 0, 0);
    }
    if (const char* browserLog = std::getenv("ARRAYFORGE_BROWSER_LOG")) {
        // Each link starts a program of its own: they may log in either order.
        for (std::string_view link : {links::kSupportMail, links::kSiteAddress})
            EXPECT_TRUE(WaitFor([&] { return ReadBytes(browserLog).find(link) != std::string::npos; })) << link;
    }
    ::PostMessageA(::GetDlgItem(about, IDOK), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return !::IsWindow(about); }));

    // Browse fills both paths from the file chosen; its folder is kept for the next start.
    ::CreateDirectoryA((folder / "sub").c_str(), nullptr);
    WriteBytes(folder / "sub\\pick.bin", "x");
    program->Click(IDC_BROWSE);
    const HWND chooser = program->WaitForBox();
    ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(::GetDlgItem(chooser, cmb13)); }));
    EXPECT_EQ(TextOf(::GetDlgItem(chooser, cmb1)), texts::kBrowseFilter.substr(0, texts::kBrowseFilter.find('|')));
    EXPECT_EQ(TextOf(::GetDlgItem(chooser, cmb13)), texts::kBrowseInitialName);
    ::SetDlgItemTextA(chooser, cmb13, (folder / "sub\\pick.bin").c_str());
    ::PostMessageA(::GetDlgItem(chooser, IDOK), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return program->Field(IDC_OUTPUT_PATH) == folder / "sub\\pick.c"; }));

    // During a run the window answers at once, and refuses the About box (the low four bits are the system's).
    WriteBytes(folder / "big.bin", Pattern(300 * 28672));
    program->Convert(folder / "big.bin", folder / "big.c");
    ASSERT_TRUE(WaitFor([&] { return !::IsWindowEnabled(dialog); })) << "disabled as under a modal box";
    DWORD_PTR answer = 1;  // as a handled command: 0
    EXPECT_TRUE(::SendMessageTimeoutA(dialog, WM_SYSCOMMAND, IDM_ABOUTBOX | 0x3, 0, SMTO_NORMAL, 500, &answer) &&
                answer == 0);
    program->Answer(texts::kAppTitle, texts::kFileWritten, IDOK);
    EXPECT_TRUE(ReadBytes(folder / "big.c").ends_with("\r\n\t};\r\n")) << "the run was cut short";
    program->Click(IDC_EXIT);
    EXPECT_EQ(program->ExitCode(), 0u) << "the program did not end, or not well";
    EXPECT_EQ(LastDir(), folder / "sub\\");
    // Help for the dialog, then the shut-down: close all, uninitialise (numbers in hex).
    EXPECT_EQ(ReadBytes(folder / "engine.log"),
              "call " + FormatText("%lx", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(dialog))) + " " +
                  ProgramPath("chm") + " 1 0\r\ncall 0 - 12 0\r\ncall 0 - 1d 0\r\n");

    // The session ends during a run: the process is ended from outside, and leaves no temporary file.
    program = std::make_unique<Program>(folder.Path().string());
    WriteBytes(folder / "huge.bin", Pattern(64 << 20));
    program->Convert(folder / "huge.bin", folder / "huge.c");
    const auto temporaries = [&] {
        WIN32_FIND_DATAA found{};
        const HANDLE search = ::FindFirstFileA((folder / "~arrayforge-*.tmp").c_str(), &found);
        return search != INVALID_HANDLE_VALUE && ::FindClose(search);
    };
    ASSERT_TRUE(WaitFor(temporaries)) << "no run under way";
    ::SendMessageA(program->dialog, WM_ENDSESSION, TRUE, 0);
    program.reset();
    EXPECT_TRUE(WaitFor([&] { return !temporaries(); })) << "the temporary file stayed";
}
