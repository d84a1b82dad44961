// Without a window system a message box becomes a line on standard error.
// Nobody can answer here, so a question is answered No: the safe choice.

#include <cstdio>

#include "app/MessageBoxes.h"

namespace {

class StandardErrorMessageBoxes final : public MessageBoxHost {
public:
    int ShowAppMessage(std::string_view text, unsigned style) override {
        return Show(text, AppTitle(), style);
    }
    int ShowWindowMessage(WindowRef, std::string_view text, std::string_view caption,
                          unsigned style) override {
        return Show(text, caption, style);
    }

private:
    static int Show(std::string_view text, std::string_view caption, unsigned style) {
        std::fprintf(stderr, "%.*s: %.*s\n", static_cast<int>(caption.size()), caption.data(),
                     static_cast<int>(text.size()), text.data());
        return (style & 0x0F) == mb::kYesNo ? mb::kIdNo : mb::kIdOk;
    }
};

}  // namespace

MessageBoxHost& PlatformMessageBoxHost() {
    static StandardErrorMessageBoxes host;
    return host;
}
