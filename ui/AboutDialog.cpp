#include "ui/AboutDialog.h"

#include "ui/LinkTargets.h"
#include "base/Texts.h"
#include "res/resource.h"

CAboutDialog::CAboutDialog(CWnd* parent) : CDialog(IDD_ABOUT, parent) {}

void CAboutDialog::DoDataExchange(CDataExchange& exchange) {
    CDialog::DoDataExchange(exchange);
    BindControl(exchange, IDC_MAIL_LINK, m_linkMail);
    BindControl(exchange, IDC_SITE_LINK, m_linkSite);
}

BOOL CAboutDialog::OnInitDialog() {
    CDialog::OnInitDialog();  // binds the links
    m_linkSite.SetLink(links::kSiteAddress, texts::kSiteLinkTip);
    m_linkMail.SetLink(links::kSupportMail, texts::kMailLinkTip);
    return TRUE;  // the system focuses the first tab stop, OK
}
