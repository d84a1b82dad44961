// The link control on hidden dialogs built in memory: the click cycle driven
// with sent mouse messages, the colour request and the fitting it starts,
// the pointers, the tooltip and the clean-up.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include "AboutTestSupport.h"
#include "about/HyperLink.h"
#include "res/resource.h"
#include "tests/win/framework/TestSupport.h"
#include "winfw/App.h"
#include "winfw/Dialog.h"
#include "winfw/Handles.h"

namespace {

constexpr WORD kLeftLink = 2001;
constexpr WORD kCentredLink = 2002;  // SS_CENTER | SS_CENTERIMAGE
constexpr WORD kRightLink = 2003;
constexpr WORD kBorderedLink = 2004;
constexpr WORD kNoPrefixText = 2005;
constexpr WORD kNoWrapText = 2006;
constexpr WORD kFontlessLink = 2007;  // never given a font

constexpr const char* kSite = "https://www.corvane.example/arrayforge/";
// "作者にメール", the mail link's caption.
constexpr const char* kMailCaption = "\x8D\xEC\x8E\xD2\x82\xC9\x83\x81\x81\x5B\x83\x8B";

class HyperLinkTest : public ::testing::Test {
protected:
    static DialogTemplate MakeTemplate() {
        DialogTemplate result;
        result.Control(kLeftLink, DialogTemplate::kStatic, SS_LEFT, L"作者にメール")
            .Control(kCentredLink, DialogTemplate::kStatic, SS_CENTER | SS_CENTERIMAGE, L"最新版入手")
            .Control(kRightLink, DialogTemplate::kStatic, SS_RIGHT, L"right aligned")
            .Control(kBorderedLink, DialogTemplate::kStatic, SS_LEFT | WS_BORDER, L"bordered")
            .Control(kNoPrefixText, DialogTemplate::kStatic, SS_LEFT | SS_NOPREFIX, L"no prefix")
            .Control(kNoWrapText, DialogTemplate::kStatic, SS_LEFTNOWORDWRAP, L"no word wrap")
            .Control(kFontlessLink, DialogTemplate::kStatic, SS_LEFT, L"system font");
        return result;
    }
    void SetUp() override {
        EnableCommonControls();
        ASSERT_TRUE(font);
        ASSERT_TRUE(dialog.Create(nullptr));
        for (WORD id : {kLeftLink, kCentredLink, kRightLink, kBorderedLink, kNoPrefixText, kNoWrapText})
            ::SendMessageA(Item(id), WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), FALSE);
    }

    HWND Item(WORD id) const { return dialog.GetDlgItem(id); }
    void Bind(CHyperLink& link, WORD id, const char* target = kSite, const char* tip = "") {
        ASSERT_TRUE(link.SubclassDlgItem(id, dialog.Hwnd()));
        link.SetLink(target, tip);
    }
    ColourAnswer Colour(WORD id) const { return RequestColour(dialog.Hwnd(), Item(id)); }
    COLORREF TextColour(WORD id) const { return Colour(id).textColour; }
    void Mouse(WORD id, UINT message) const {
        const WPARAM buttons = message == WM_LBUTTONDOWN ? MK_LBUTTON : 0;
        ::SendMessageA(Item(id), message, buttons, MAKELPARAM(3, 3));
    }
    void Click(WORD id) const {
        Mouse(id, WM_LBUTTONDOWN);
        Mouse(id, WM_LBUTTONUP);
    }
    // Moves the control, then lets it fit itself at its first colour request.
    Box FitFrom(WORD id, Box start) const {
        ::MoveWindow(Item(id), start.left, start.top, start.width, start.height, FALSE);
        Colour(id);
        return BoxOf(Item(id));
    }

    // Declared first, destroyed last: the dialog's controls use it.
    UniqueFont font{::CreateFontA(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                                  CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "ＭＳ Ｐゴシック")};
    DialogTemplate dialogTemplate = MakeTemplate();
    CDialog dialog{dialogTemplate.Get()};
    ScopedLinkRecorder opened;
};

// --- Click cycle -------------------------------------------------------------

