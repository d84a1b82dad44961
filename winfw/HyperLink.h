#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "winfw/Controls.h"
#include "winfw/Handles.h"

// The link pointer, loaded at its first use and then kept: one load attempt,
// whether it succeeds or not, for the life of the cache.
class CLinkCursorCache {
public:
    using Loader = UniqueIcon (*)();
    explicit CLinkCursorCache(Loader loader) : m_loader(loader) {}

    // The pointer, or null when the one load failed.
    HCURSOR Get();

private:
    Loader m_loader;
    UniqueIcon m_hLinkCursor;
    bool m_bLinkCursorTried = false;
};

// The box of a link whose caption measures `caption`, from its box in the
// template and its style: the height shrinks to the caption's (evenly from
// both edges with SS_CENTERIMAGE, else from the bottom), the width likewise
// by its alignment (SS_LEFT keeps the left edge, SS_RIGHT the right one,
// SS_CENTER both evenly).
RECT FitToCaption(RECT box, LONG style, SIZE caption);

// A static text control of a dialog turned into a link: its caption drawn
// underlined in the link colour on the dialog's background, the hand pointer
// over it, an optional tooltip, and a click (press and release without any
// mouse move in between) opens the link.
//
// Bind the dialog's static control (BindControl in DoDataExchange), then call
// SetLink once. The colours, the underline and the fitting of the control to
// its caption apply to plain text statics only (SS_LEFT, SS_CENTER or
// SS_RIGHT and no other bit of the style's low byte); the dialog must
// reflect WM_CTLCOLORSTATIC, as CDialog does.
class CHyperLink : public CStatic {
public:
    static constexpr COLORREF kUnvisitedColour = RGB(0, 0, 255);
    static constexpr COLORREF kVisitedColour = RGB(128, 0, 128);
    static constexpr COLORREF kPressedColour = RGB(255, 0, 0);

    // How a click opens its link: OpenLink's form.
    using LinkOpener = INT_PTR (*)(const char* link, int showCommand);

    CHyperLink() = default;
    ~CHyperLink() override;

    // `link` empty: the caption of this moment is the link. `tip` empty: no
    // tooltip. `movedCursor`: the pointer shown once the mouse moves with
    // the button down (the click is then cancelled); the caller's, not
    // destroyed here. Call once, after the control is bound.
    void SetLink(std::string_view link, std::string_view tip, HCURSOR movedCursor);

    // Relays the control's messages to its tooltip; consumes none.
    bool PreTranslateMessage(MSG& msg) override;

    // OpenLink by default. Returns the opener in use before.
    static LinkOpener SetLinkOpener(LinkOpener opener);

    // The help viewer's hand pointer (cursor 106 of the file at
    // `helpViewerPath`, loaded as data), else the system's hand pointer; a
    // private copy either way, or none if both fail.
    static UniqueIcon LoadLinkCursorFrom(const char* helpViewerPath);

protected:
    std::span<const MessageEntry> MessageTable() const override;

private:
    std::optional<LRESULT> OnSetCursor(WPARAM, LPARAM);
    std::optional<LRESULT> OnNcHitTest(WPARAM, LPARAM);
    std::optional<LRESULT> OnLButtonDown(WPARAM, LPARAM);
    std::optional<LRESULT> OnLButtonUp(WPARAM, LPARAM);
    std::optional<LRESULT> OnMouseMove(WPARAM, LPARAM);
    std::optional<LRESULT> OnCtlColor(WPARAM deviceContext, LPARAM);

    void FitToText();
    void Repaint();

    // The system help viewer's pointer, through LoadLinkCursorFrom.
    static UniqueIcon LoadLinkCursor();
    static CLinkCursorCache& LinkCursor();

    // Destroyed in reverse order: the font first, then the tooltip window,
    // then the texts; the base control last.
    std::string m_strLink;
    std::string m_strTip;
    CToolTipCtrl m_toolTip;
    UniqueFont m_fontUnderline;
    HFONT m_plainFont = nullptr;  // the control's font before the underline; not ours
    HCURSOR m_movedCursor = nullptr;  // not ours
    COLORREF m_crText = kUnvisitedColour;
    bool m_bVisited = false;
    bool m_bPressed = false;
    bool m_bMoved = false;
};
