#include "winfw/MessageBoxes.h"

#include "base/Texts.h"

namespace {

HWND g_mainWindow = nullptr;

std::string& TitleStorage() {
    static std::string title(texts::kAppTitle);
    return title;
}

}  // namespace

int AppMessageBox(std::string_view text, UINT style) {
    HWND owner = g_mainWindow != nullptr ? ::GetLastActivePopup(g_mainWindow) : nullptr;
    return WindowMessageBox(owner, text, AppTitle(), style);
}

int WindowMessageBox(HWND owner, std::string_view text, std::string_view caption, UINT style) {
    // MessageBoxA disables its owner while it is shown.
    const std::string textZ(text);
    const std::string captionZ(caption);
    return ::MessageBoxA(owner, textZ.c_str(), captionZ.c_str(), style);
}

const std::string& AppTitle() { return TitleStorage(); }

void SetAppTitle(std::string title) { TitleStorage() = std::move(title); }

HWND AppMainWindow() { return g_mainWindow; }

void SetAppMainWindow(HWND window) { g_mainWindow = window; }
