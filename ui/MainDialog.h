#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "generator/ArrayWriter.h"
#include "ui/Settings.h"
#include "winfw/Controls.h"
#include "winfw/Dialog.h"
#include "winfw/Handles.h"

// Where the icon goes in a minimised window's client area: in the middle,
// an odd pixel left over going to the right or the bottom (the halves
// truncate toward zero, also when the icon is the larger).
POINT MinimisedIconOrigin(const RECT& client, int iconWidth, int iconHeight);

// The program's main window: input and output paths, element type,
// Convert, stay-on-top, help (the contents of `helpFile`) and exit. It
// shows every conversion's questions, messages and progress, loads the
// settings when it initialises and saves them when it is destroyed, and is
// the application's main window (AppMainWindow) meanwhile.
class CMainDialog : public CDialog, public ConversionUi {
public:
    explicit CMainDialog(std::string helpFile = {});
    ~CMainDialog() override;

    // ConversionUi
    bool ConfirmOverwrite(std::string_view outputPath) override;
    void ShowError(std::string_view message, std::string_view path) override;
    void ShowDone() override;
    void Started() override;
    void Advance(unsigned percent) override;
    void Finished() override;

    bool PreTranslateMessage(MSG& msg) override;

protected:
    std::span<const MessageEntry> MessageTable() const override;
    bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void DoDataExchange(CDataExchange& exchange) override;
    BOOL OnInitDialog() override;

private:
    std::optional<LRESULT> OnSysCommand(WPARAM id, LPARAM parameter);
    std::optional<LRESULT> OnDestroy(WPARAM, LPARAM);
    std::optional<LRESULT> OnPaint(WPARAM, LPARAM);
    std::optional<LRESULT> OnQueryDragIcon(WPARAM, LPARAM);
    void OnRadioChar();
    void OnRadioUint();
    void OnRadioUlong();
    void OnExit();
    void OnBrowse();
    void OnChangeInput();
    void OnChangeOutput();
    void OnConvert();
    void OnHelpButton();
    std::optional<LRESULT> OnDropFiles(WPARAM drop, LPARAM);
    std::optional<LRESULT> OnEndSession(WPARAM ending, LPARAM);
    void OnTopMost();

    void SelectElementType(ElementType type, int radioId);
    void UpdateConvertButton();
    // Puts `inputPath` and its derived output into the two fields; refuses
    // (and changes nothing) when either would not fit a Windows path.
    bool FillPaths(const std::string& inputPath);

    // A run goes on from the click on Convert until CArrayWriter::Run has
    // returned or thrown, on a thread of its own. Meanwhile the dialog takes
    // no input (disabled from Started on), paints and answers the system,
    // and keeps a request to end for the run's end.
    void AcceptInput();
    void EndRun();
    bool RefusedDuringRun(UINT message, WPARAM wParam);

    bool m_running = false;
    std::optional<INT_PTR> m_endWaiting;  // EndDialog's code, once the run is over
    bool m_fieldChangedMeanwhile = false; // Convert follows the fields once the run is over

    std::string m_helpFile;
    Settings m_settings;
    CToolTipCtrl m_toolTip;
    UniqueBitmap m_bmpBrowse;
    CButton m_btnTopMost;
    CProgressCtrl m_progress;
    CButton m_btnConvert;
    CButton m_btnBrowse;
    CEdit m_editOutput;
    CEdit m_editInput;
    HICON m_hIcon;  // shared resource icon: not destroyed
};