TEST_F(HyperLinkTest, PressAndReleaseOpenTheLinkOnceAndLeaveItPurple) {
    CHyperLink link;
    Bind(link, kLeftLink);
    EXPECT_EQ(TextColour(kLeftLink), CHyperLink::kUnvisitedColour);

    // A move or a release without a press on the link (the button went down
    // elsewhere) does nothing.
    const HCURSOR arrow = ::LoadCursorA(nullptr, IDC_ARROW);
    ::SetCursor(arrow);
    Mouse(kLeftLink, WM_MOUSEMOVE);
    Mouse(kLeftLink, WM_LBUTTONUP);
    EXPECT_TRUE(opened.Links().empty());
    EXPECT_EQ(TextColour(kLeftLink), CHyperLink::kUnvisitedColour);
    EXPECT_EQ(::GetCursor(), arrow);

    Mouse(kLeftLink, WM_LBUTTONDOWN);
    EXPECT_EQ(TextColour(kLeftLink), CHyperLink::kPressedColour);
    EXPECT_EQ(::GetCapture(), Item(kLeftLink));
    EXPECT_TRUE(opened.Links().empty());

    Mouse(kLeftLink, WM_LBUTTONUP);
    const std::vector<ScopedLinkRecorder::Opened> once = {{kSite, SW_SHOWNORMAL}};
    EXPECT_EQ(opened.Links(), once);
    EXPECT_EQ(::GetCapture(), nullptr);
    EXPECT_EQ(TextColour(kLeftLink), CHyperLink::kVisitedColour);

    Mouse(kLeftLink, WM_LBUTTONDOWN);
    EXPECT_EQ(TextColour(kLeftLink), CHyperLink::kPressedColour);
    Mouse(kLeftLink, WM_LBUTTONUP);
    EXPECT_EQ(opened.Links().size(), 2u);
    EXPECT_EQ(TextColour(kLeftLink), CHyperLink::kVisitedColour);
}

TEST_F(HyperLinkTest, AnyMoveBetweenPressAndReleaseCancelsTheClick) {
    CHyperLink link;
    Bind(link, kLeftLink);
    const HCURSOR noDrop = ::LoadCursorA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDC_NODROP_CURSOR));
    ASSERT_NE(noDrop, nullptr);

    // A move to the very point of the press counts as a move.
    Mouse(kLeftLink, WM_LBUTTONDOWN);
    Mouse(kLeftLink, WM_MOUSEMOVE);
    EXPECT_EQ(::GetCursor(), noDrop);
    Mouse(kLeftLink, WM_LBUTTONUP);
    EXPECT_TRUE(opened.Links().empty());
    EXPECT_EQ(TextColour(kLeftLink), CHyperLink::kUnvisitedColour);
    EXPECT_EQ(::GetCapture(), nullptr);

    // The cancelled click is forgotten: the next one opens.
    Click(kLeftLink);
    ASSERT_EQ(opened.Links().size(), 1u);

    // Cancelled after a visit: back to purple, not opened again.
    Mouse(kLeftLink, WM_LBUTTONDOWN);
    Mouse(kLeftLink, WM_MOUSEMOVE);
    Mouse(kLeftLink, WM_MOUSEMOVE);
    Mouse(kLeftLink, WM_LBUTTONUP);
    EXPECT_EQ(opened.Links().size(), 1u);
    EXPECT_EQ(TextColour(kLeftLink), CHyperLink::kVisitedColour);
}

TEST_F(HyperLinkTest, EmptyTargetIsTheCaptionWhenTheLinkWasSet) {
    CHyperLink link;
    Bind(link, kLeftLink, "");
    ::SetWindowTextA(Item(kLeftLink), "changed later");
    Click(kLeftLink);
    const std::vector<ScopedLinkRecorder::Opened> expected = {{kMailCaption, SW_SHOWNORMAL}};
    EXPECT_EQ(opened.Links(), expected);
}

// --- Colour request and fitting -----------------------------------------------

