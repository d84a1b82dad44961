#include "winfw/HyperLink.h"

#include <utility>

#include "winfw/LinkLauncher.h"
#include "winfw/SystemPaths.h"

namespace {

CHyperLink::LinkOpener g_linkOpener = &OpenLink;

// The help viewer's hand pointer.
constexpr WORD kHelpViewerLinkCursor = 106;

// Only text statics aligned left, centred or right, with no other bit of the
// style's low byte (SS_NOPREFIX, an icon, a frame...), are drawn as links.
bool IsPlainTextStatic(LONG style) { return (style & 0xFF) <= SS_RIGHT; }

// A client-area device context of a window with a font selected into it,
// both given back when the object goes.
class ClientDcWithFont {
public:
    ClientDcWithFont(HWND window, HFONT font) : m_window(window), m_dc(::GetDC(window)) {
        if (m_dc != nullptr && font != nullptr) m_previousFont = ::SelectObject(m_dc, font);
    }
    ~ClientDcWithFont() {
        if (m_dc == nullptr) return;
        if (m_previousFont != nullptr) ::SelectObject(m_dc, m_previousFont);
        ::ReleaseDC(m_window, m_dc);
    }
    ClientDcWithFont(const ClientDcWithFont&) = delete;
    ClientDcWithFont& operator=(const ClientDcWithFont&) = delete;

    HDC Get() const { return m_dc; }

private:
    HWND m_window;
    HDC m_dc;
    HGDIOBJ m_previousFont = nullptr;
};

// `font` with an underline, or none if it can't be made.
UniqueFont UnderlinedCopy(HFONT font) {
    // A control that was given no font draws its text in the system font.
    if (font == nullptr) font = static_cast<HFONT>(::GetStockObject(SYSTEM_FONT));
    LOGFONTA description{};
    if (::GetObjectA(font, sizeof description, &description) == 0) return {};
    description.lfUnderline = TRUE;
    return UniqueFont(::CreateFontIndirectA(&description));
}

}  // namespace

HCURSOR CLinkCursorCache::Get() {
    if (!m_bLinkCursorTried) {
        m_hLinkCursor = m_loader();
        m_bLinkCursorTried = true;
    }
    return m_hLinkCursor.Get();
}

CHyperLink::~CHyperLink() {
    // The control may outlive this object: it gets its own font back before
    // the underlined one is deleted.
    if (Hwnd() != nullptr && m_fontUnderline && Send(WM_GETFONT) == reinterpret_cast<LRESULT>(m_fontUnderline.Get()))
        Send(WM_SETFONT, reinterpret_cast<WPARAM>(m_plainFont), FALSE);
}

void CHyperLink::SetLink(std::string_view link, std::string_view tip, HCURSOR movedCursor) {
    m_movedCursor = movedCursor;
    m_strLink = link;
    m_strTip = tip;
    if (m_strLink.empty()) m_strLink = Text();

    // A second call replaces the tooltip of the first.
    m_toolTip = CToolTipCtrl();
    if (m_strTip.empty()) return;
    // Owned by the control (the system makes its top-level dialog the real
    // owner of a pop-up); the tool is the whole control, and the tooltip
    // keeps its own copy of the text.
    if (!m_toolTip.Create(Hwnd())) return;
    m_toolTip.AddTool(Hwnd(), m_strTip.c_str());
}

bool CHyperLink::PreTranslateMessage(MSG& msg) {
    // The tooltip watches no window itself: it learns of the pointer's
    // movements only from what is relayed here.
    m_toolTip.RelayEvent(msg);
    return CStatic::PreTranslateMessage(msg);
}

CHyperLink::LinkOpener CHyperLink::SetLinkOpener(LinkOpener opener) {
    return std::exchange(g_linkOpener, opener);
}

std::span<const MessageEntry> CHyperLink::MessageTable() const {
    static constexpr MessageEntry kTable[] = {
        Message<&CHyperLink::OnSetCursor>(WM_SETCURSOR),
        Message<&CHyperLink::OnNcHitTest>(WM_NCHITTEST),
        Message<&CHyperLink::OnLButtonDown>(WM_LBUTTONDOWN),
        Message<&CHyperLink::OnLButtonUp>(WM_LBUTTONUP),
        Message<&CHyperLink::OnMouseMove>(WM_MOUSEMOVE),
        Reflected<&CHyperLink::OnCtlColor>(WM_CTLCOLORSTATIC),
    };
    return kTable;
}

std::optional<LRESULT> CHyperLink::OnSetCursor(WPARAM, LPARAM) {
    // Answered without default processing either way: TRUE tells the system
    // that the pointer is set.
    HCURSOR cursor = LinkCursor().Get();
    if (cursor == nullptr) return FALSE;
    ::SetCursor(cursor);
    return TRUE;
}

std::optional<LRESULT> CHyperLink::OnNcHitTest(WPARAM, LPARAM) {
    // A static text is transparent to the mouse (HTTRANSPARENT): claimed
    // here, the mouse messages come to the control and not to the dialog.
    return HTCLIENT;
}

std::optional<LRESULT> CHyperLink::OnLButtonDown(WPARAM, LPARAM) {
    m_bPressed = true;
    m_crText = kPressedColour;
    // The release comes here even when the pointer has left the control.
    ::SetCapture(Hwnd());
    Repaint();
    return std::nullopt;
}

