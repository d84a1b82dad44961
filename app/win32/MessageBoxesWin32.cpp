#include <windows.h>

#include <string>

#include "app/MessageBoxes.h"

namespace {

class WindowsMessageBoxes final : public MessageBoxHost {
public:
    int ShowAppMessage(std::string_view text, unsigned style) override {
        // Owned by whatever pop-up is active over the main window, so the box
        // stays above it; MessageBoxA disables its owner while it is shown.
        HWND owner = static_cast<HWND>(AppMainWindow());
        if (owner != nullptr) owner = ::GetLastActivePopup(owner);
        return Show(owner, text, AppTitle(), style);
    }
    int ShowWindowMessage(WindowRef owner, std::string_view text, std::string_view caption,
                          unsigned style) override {
        return Show(static_cast<HWND>(owner), text, caption, style);
    }

private:
    static int Show(HWND owner, std::string_view text, std::string_view caption, unsigned style) {
        std::string textZ(text);
        std::string captionZ(caption);
        return ::MessageBoxA(owner, textZ.c_str(), captionZ.c_str(), style);
    }
};

}  // namespace

MessageBoxHost& PlatformMessageBoxHost() {
    static WindowsMessageBoxes host;
    return host;
}
