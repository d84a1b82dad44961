#include "app/MessageBoxes.h"

#include "app/Texts.h"

// Provided by the platform (app/win32 or app/posix).
MessageBoxHost& PlatformMessageBoxHost();

namespace {

MessageBoxHost* g_installedHost = nullptr;
WindowRef g_mainWindow = nullptr;

std::string& TitleStorage() {
    static std::string title(texts::kAppTitle);
    return title;
}

}  // namespace

MessageBoxHost& CurrentMessageBoxHost() {
    return g_installedHost != nullptr ? *g_installedHost : PlatformMessageBoxHost();
}

int AppMessageBox(std::string_view text, unsigned style) {
    return CurrentMessageBoxHost().ShowAppMessage(text, style);
}

int WindowMessageBox(WindowRef owner, std::string_view text, std::string_view caption, unsigned style) {
    return CurrentMessageBoxHost().ShowWindowMessage(owner, text, caption, style);
}

ScopedMessageBoxHost::ScopedMessageBoxHost(MessageBoxHost& host) : m_previous(g_installedHost) {
    g_installedHost = &host;
}

ScopedMessageBoxHost::~ScopedMessageBoxHost() { g_installedHost = m_previous; }

const std::string& AppTitle() { return TitleStorage(); }

void SetAppTitle(std::string title) { TitleStorage() = std::move(title); }

WindowRef AppMainWindow() { return g_mainWindow; }

void SetAppMainWindow(WindowRef window) { g_mainWindow = window; }
