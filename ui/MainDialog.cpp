#include "ui/MainDialog.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

#include <functional>
#include <utility>

#include "ui/AboutDialog.h"
#include "base/CodePage932.h"
#include "base/NativeFile.h"
#include "base/Paths.h"
#include "base/Texts.h"
#include "res/resource.h"
#include "winfw/HtmlHelp.h"
#include "winfw/MessageBoxes.h"
#include "winfw/Worker.h"

namespace {

// Longest path a field takes from Browse or a drop: what fits MAX_PATH
// with its terminating zero.
constexpr std::size_t kMaxPathLength = MAX_PATH - 1;

bool IsInput(UINT message) {
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
           (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
           (message >= WM_NCMOUSEMOVE && message <= WM_NCXBUTTONDBLCLK);
}

HINSTANCE ResourceModule() { return ::GetModuleHandleA(nullptr); }

// The filter's "|" separators become the zeros the open-file dialog wants,
// stepping over two-byte characters whose second byte is 0x7C.
std::string OpenFileFilter() {
    std::string filter(texts::kBrowseFilter);
    for (std::size_t i = 0; i < filter.size(); i += cp932::CharLength(filter, i))
        if (filter[i] == '|') filter[i] = '\0';
    return filter;
}

int FieldLength(const CEdit& field) { return ::GetWindowTextLengthA(field.Hwnd()); }

// Places `window` above (or among) the ordinary windows. Wine leaves a
// window that owns pop-ups (the tooltip, the help viewer) without the
// topmost bit unless some other topmost window is there to be placed after:
// then a hidden topmost tool window stands in for the moment and the call is
// repeated. On Windows the first call sets the bit and no second one is made.
void PlaceTopmost(HWND window, bool topmost) {
    const auto place = [window](HWND after) { ::SetWindowPos(window, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE); };
    place(topmost ? HWND_TOPMOST : HWND_NOTOPMOST);
    if (!topmost || (::GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0) return;
    const UniqueWindow standIn(::CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, "STATIC", "",
                                                 WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, ResourceModule(), nullptr));
    place(HWND_TOPMOST);
}

// What a run on the worker's thread shows, passed on to `shown` on the
// window's thread. Each call waits until it has been handled, so the boxes
// and the bar follow the run exactly as if it ran on that thread. The bar's
// figure is passed on only when it changes.
class ForwardedUi final : public ConversionUi {
public:
    ForwardedUi(ConversionUi& shown, CWorker& worker) : m_shown(shown), m_worker(worker) {}

    bool ConfirmOverwrite(std::string_view outputPath) override {
        bool yes = false;
        m_worker.Call([&] { yes = m_shown.ConfirmOverwrite(outputPath); });
        return yes;
    }
    void ShowError(std::string_view message, std::string_view path) override {
        m_worker.Call([&] { m_shown.ShowError(message, path); });
    }
    void ShowDone() override { m_worker.Call([&] { m_shown.ShowDone(); }); }
    void Started() override { m_worker.Call([&] { m_shown.Started(); }); }
    void Advance(unsigned percent) override {
        if (percent == std::exchange(m_percent, percent)) return;
        m_worker.Call([&] { m_shown.Advance(percent); });
    }
    void Finished() override { m_worker.Call([&] { m_shown.Finished(); }); }

private:
    ConversionUi& m_shown;
    CWorker& m_worker;
    unsigned m_percent = 0;  // the bar starts at 0
};

}  // namespace

CMainDialog::CMainDialog(std::string helpFile)
    : CDialog(IDD_MAIN), m_helpFile(std::move(helpFile)), m_hIcon(::LoadIconA(ResourceModule(), MAKEINTRESOURCEA(IDI_APP))) {}

CMainDialog::~CMainDialog() = default;

std::span<const MessageEntry> CMainDialog::MessageTable() const {
    static constexpr MessageEntry kTable[] = {
        Message<&CMainDialog::OnSysCommand>(WM_SYSCOMMAND),
        Message<&CMainDialog::OnDestroy>(WM_DESTROY),
        Message<&CMainDialog::OnPaint>(WM_PAINT),
        Message<&CMainDialog::OnQueryDragIcon>(WM_QUERYDRAGICON),
        Clicked<&CMainDialog::OnRadioChar>(IDC_TYPE_1BYTE),
        Clicked<&CMainDialog::OnRadioUint>(IDC_TYPE_2BYTE),
        Clicked<&CMainDialog::OnRadioUlong>(IDC_TYPE_4BYTE),
        Clicked<&CMainDialog::OnExit>(IDC_EXIT),
        Clicked<&CMainDialog::OnBrowse>(IDC_BROWSE),
        Command<&CMainDialog::OnChangeInput>(EN_CHANGE, IDC_SOURCE_PATH),
        Command<&CMainDialog::OnChangeOutput>(EN_CHANGE, IDC_OUTPUT_PATH),
        Clicked<&CMainDialog::OnConvert>(IDC_CONVERT),
        Clicked<&CMainDialog::OnHelpButton>(IDC_HELP_BUTTON),
        Message<&CMainDialog::OnDropFiles>(WM_DROPFILES),
        Message<&CMainDialog::OnEndSession>(WM_ENDSESSION),
        Clicked<&CMainDialog::OnTopMost>(IDC_TOPMOST),
    };
    return kTable;
}

void CMainDialog::DoDataExchange(CDataExchange& exchange) {
    BindControl(exchange, IDC_TOPMOST, m_btnTopMost);
    BindControl(exchange, IDC_PROGRESS, m_progress);
    BindControl(exchange, IDC_CONVERT, m_btnConvert);
    BindControl(exchange, IDC_BROWSE, m_btnBrowse);
    BindControl(exchange, IDC_OUTPUT_PATH, m_editOutput);
    BindControl(exchange, IDC_SOURCE_PATH, m_editInput);
}

BOOL CMainDialog::OnInitDialog() {
    SetAppMainWindow(Hwnd());
    CDialog::OnInitDialog();

    if (HMENU systemMenu = ::GetSystemMenu(Hwnd(), FALSE)) {
        char about[256] = {};
        if (::LoadStringA(ResourceModule(), IDS_ABOUT_MENU, about, sizeof about) > 0) {
            ::AppendMenuA(systemMenu, MF_SEPARATOR, 0, nullptr);
            ::AppendMenuA(systemMenu, MF_STRING, IDM_ABOUTBOX, about);
        }
    }
    Send(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    Send(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    ::DragAcceptFiles(Hwnd(), TRUE);

    m_settings = Settings::Load();
    if (m_settings.topMost) {
        m_btnTopMost.SetCheck(BST_CHECKED);
        PlaceTopmost(Hwnd(), true);
    }
    switch (m_settings.elementType) {
    case ElementType::Uint: OnRadioUint(); break;
    case ElementType::Ulong: OnRadioUlong(); break;
    default: OnRadioChar(); break;
    }

    m_bmpBrowse.Reset(::LoadBitmapA(ResourceModule(), MAKEINTRESOURCEA(IDB_BROWSE)));
    m_btnBrowse.SetBitmap(m_bmpBrowse.Get());

    if (m_toolTip.Create(Hwnd(), TTS_ALWAYSTIP)) {
        m_toolTip.AddTool(m_btnBrowse.Hwnd(), IDS_BROWSE_TIP, ResourceModule());
    }
    return TRUE;  // the dialog manager focuses the first tab stop, the input field
}

bool CMainDialog::PreTranslateMessage(MSG& msg) {
    // The tooltip watches nothing itself: every message of the loop is relayed.
    m_toolTip.RelayEvent(msg);
    return CDialog::PreTranslateMessage(msg);
}

std::optional<LRESULT> CMainDialog::OnSysCommand(WPARAM id, LPARAM) {
    // The low four bits of a system command are the system's own.
    if ((id & 0xFFF0) != IDM_ABOUTBOX) return std::nullopt;
    CAboutDialog about;
    about.DoModal(Hwnd());
    return 0;
}

std::optional<LRESULT> CMainDialog::OnDestroy(WPARAM, LPARAM) {
    m_settings.Save();
    // After the settings are written: help windows go with the program.
    CloseAllHelp();
    SetAppMainWindow(nullptr);
    return std::nullopt;
}

POINT MinimisedIconOrigin(const RECT& client, int iconWidth, int iconHeight) {
    return {(client.right - client.left - iconWidth + 1) / 2, (client.bottom - client.top - iconHeight + 1) / 2};
}

std::optional<LRESULT> CMainDialog::OnPaint(WPARAM, LPARAM) {
    if (!::IsIconic(Hwnd())) return std::nullopt;
    PAINTSTRUCT paint{};
    HDC dc = ::BeginPaint(Hwnd(), &paint);
    Send(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc));
    RECT client{};
    ::GetClientRect(Hwnd(), &client);
    const POINT at = MinimisedIconOrigin(client, ::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON));
    ::DrawIcon(dc, at.x, at.y, m_hIcon);
    ::EndPaint(Hwnd(), &paint);
    return 0;
}

std::optional<LRESULT> CMainDialog::OnQueryDragIcon(WPARAM, LPARAM) { return reinterpret_cast<LRESULT>(m_hIcon); }

void CMainDialog::SelectElementType(ElementType type, int radioId) {
    m_settings.elementType = type;
    ::CheckRadioButton(Hwnd(), IDC_TYPE_1BYTE, IDC_TYPE_4BYTE, radioId);
}

void CMainDialog::OnRadioChar() { SelectElementType(ElementType::Char, IDC_TYPE_1BYTE); }
void CMainDialog::OnRadioUint() { SelectElementType(ElementType::Uint, IDC_TYPE_2BYTE); }
void CMainDialog::OnRadioUlong() { SelectElementType(ElementType::Ulong, IDC_TYPE_4BYTE); }

void CMainDialog::OnExit() { EndDialog(0); }

bool CMainDialog::FillPaths(const std::string& inputPath) {
    std::string outputPath = DeriveOutputPath(inputPath);
    if (inputPath.size() > kMaxPathLength || outputPath.size() > kMaxPathLength) return false;
    m_editInput.SetText(inputPath.c_str());
    m_editOutput.SetText(outputPath.c_str());
    return true;
}

void CMainDialog::OnBrowse() {
    std::string filter = OpenFileFilter();
    char fileName[MAX_PATH] = {};
    texts::kBrowseInitialName.copy(fileName, sizeof fileName - 1);
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = Hwnd();
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = fileName;
    dialog.nMaxFile = sizeof fileName;  // a longer choice makes the dialog fail: nothing changes
    dialog.lpstrInitialDir = m_settings.lastDir;
    dialog.lpstrDefExt = "";
    dialog.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_EXPLORER | OFN_ENABLESIZING;
    if (!::GetOpenFileNameA(&dialog)) return;

    std::string chosen = fileName;
    if (!FillPaths(chosen)) return;
    // The next Browse starts in this folder; one too long to keep leaves
    // the last folder as it was.
    PathParts parts = SplitPath(chosen);
    std::string folder = parts.drive + parts.directory;
    if (folder.size() < kLastDirSize) {
        folder.copy(m_settings.lastDir, folder.size());
        m_settings.lastDir[folder.size()] = '\0';
    }
}

void CMainDialog::OnChangeInput() { UpdateConvertButton(); }
void CMainDialog::OnChangeOutput() { UpdateConvertButton(); }

void CMainDialog::UpdateConvertButton() {
    // The whole text counts, selected or not.
    bool ready = FieldLength(m_editInput) > 0 && FieldLength(m_editOutput) > 0;
    m_btnConvert.Enable(ready);
}

void CMainDialog::OnConvert() {
    const ConversionRequest request = ClassicRequest(m_editInput.Text(), m_editOutput.Text(), m_settings.elementType);
    // However the run ends (a failure escapes to the failure report), the
    // window takes input again before any box is shown.
    struct RunEnd {
        CMainDialog& dialog;
        ~RunEnd() { dialog.EndRun(); }
    } runEnd{*this};
    m_running = true;

    // The run goes on a thread of its own, so that this one keeps painting
    // and answering the system however long a chunk or a write takes. Input
    // to the window is dropped meanwhile (before Started the window is not
    // disabled yet: the overwrite question and the error boxes own it then).
    CWorker worker;
    ForwardedUi forwarder(*this, worker);
    worker.Run([&] { CArrayWriter::Run(request, forwarder); },
               [this](const MSG& msg) {
                   return IsInput(msg.message) && (msg.hwnd == Hwnd() || ::IsChild(Hwnd(), msg.hwnd));
               });
}

bool CMainDialog::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (m_running && RefusedDuringRun(message, wParam)) {
        result = 0;
        return true;
    }
    return CDialog::OnWndMsg(message, wParam, lParam, result);
}

