#pragma once

// Helpers of the About box's tests: a recorder in place of the link opener,
// the answer of a link's colour request, the tooltips watching a control, a
// cursor's image, and the test program started as a link's opener.

#include <windows.h>

#include <ostream>
#include <string>
#include <vector>

#include "about/HyperLink.h"

// The test program started with this flag records how it was started (see
// AboutTestMain.cpp) into the file this environment variable names.
inline constexpr const char* kRecordFlag = "--record";
inline constexpr const char* kRecordFileVariable = "ARRAYFORGE_ABOUT_RECORD";

// Puts a recorder in the place of the links' opener for its lifetime.
class ScopedLinkRecorder {
public:
    struct Opened {
        std::string link;
        int showCommand;
        bool operator==(const Opened&) const = default;
    };
    ScopedLinkRecorder();
    ~ScopedLinkRecorder();
    ScopedLinkRecorder(const ScopedLinkRecorder&) = delete;
    ScopedLinkRecorder& operator=(const ScopedLinkRecorder&) = delete;

    const std::vector<Opened>& Links() const;

private:
    CHyperLink::LinkOpener m_previous;
};

// What the dialog answered to WM_CTLCOLORSTATIC for `control`, and what the
// answer did to the device context it was given.
struct ColourAnswer {
    LRESULT brush;
    COLORREF textColour;
    int backgroundMode;
    HFONT font;  // the font selected into the device context
    LOGFONTA fontDescription;
};
ColourAnswer RequestColour(HWND dialog, HWND control);

// A window's place in its parent's client area, comparable and printable.
struct Box {
    LONG left, top, width, height;
    bool operator==(const Box&) const = default;
    friend std::ostream& operator<<(std::ostream& out, const Box& box) {
        return out << "(" << box.left << ", " << box.top << ") " << box.width << " x " << box.height;
    }
};
Box BoxOf(HWND control);

// `control`'s caption measured in an underlined copy of `font` (of the
// system font when none).
SIZE UnderlinedCaptionExtent(HWND control, HFONT font);

// The tooltip windows of this thread that have `control` as a tool, each
// with the text it shows for it.
struct ToolTipOfControl {
    HWND window;
    HWND toolParent;  // the window that gets the tooltip's notifications
    UINT flags;
    std::string text;
};
std::vector<ToolTipOfControl> ToolTipsOf(HWND control);

// A cursor's hot spot and pixels, to tell cursors apart by their picture.
struct CursorImage {
    POINT hotSpot;
    std::vector<unsigned char> mask;
    std::vector<unsigned char> colour;
    bool operator==(const CursorImage& other) const {
        return hotSpot.x == other.hotSpot.x && hotSpot.y == other.hotSpot.y && mask == other.mask &&
               colour == other.colour;
    }
};
// Empty (no mask) when `cursor` is not a valid cursor.
CursorImage ImageOf(HCURSOR cursor);

// The path of a file beside the test program.
std::string BesideTestProgram(const char* fileName);
