#pragma once

#include "winfw/HyperLink.h"
#include "winfw/Dialog.h"

// The program's About box (template IDD_ABOUT) with its two links, the
// maker's web site and the support mail address. Made for one opening:
//   CAboutDialog about;
//   about.DoModal(owner);
// OK, Enter and Escape close it.
class CAboutDialog : public CDialog {
public:
    CAboutDialog();

protected:
    void DoDataExchange(CDataExchange& exchange) override;
    BOOL OnInitDialog() override;

private:
    CHyperLink m_linkMail;
    CHyperLink m_linkSite;
};