// The disabled window gets no clicks, but messages can still arrive, posted
// or sent by other programs. Every command would start work inside the run
// (a second Convert, Browse, Help, the About box) and a drop would change
// the paths under it: they are refused. Exit and the close requests
// (IDCANCEL, WM_CLOSE, the close command) wait for the run's end, and so
// does the Convert button's answer to a path field's change.
bool CMainDialog::RefusedDuringRun(UINT message, WPARAM wParam) {
    switch (message) {
    case WM_COMMAND:
        if (HIWORD(wParam) == EN_CHANGE) m_fieldChangedMeanwhile = true;
        if (HIWORD(wParam) <= 1 && LOWORD(wParam) == IDC_EXIT) m_endWaiting = 0;
        if (HIWORD(wParam) <= 1 && LOWORD(wParam) == IDCANCEL) m_endWaiting = IDCANCEL;
        return true;
    case WM_SYSCOMMAND:
        // The system ignores the close command of a disabled window: it is
        // kept here like the IDCANCEL it would become.
        if ((wParam & 0xFFF0) == SC_CLOSE) m_endWaiting = IDCANCEL;
        return (wParam & 0xFFF0) == IDM_ABOUTBOX || (wParam & 0xFFF0) == SC_CLOSE;
    case WM_DROPFILES: ::DragFinish(reinterpret_cast<HDROP>(wParam)); return true;
    default: return false;
    }
}

