#pragma once

#include <windows.h>

#include <optional>
#include <span>
#include <string>

class CWnd;

// One entry of a window class's message table: a window message, or (for
// WM_COMMAND) a control's notification code together with the control's id,
// paired with a member handler. Built with CWnd::Message, Command, Clicked
// and Reflected.
struct MessageEntry {
    // Returns the message's answer, or nothing for default processing.
    using Handler = std::optional<LRESULT> (*)(CWnd& window, WPARAM wParam, LPARAM lParam);

    UINT message;
    UINT notification;  // WM_COMMAND entries only
    UINT controlId;     // WM_COMMAND entries only
    Handler handler;
};

// A control receives some of its parent's messages about it back as
// ReflectedMessage(message), with the parent's wParam and lParam. The base
// lies above the range that controls use for their own WM_USER messages.
constexpr UINT kReflectedMessageBase = WM_USER + 0x1C00;
constexpr UINT ReflectedMessage(UINT message) { return kReflectedMessageBase + message; }

namespace winfw_detail {
template <class Member>
struct MemberOf;
template <class Class, class Result, class... Args>
struct MemberOf<Result (Class::*)(Args...)> {
    using Type = Class;
};
template <class Class, class Result, class... Args>
struct MemberOf<Result (Class::*)(Args...) noexcept> {
    using Type = Class;
};
}  // namespace winfw_detail

// A window as seen by the program: an object handles the messages of a
// dialog (CDialog) or of a subclassed control (SubclassWindow). The object
// is found from the window through a window property, set when the
// binding starts and removed when it ends: at WM_NCDESTROY, or when the
// object dies first.
class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND Hwnd() const { return m_window; }

    // The object handling `window`'s messages, or null.
    static CWnd* FromHandle(HWND window);

    // Replaces `window`'s window procedure: the message table sees each
    // message first, the previous procedure gets the rest. Undone at
    // WM_NCDESTROY, or when the object dies. Fails when the object already
    // has a window or the window already has an object.
    bool SubclassWindow(HWND window);
    bool SubclassDlgItem(int controlId, HWND dialog);

    // Called by a message loop before it dispatches a message: the loop's own
    // window (the modal dialog) sees every message, a control those for
    // itself and its children. True: dealt with, not to be dispatched.
    virtual bool PreTranslateMessage(MSG& msg);

    // Offers `msg` to the hooks of the framework objects from its window up
    // to this one, innermost first, then to this object's hook.
    bool PreTranslateTree(MSG& msg);

    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    HWND GetDlgItem(int controlId) const;
    std::string Text() const;
    void SetText(const char* text);
    void Enable(bool enable);

    // Message table entries, for use in a derived class's MessageTable.
    // Message handler: std::optional<LRESULT> Class::OnX(WPARAM, LPARAM),
    // nothing meaning "default processing". Command handler: void Class::OnX().
    template <auto Handler>
    static constexpr MessageEntry Message(UINT message);
    template <auto Handler>
    static constexpr MessageEntry Command(UINT notification, UINT controlId);
    template <auto Handler>
    static constexpr MessageEntry Clicked(UINT controlId) {
        return Command<Handler>(BN_CLICKED, controlId);
    }
    template <auto Handler>
    static constexpr MessageEntry Reflected(UINT message) {
        return Message<Handler>(ReflectedMessage(message));
    }

protected:
    // The class's table; the first entry that matches a message handles it.
    virtual std::span<const MessageEntry> MessageTable() const { return {}; }

    // Everything a message meets before default processing: reflection of
    // colour requests to framework controls, then the message table. Derived
    // framework classes add their built-in handling by overriding it.
    virtual bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    // OnWndMsg inside the error report. A failure reported counts as handled
    // with answer 0. Any other exception must not unwind through the
    // system's frames that called the window procedure: noexcept ends the
    // program there instead.
    bool RouteMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) noexcept;

    // Starts and ends the binding of a window whose procedure the framework
    // owns (a dialog).
    void BindHandle(HWND window);
    void ReleaseHandle();

private:
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void UnsubclassWindow();

    HWND m_window = nullptr;
    bool m_subclassed = false;
};

template <auto Handler>
constexpr MessageEntry CWnd::Message(UINT message) {
    using Window = typename winfw_detail::MemberOf<decltype(Handler)>::Type;
    return {message, 0, 0, [](CWnd& window, WPARAM wParam, LPARAM lParam) -> std::optional<LRESULT> {
                return (static_cast<Window&>(window).*Handler)(wParam, lParam);
            }};
}

template <auto Handler>
constexpr MessageEntry CWnd::Command(UINT notification, UINT controlId) {
    using Window = typename winfw_detail::MemberOf<decltype(Handler)>::Type;
    return {WM_COMMAND, notification, controlId, [](CWnd& window, WPARAM, LPARAM) -> std::optional<LRESULT> {
                (static_cast<Window&>(window).*Handler)();
                return 0;
            }};
}
