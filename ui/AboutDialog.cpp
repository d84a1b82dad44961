#include "ui/AboutDialog.h"

#include "ui/LinkTargets.h"
#include "base/Texts.h"
#include "res/resource.h"

CAboutDialog::CAboutDialog() : CDialog(IDD_ABOUT) {}

void CAboutDialog::DoDataExchange(CDataExchange& exchange) {
    CDialog::DoDataExchange(exchange);
    BindControl(exchange, IDC_MAIL_LINK, m_linkMail);
    BindControl(exchange, IDC_SITE_LINK, m_linkSite);
}

BOOL CAboutDialog::OnInitDialog() {
    CDialog::OnInitDialog();  // binds the links
    // The module's shared cursor: never destroyed.
    HCURSOR moved = ::LoadCursorA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDC_NODROP_CURSOR));
    m_linkSite.SetLink(links::kSiteAddress, texts::kSiteLinkTip, moved);
    m_linkMail.SetLink(links::kSupportMail, texts::kMailLinkTip, moved);
    return TRUE;  // the system focuses the first tab stop, OK
}