void CMainDialog::AcceptInput() {
    if (!::IsWindowEnabled(Hwnd())) ::EnableWindow(Hwnd(), TRUE);
}

void CMainDialog::EndRun() {
    m_running = false;
    AcceptInput();
    if (std::exchange(m_fieldChangedMeanwhile, false)) UpdateConvertButton();
    if (m_endWaiting) EndDialog(*std::exchange(m_endWaiting, std::nullopt));
}

void CMainDialog::OnHelpButton() { ShowHelpContents(Hwnd(), m_helpFile); }

std::optional<LRESULT> CMainDialog::OnDropFiles(WPARAM dropParameter, LPARAM) {
    HDROP drop = reinterpret_cast<HDROP>(dropParameter);
    // With a null buffer DragQueryFileA answers the length without the zero:
    // the whole path is read, so that one too long for MAX_PATH is refused
    // (FillPaths) rather than cut into the name of another file.
    const UINT length = ::DragQueryFileA(drop, 0, nullptr, 0);
    if (length > 0) {
        std::string path(length, '\0');
        ::DragQueryFileA(drop, 0, path.data(), length + 1);
        POINT point{};
        ::DragQueryPoint(drop, &point);
        ::ClientToScreen(Hwnd(), &point);
        if (::WindowFromPoint(point) == m_editInput.Hwnd()) FillPaths(path);
    }
    // The drop's memory is the receiver's to free.
    ::DragFinish(drop);
    return 0;
}