TEST_F(HyperLinkTest, ColourRequestAnswersHollowBrushTransparentCurrentColourAndUnderlinedFont) {
    CHyperLink link;
    Bind(link, kLeftLink);
    LOGFONTA base{};
    ::GetObjectA(font.Get(), sizeof base, &base);

    const ColourAnswer first = Colour(kLeftLink);
    EXPECT_EQ(first.brush, reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH)));
    EXPECT_EQ(first.backgroundMode, TRANSPARENT);
    EXPECT_EQ(first.textColour, CHyperLink::kUnvisitedColour);
    EXPECT_NE(first.font, font.Get());
    EXPECT_TRUE(first.fontDescription.lfUnderline);
    EXPECT_EQ(first.fontDescription.lfHeight, base.lfHeight);
    EXPECT_STREQ(first.fontDescription.lfFaceName, base.lfFaceName);

    // The control draws with it too, whatever order it selects fonts in.
    EXPECT_EQ(::SendMessageA(Item(kLeftLink), WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(first.font));

    // Made once, from the font of the first request.
    const UniqueFont other(::CreateFontA(-20, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0,
                                         "Arial"));
    ::SendMessageA(Item(kLeftLink), WM_SETFONT, reinterpret_cast<WPARAM>(other.Get()), FALSE);
    EXPECT_EQ(Colour(kLeftLink).font, first.font);
    ::SendMessageA(Item(kLeftLink), WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), FALSE);
}

TEST_F(HyperLinkTest, StaticsOtherThanPlainAlignedTextKeepTheDialogsLookAndSizeButStillWork) {
    for (WORD id : {kNoPrefixText, kNoWrapText}) {
        SCOPED_TRACE(id);
        CHyperLink link;
        Bind(link, id);
        const Box before = BoxOf(Item(id));
        const ColourAnswer answer = Colour(id);
        EXPECT_NE(answer.brush, reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH)));
        EXPECT_NE(answer.brush, 0);  // the dialog's own brush
        EXPECT_EQ(answer.textColour, ::GetSysColor(COLOR_WINDOWTEXT));
        EXPECT_FALSE(answer.fontDescription.lfUnderline);
        EXPECT_EQ(BoxOf(Item(id)), before);
        Click(id);
    }
    EXPECT_EQ(opened.Links().size(), 2u);
}

TEST_F(HyperLinkTest, FirstColourRequestFitsTheControlToItsCaption) {
    CHyperLink left, right, bordered;
    Bind(left, kLeftLink);
    Bind(right, kRightLink);
    Bind(bordered, kBorderedLink);

    const SIZE leftText = UnderlinedCaptionExtent(Item(kLeftLink), font.Get());
    EXPECT_EQ(FitFrom(kLeftLink, {10, 20, leftText.cx + 30, leftText.cy + 9}),
              (Box{10, 20, leftText.cx, leftText.cy}));

    const SIZE rightText = UnderlinedCaptionExtent(Item(kRightLink), font.Get());
    EXPECT_EQ(FitFrom(kRightLink, {10, 20, rightText.cx + 30, rightText.cy + 9}),
              (Box{40, 20, rightText.cx, rightText.cy}));

    // The border stays around the caption.
    const SIZE borderedText = UnderlinedCaptionExtent(Item(kBorderedLink), font.Get());
    const Box borderedStart{10, 20, borderedText.cx + 30, borderedText.cy + 9};
    ::MoveWindow(Item(kBorderedLink), 10, 20, borderedStart.width, borderedStart.height, FALSE);
    RECT client{};
    ::GetClientRect(Item(kBorderedLink), &client);
    const LONG borderWidth = borderedStart.width - client.right;
    const LONG borderHeight = borderedStart.height - client.bottom;
    ASSERT_GT(borderWidth, 0);
    EXPECT_EQ(FitFrom(kBorderedLink, borderedStart),
              (Box{10, 20, borderedText.cx + borderWidth, borderedText.cy + borderHeight}));

    // Not again: a later request leaves a moved control where it is.
    ::MoveWindow(Item(kLeftLink), 50, 60, 200, 40, FALSE);
    Colour(kLeftLink);
    EXPECT_EQ(BoxOf(Item(kLeftLink)), (Box{50, 60, 200, 40}));
}

TEST_F(HyperLinkTest, CentredLinkKeepsItsCentreAndAnOddDifferenceTruncatesTowardZero) {
    const SIZE text = UnderlinedCaptionExtent(Item(kCentredLink), font.Get());
    {
        // Wider and taller than the caption by odd amounts: 7 and 5.
        CHyperLink link;
        Bind(link, kCentredLink);
        EXPECT_EQ(FitFrom(kCentredLink, {10, 20, text.cx + 7, text.cy + 5}),
                  (Box{13, 22, text.cx + 1, text.cy + 1}));
    }
    {
        // Narrower and lower by 3: -3 / 2 is -1, so one pixel short of the caption.
        CHyperLink link;
        Bind(link, kCentredLink);
        EXPECT_EQ(FitFrom(kCentredLink, {10, 20, text.cx - 3, text.cy - 3}),
                  (Box{9, 19, text.cx - 1, text.cy - 1}));
    }
}

