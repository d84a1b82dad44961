#include "AboutTestSupport.h"

#include <commctrl.h>

#include "about/HyperLink.h"
#include "winfw/Handles.h"

namespace {

std::vector<ScopedLinkRecorder::Opened> g_opened;

INT_PTR RecordLink(const char* link, int showCommand) {
    g_opened.push_back({link, showCommand});
    return 42;
}

std::vector<unsigned char> BitsOf(HBITMAP bitmap) {
    BITMAP description{};
    if (bitmap == nullptr || ::GetObjectA(bitmap, sizeof description, &description) == 0) return {};
    std::vector<unsigned char> bits(static_cast<std::size_t>(description.bmWidthBytes) * description.bmHeight);
    ::GetBitmapBits(bitmap, static_cast<LONG>(bits.size()), bits.data());
    return bits;
}

BOOL CALLBACK CollectToolTip(HWND window, LPARAM found) {
    char className[64] = {};
    ::GetClassNameA(window, className, sizeof className);
    if (lstrcmpiA(className, TOOLTIPS_CLASSA) == 0) reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
    return TRUE;
}

}  // namespace

ScopedLinkRecorder::ScopedLinkRecorder() : m_previous(CHyperLink::SetLinkOpener(&RecordLink)) { g_opened.clear(); }

ScopedLinkRecorder::~ScopedLinkRecorder() { CHyperLink::SetLinkOpener(m_previous); }

const std::vector<ScopedLinkRecorder::Opened>& ScopedLinkRecorder::Links() const { return g_opened; }

ColourAnswer RequestColour(HWND dialog, HWND control) {
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    ::ReleaseDC(nullptr, screen);
    HGDIOBJ originalFont = ::GetCurrentObject(dc, OBJ_FONT);
    // Something the answer must overwrite to count.
    ::SetTextColor(dc, RGB(1, 2, 3));
    ::SetBkMode(dc, OPAQUE);

    ColourAnswer answer{};
    answer.brush = ::SendMessageA(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                  reinterpret_cast<LPARAM>(control));
    answer.textColour = ::GetTextColor(dc);
    answer.backgroundMode = ::GetBkMode(dc);
    answer.font = static_cast<HFONT>(::GetCurrentObject(dc, OBJ_FONT));
    ::GetObjectA(answer.font, sizeof answer.fontDescription, &answer.fontDescription);
    // The link's font must not stay selected: it may be deleted before the DC.
    ::SelectObject(dc, originalFont);
    ::DeleteDC(dc);
    return answer;
}

Box BoxOf(HWND control) {
    RECT rect{};
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(nullptr, ::GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

SIZE UnderlinedCaptionExtent(HWND control, HFONT font) {
    LOGFONTA description{};
    ::GetObjectA(font != nullptr ? font : static_cast<HFONT>(::GetStockObject(SYSTEM_FONT)), sizeof description,
                 &description);
    description.lfUnderline = TRUE;
    const UniqueFont underlined(::CreateFontIndirectA(&description));
    char caption[256] = {};
    const int length = ::GetWindowTextA(control, caption, sizeof caption);
    HDC dc = ::GetDC(control);
    HGDIOBJ previous = ::SelectObject(dc, underlined.Get());
    SIZE extent{};
    ::GetTextExtentPoint32A(dc, caption, length, &extent);
    ::SelectObject(dc, previous);
    ::ReleaseDC(control, dc);
    return extent;
}

std::vector<ToolTipOfControl> ToolTipsOf(HWND control) {
    std::vector<HWND> tooltips;
    ::EnumThreadWindows(::GetCurrentThreadId(), &CollectToolTip, reinterpret_cast<LPARAM>(&tooltips));

    std::vector<ToolTipOfControl> result;
    for (HWND tooltip : tooltips) {
        const auto count = static_cast<int>(::SendMessageA(tooltip, TTM_GETTOOLCOUNT, 0, 0));
        for (int index = 0; index < count; ++index) {
            char text[256] = {};
            TOOLINFOA info{};
            info.cbSize = TTTOOLINFOA_V2_SIZE;
            info.lpszText = text;
            if (!::SendMessageA(tooltip, TTM_ENUMTOOLSA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&info)))
                continue;
            if (info.uId == reinterpret_cast<UINT_PTR>(control)) result.push_back({tooltip, info.hwnd, info.uFlags, text});
        }
    }
    return result;
}

CursorImage ImageOf(HCURSOR cursor) {
    ICONINFO info{};
    if (cursor == nullptr || !::GetIconInfo(cursor, &info)) return {};
    // GetIconInfo hands over new bitmaps.
    const UniqueBitmap mask(info.hbmMask);
    const UniqueBitmap colour(info.hbmColor);
    return {{static_cast<LONG>(info.xHotspot), static_cast<LONG>(info.yHotspot)}, BitsOf(mask.Get()),
            BitsOf(colour.Get())};
}

std::string BesideTestProgram(const char* fileName) {
    char path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string result(path, length);
    result.resize(result.find_last_of('\\') + 1);
    return result.append(fileName);
}