std::optional<LRESULT> CMainDialog::OnEndSession(WPARAM ending, LPARAM) {
    // When the session ends, the process may be ended at any moment after
    // this returns, and a run under way would leave its temporary file beside
    // the output. Deleted now, it goes when the run's handle closes.
    if (ending && m_running) native_file::RemoveTemporaryFilesNow();
    return 0;
}

void CMainDialog::OnTopMost() {
    m_settings.topMost = ::IsDlgButtonChecked(Hwnd(), IDC_TOPMOST);
    PlaceTopmost(Hwnd(), m_settings.topMost != FALSE);
}

bool CMainDialog::ConfirmOverwrite(std::string_view) {
    return AppMessageBox(texts::kOverwriteQuestion, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void CMainDialog::ShowError(std::string_view message, std::string_view) {
    // An error after Started (the input changed) finds the window disabled:
    // as for the completion box, it takes input again first.
    AcceptInput();
    WindowMessageBox(Hwnd(), message, texts::kErrorCaption, MB_OK | MB_ICONSTOP);
}

void CMainDialog::ShowDone() {
    // The box disables its owner and activates it again when it closes,
    // which only an enabled window can be.
    AcceptInput();
    AppMessageBox(texts::kFileWritten, MB_OK | MB_ICONINFORMATION);
}

void CMainDialog::Started() {
    m_btnConvert.Enable(false);
    // The bar keeps its default range, 0 to 100.
    m_progress.SetPos(0);
    // As under a modal box: clicks on the window and its controls go nowhere.
    if (m_running) ::EnableWindow(Hwnd(), FALSE);
}

void CMainDialog::Advance(unsigned percent) {
    // Called after every 28 KiB: the bar is set only when it moves, since
    // each change is a repaint (milliseconds under Wine).
    if (m_progress.GetPos() != static_cast<int>(percent)) m_progress.SetPos(static_cast<int>(percent));
}

void CMainDialog::Finished() { m_progress.SetPos(0); }