TEST_F(HyperLinkTest, ControlWithoutAFontIsFittedInAnUnderlinedSystemFont) {
    ASSERT_EQ(::SendMessageA(Item(kFontlessLink), WM_GETFONT, 0, 0), 0);
    CHyperLink link;
    Bind(link, kFontlessLink);
    LOGFONTA system{};
    ::GetObjectA(::GetStockObject(SYSTEM_FONT), sizeof system, &system);
    const SIZE text = UnderlinedCaptionExtent(Item(kFontlessLink), nullptr);

    ::MoveWindow(Item(kFontlessLink), 10, 20, text.cx + 30, text.cy + 9, FALSE);
    const ColourAnswer answer = Colour(kFontlessLink);
    EXPECT_TRUE(answer.fontDescription.lfUnderline);
    EXPECT_STREQ(answer.fontDescription.lfFaceName, system.lfFaceName);
    EXPECT_EQ(BoxOf(Item(kFontlessLink)), (Box{10, 20, text.cx, text.cy}));
}

// --- Pointers -------------------------------------------------------------------

// The picture the links' pointer must have here: the help viewer's cursor 106
// where it has one, else the system's hand.
CursorImage ExpectedLinkPointer() {
    char viewer[MAX_PATH] = {};
    ::GetWindowsDirectoryA(viewer, MAX_PATH);
    lstrcatA(viewer, "\\winhlp32.exe");
    const UniqueModule module(::LoadLibraryExA(viewer, nullptr, LOAD_LIBRARY_AS_DATAFILE));
    if (module) {
        if (HCURSOR cursor = ::LoadCursorA(module.Get(), MAKEINTRESOURCEA(106))) return ImageOf(cursor);
    }
    return ImageOf(::LoadCursorA(nullptr, IDC_HAND));
}

