#pragma once

#include <string>
#include <string_view>

// An opaque window handle, so that portable code can name a message box's
// owner (an HWND on Windows).
using WindowRef = void*;

// Message box styles and answers, with the values Windows gives them.
namespace mb {
constexpr unsigned kOk = 0x00;
constexpr unsigned kYesNo = 0x04;
constexpr unsigned kIconStop = 0x10;
constexpr unsigned kIconQuestion = 0x20;
constexpr unsigned kIconExclamation = 0x30;
constexpr unsigned kIconInformation = 0x40;
constexpr unsigned kSystemModal = 0x1000;

constexpr int kIdOk = 1;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;
}  // namespace mb

// Shows the program's message boxes. The Windows program shows real ones;
// the command-line front end talks on the terminal; tests script the answers.
class MessageBoxHost {
public:
    // Caption: the application title; owner: the application's main window.
    virtual int ShowAppMessage(std::string_view text, unsigned style) = 0;
    virtual int ShowWindowMessage(WindowRef owner, std::string_view text, std::string_view caption,
                                  unsigned style) = 0;

protected:
    ~MessageBoxHost() = default;
};

int AppMessageBox(std::string_view text, unsigned style);
int WindowMessageBox(WindowRef owner, std::string_view text, std::string_view caption, unsigned style);

// The host in use; the platform's own when none has been installed.
MessageBoxHost& CurrentMessageBoxHost();

// Installs `host` for the lifetime of this object, then restores the one before.
class ScopedMessageBoxHost {
public:
    explicit ScopedMessageBoxHost(MessageBoxHost& host);
    ~ScopedMessageBoxHost();
    ScopedMessageBoxHost(const ScopedMessageBoxHost&) = delete;
    ScopedMessageBoxHost& operator=(const ScopedMessageBoxHost&) = delete;

private:
    MessageBoxHost* m_previous;
};

// The application title, caption of every AppMessageBox.
const std::string& AppTitle();
void SetAppTitle(std::string title);

// The application's main window, owner of every AppMessageBox; none by default.
WindowRef AppMainWindow();
void SetAppMainWindow(WindowRef window);
