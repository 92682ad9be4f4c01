#include "app/CKM5804DemoApp.h"

#include "app/CAboutDlg.h"
#include "app/CMainFrame.h"
#include "app/RegisterPages.h"
#include "platform/ui/TextLimit.h"
#include "platform/ui/WxMessageSink.h"

CMainFrame* CreateMainWindow() {
    auto* frame = new CMainFrame();
    if (!frame->CreateFrame()) {
        frame->Destroy();
        return nullptr;
    }
    RegisterPages(frame->GetHub());
    frame->Centre();  // on the screen it opens on
    frame->Show();
    return frame;
}

bool CKM5804DemoApp::OnInit() {
    platform::InstallWxMessageSink();
    platform::InstallTextLimits();
    CMainFrame* frame = CreateMainWindow();
    if (!frame) return false;
    SetTopWindow(frame);
    return true;
}

void CKM5804DemoApp::OnAppAbout(wxWindow* parent) {
    CAboutDlg about(parent);
    about.ShowModal();
}