TEST_F(HyperLinkTest, EveryLinkTakesTheMouseAndSetsTheOnePointerLoadedForTheProcess) {
    // A static lets the mouse pass to the dialog; a link claims it.
    EXPECT_EQ(::SendMessageA(Item(kLeftLink), WM_NCHITTEST, 0, 0), HTTRANSPARENT);
    CHyperLink first, second;
    Bind(first, kLeftLink);
    EXPECT_EQ(::SendMessageA(Item(kLeftLink), WM_NCHITTEST, 0, 0), HTCLIENT);
    Bind(second, kCentredLink);
    const auto setCursor = [&](WORD id) {
        return ::SendMessageA(Item(id), WM_SETCURSOR, reinterpret_cast<WPARAM>(Item(id)),
                              MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    };
    ::SetCursor(nullptr);
    ASSERT_EQ(setCursor(kLeftLink), TRUE);
    const HCURSOR pointer = ::GetCursor();
    ASSERT_NE(pointer, nullptr);
    EXPECT_EQ(ImageOf(pointer), ExpectedLinkPointer());

    // Every load would make a new copy: the same handle means one load.
    for (WORD id : {kCentredLink, kLeftLink, kCentredLink}) {
        ::SetCursor(nullptr);
        EXPECT_EQ(setCursor(id), TRUE);
        EXPECT_EQ(::GetCursor(), pointer);
    }
}

TEST(LinkPointerTest, IsTheViewersCursor106ElseTheSystemHandAndOutlivesTheFile) {
    const std::string withCursor = BesideTestProgram("arrayforge_about_cursor_source.exe");
    CursorImage cursor106;
    {
        const UniqueModule module(::LoadLibraryExA(withCursor.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
        ASSERT_TRUE(module) << withCursor;
        cursor106 = ImageOf(::LoadCursorA(module.Get(), MAKEINTRESOURCEA(106)));
    }
    const CursorImage hand = ImageOf(::LoadCursorA(nullptr, IDC_HAND));
    ASSERT_FALSE(cursor106.mask.empty());
    ASSERT_FALSE(cursor106 == hand);

    // Loaded and released inside: the copy must stay usable.
    const UniqueIcon fromViewer = CHyperLink::LoadLinkCursorFrom(withCursor.c_str());
    EXPECT_EQ(ImageOf(fromViewer.Get()), cursor106);

    const std::string withoutCursor = BesideTestProgram("arrayforge_about_test.exe");
    for (const std::string& path : {withoutCursor, BesideTestProgram("no-such-viewer.exe")}) {
        SCOPED_TRACE(path);
        const UniqueIcon pointer = CHyperLink::LoadLinkCursorFrom(path.c_str());
        ASSERT_TRUE(pointer);
        EXPECT_EQ(ImageOf(pointer.Get()), hand);
    }
}

int g_loads = 0;
UniqueIcon LoadingHand() {
    ++g_loads;
    return UniqueIcon(::CopyIcon(::LoadCursorA(nullptr, IDC_HAND)));
}
UniqueIcon FailingLoad() {
    ++g_loads;
    return {};
}

TEST(LinkCursorCacheTest, LoadsOnceWhetherTheLoadSucceedsOrFails) {
    g_loads = 0;
    CLinkCursorCache loaded(&LoadingHand);
    EXPECT_EQ(g_loads, 0);  // not before it is needed
    const HCURSOR pointer = loaded.Get();
    EXPECT_NE(pointer, nullptr);
    EXPECT_EQ(loaded.Get(), pointer);
    EXPECT_EQ(g_loads, 1);

    g_loads = 0;
    CLinkCursorCache failed(&FailingLoad);
    EXPECT_EQ(failed.Get(), nullptr);
    EXPECT_EQ(failed.Get(), nullptr);
    EXPECT_EQ(g_loads, 1);
}

// --- Tooltip and clean-up ---------------------------------------------------------

TEST_F(HyperLinkTest, TooltipExistsOnlyWithATipCoversTheControlAndGoesWithANewLink) {
    CHyperLink withTip, withoutTip;
    Bind(withTip, kLeftLink, kSite, "Visit the site");
    Bind(withoutTip, kCentredLink);

    const std::vector<ToolTipOfControl> tips = ToolTipsOf(Item(kLeftLink));
    ASSERT_EQ(tips.size(), 1u);
    EXPECT_EQ(tips[0].text, "Visit the site");
    EXPECT_EQ(tips[0].toolParent, dialog.Hwnd());
    EXPECT_NE(tips[0].flags & TTF_IDISHWND, 0u);
    EXPECT_TRUE(ToolTipsOf(Item(kCentredLink)).empty());

    // The hook relays and never consumes.
    MSG move{Item(kLeftLink), WM_MOUSEMOVE, 0, MAKELPARAM(3, 3), 0, {}};
    EXPECT_FALSE(withTip.PreTranslateMessage(move));
    MSG other{Item(kCentredLink), WM_MOUSEMOVE, 0, MAKELPARAM(3, 3), 0, {}};
    EXPECT_FALSE(withoutTip.PreTranslateMessage(other));

    // Setting the link again replaces the tooltip; an empty tip removes it.
    withTip.SetLink(kSite, "second");
    const std::vector<ToolTipOfControl> replaced = ToolTipsOf(Item(kLeftLink));
    ASSERT_EQ(replaced.size(), 1u);
    EXPECT_EQ(replaced[0].text, "second");
    EXPECT_FALSE(::IsWindow(tips[0].window));
    withTip.SetLink(kSite, "");
    EXPECT_TRUE(ToolTipsOf(Item(kLeftLink)).empty());
}

TEST_F(HyperLinkTest, DestroyedLinkTakesItsFontAndTooltipAndGivesTheStaticBack) {
    HFONT underline = nullptr;
    HWND tooltip = nullptr;
    {
        CHyperLink link;
        Bind(link, kLeftLink, kSite, "tip");
        underline = Colour(kLeftLink).font;
        tooltip = ToolTipsOf(Item(kLeftLink)).at(0).window;
        ASSERT_NE(::GetObjectType(underline), 0u);
    }
    EXPECT_EQ(::GetObjectType(underline), 0u);
    EXPECT_EQ(::SendMessageA(Item(kLeftLink), WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(font.Get()));
    EXPECT_FALSE(::IsWindow(tooltip));
    EXPECT_EQ(CWnd::FromHandle(Item(kLeftLink)), nullptr);
    EXPECT_EQ(::SendMessageA(Item(kLeftLink), WM_NCHITTEST, 0, 0), HTTRANSPARENT);
    EXPECT_NE(Colour(kLeftLink).brush, reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH)));
}

}  // namespace
