#pragma once

// Helpers of the window-layer tests: dialog templates built in memory, a
// message box host that records instead of showing, and a control class
// "FwRecorder" whose own procedure records the messages it receives.

#include <windows.h>

#include <algorithm>
#include <initializer_list>
#include <string>
#include <vector>

#include "app/MessageBoxes.h"

constexpr WORD kInputEdit = 1000;
constexpr WORD kConvertButton = 1005;
constexpr WORD kExitButton = 1006;
constexpr WORD kTopMostCheck = 1012;
constexpr WORD kThreeStateCheck = 1013;
constexpr WORD kLinkStatic = 1014;
constexpr WORD kPlainStatic = 1015;
constexpr WORD kRecorderControl = 1016;

class DialogTemplate {
public:
    static constexpr const wchar_t* kButton = L"BUTTON";
    static constexpr const wchar_t* kEdit = L"EDIT";
    static constexpr const wchar_t* kStatic = L"STATIC";

    DialogTemplate() {
        Dword(WS_POPUP | WS_CAPTION | WS_SYSMENU);
        Dword(0);                                        // extended style
        for (WORD value : std::initializer_list<WORD>{0, 0, 0, 200, 100}) Word(value);  // controls, x, y, cx, cy
        Word(0);                                         // no menu
        Word(0);                                         // the dialog class
        Text(L"Test");
    }

    DialogTemplate& Control(WORD id, const wchar_t* className, DWORD style, const wchar_t* text = L"") {
        if (m_words.size() % 2 != 0) Word(0);  // items start on a DWORD boundary
        Dword(style | WS_CHILD | WS_VISIBLE);
        Dword(0);
        for (WORD value : std::initializer_list<WORD>{5, 5, 60, 12, id}) Word(value);  // x, y, cx, cy, id
        Text(className);
        Text(text);
        Word(0);  // no creation data
        ++m_words[kControlCount];
        return *this;
    }

    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(m_words.data()); }

private:
    static constexpr std::size_t kControlCount = 4;
    void Word(WORD value) { m_words.push_back(value); }
    void Dword(DWORD value) {
        Word(LOWORD(value));
        Word(HIWORD(value));
    }
    void Text(const wchar_t* text) {
        do Word(static_cast<WORD>(*text));
        while (*text++ != 0);
    }
    std::vector<WORD> m_words;
};

// Records every box instead of showing it, and answers OK.
class RecordingMessageBoxes final : public MessageBoxHost {
public:
    struct Box {
        bool throughApp;  // AppMessageBox: the caption is the application title
        std::string caption;
        std::string text;
        unsigned style;
    };
    int ShowAppMessage(std::string_view text, unsigned style) override {
        boxes.push_back({true, AppTitle(), std::string(text), style});
        return mb::kIdOk;
    }
    int ShowWindowMessage(WindowRef, std::string_view text, std::string_view caption, unsigned style) override {
        boxes.push_back({false, std::string(caption), std::string(text), style});
        return mb::kIdOk;
    }
    std::vector<Box> boxes;
};

// What reached FwRecorder's own procedure, and whether at WM_NCDESTROY it
// was again the window's procedure. It answers WM_APP + 1 with 22.
struct RecorderLog {
    std::vector<UINT> messages;
    bool ownProcAtNcDestroy = false;
    bool Received(UINT message) const {
        return std::find(messages.begin(), messages.end(), message) != messages.end();
    }
};
RecorderLog& Recorder();

// Common controls, the FwRecorder class, an empty recorder log.
void PrepareWindowTests();