std::optional<LRESULT> CHyperLink::OnMouseMove(WPARAM, LPARAM) {
    if (m_bPressed) {
        m_bMoved = true;
        // While the mouse is captured the system sends no WM_SETCURSOR: this
        // pointer stays until the release.
        ::SetCursor(m_movedCursor);
    }
    return std::nullopt;
}

std::optional<LRESULT> CHyperLink::OnLButtonUp(WPARAM, LPARAM) {
    if (m_bPressed) {
        if (!m_bMoved) {
            // Visited even when the launch fails: nothing reports it.
            m_bVisited = true;
            g_linkOpener(m_strLink.c_str(), SW_SHOWNORMAL);
        }
        m_bMoved = false;
        m_bPressed = false;
        m_crText = m_bVisited ? kVisitedColour : kUnvisitedColour;
        ::ReleaseCapture();
        Repaint();
    }
    return std::nullopt;
}

std::optional<LRESULT> CHyperLink::OnCtlColor(WPARAM deviceContext, LPARAM) {
    if (!IsPlainTextStatic(::GetWindowLongA(Hwnd(), GWL_STYLE))) return std::nullopt;  // the dialog's own colours
    if (!m_fontUnderline) {
        // At the first paint, when the control's font is known.
        m_plainFont = reinterpret_cast<HFONT>(Send(WM_GETFONT));
        m_fontUnderline = UnderlinedCopy(m_plainFont);
        // Selecting the font into the device context below is not enough
        // everywhere: a static control that selects its own font after asking
        // for its colours (as Wine's does) would draw without the underline.
        if (m_fontUnderline) Send(WM_SETFONT, reinterpret_cast<WPARAM>(m_fontUnderline.Get()), FALSE);
        FitToText();
    }
    auto dc = reinterpret_cast<HDC>(deviceContext);
    if (m_fontUnderline) ::SelectObject(dc, m_fontUnderline.Get());
    ::SetTextColor(dc, m_crText);
    ::SetBkMode(dc, TRANSPARENT);
    // The stock hollow brush: no background behind the caption, the dialog's
    // shows through. Stock objects are never deleted.
    return reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH));
}

RECT FitToCaption(RECT box, LONG style, SIZE caption) {
    // Integer division truncates toward zero: an odd difference leaves one
    // pixel more (or, for a box narrower than its caption, one less).
    if ((style & SS_CENTERIMAGE) != 0) {
        const LONG shrink = ((box.bottom - box.top) - caption.cy) / 2;
        box.top += shrink;
        box.bottom -= shrink;
    } else {
        box.bottom = box.top + caption.cy;
    }
    if ((style & SS_CENTER) != 0) {
        const LONG shrink = ((box.right - box.left) - caption.cx) / 2;
        box.left += shrink;
        box.right -= shrink;
    } else if ((style & SS_RIGHT) != 0) {
        box.left = box.right - caption.cx;
    } else {
        box.right = box.left + caption.cx;
    }
    return box;
}

void CHyperLink::FitToText() {
    RECT window{};
    ::GetWindowRect(Hwnd(), &window);
    // Both corners into the parent's client coordinates (MapWindowPoints
    // also keeps left and right in order in a right-to-left parent).
    ::MapWindowPoints(nullptr, ::GetParent(Hwnd()), reinterpret_cast<POINT*>(&window), sizeof window / sizeof(POINT));
    RECT client{};
    ::GetClientRect(Hwnd(), &client);
    const LONG borderWidth = (window.right - window.left) - client.right;
    const LONG borderHeight = (window.bottom - window.top) - client.bottom;

    const std::string caption = Text();
    SIZE text{};
    {
        ClientDcWithFont dc(Hwnd(), m_fontUnderline.Get());
        ::GetTextExtentPoint32A(dc.Get(), caption.data(), static_cast<int>(caption.size()), &text);
    }

    window = FitToCaption(window, ::GetWindowLongA(Hwnd(), GWL_STYLE), text);
    ::MoveWindow(Hwnd(), window.left, window.top, (window.right - window.left) + borderWidth,
                 (window.bottom - window.top) + borderHeight, TRUE);
}

void CHyperLink::Repaint() { ::InvalidateRect(Hwnd(), nullptr, TRUE); }

UniqueIcon CHyperLink::LoadLinkCursorFrom(const char* helpViewerPath) {
    // As data only: none of the file's code runs, and its resources are all
    // that is needed.
    const UniqueModule viewer(
        ::LoadLibraryExA(helpViewerPath, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    if (viewer) {
        // The loaded cursor belongs to the module: the copy outlives it.
        if (HCURSOR cursor = ::LoadCursorA(viewer.Get(), MAKEINTRESOURCEA(kHelpViewerLinkCursor))) {
            if (UniqueIcon copy{::CopyIcon(cursor)}) return copy;
        }
    }
    // The system's hand (shared, so copied as well: the cache owns what it holds).
    if (HCURSOR hand = ::LoadCursorA(nullptr, IDC_HAND)) return UniqueIcon(::CopyIcon(hand));
    return {};
}

UniqueIcon CHyperLink::LoadLinkCursor() {
    return LoadLinkCursorFrom(SystemFolderFile(&::GetWindowsDirectoryA, "winhlp32.exe").c_str());
}

CLinkCursorCache& CHyperLink::LinkCursor() {
    // Shared by every link of the process, loaded at the first pointer over one.
    static CLinkCursorCache cache(&LoadLinkCursor);
    return cache;
}
