#include "app/CMainFrame.h"

#include <wx/artprov.h>
#include <wx/filedlg.h>
#include <wx/filefn.h>
#include <wx/msgdlg.h>
#include <wx/menu.h>
#include <wx/statusbr.h>
#include <wx/toolbar.h>

#include <algorithm>

#include "app/CChildView.h"
#include "app/CKM5804DemoApp.h"
#include "app/CSelectDeive.h"
#include "app/ResourceIds.h"
#include "device/UsbOperation.h"
#include "monitor/MonitorRing.h"
#include "monitor/RecordFile.h"
#include "monitor/ui/CDialogMainA.h"
#include "pages/shared/BusWorker.h"
#include "platform/ui/WxMessageSink.h"
#include "platform/ui/WxText.h"
#include "platform/Message.h"

const char* const kMainFrameTitle = "VR3526 Developer Kits V1.00";

namespace {

void ShowFileMessage(RecordFileResult result) {
    if (result != RecordFileResult::Ok)
        platform::ShowMessage(RecordFileMessage(result), std::string(), platform::MessageIcon::None);
}

}  // namespace

CMainFrame::CMainFrame()
    : wxFrame(nullptr, IDR_MAINFRAME, kMainFrameTitle, wxDefaultPosition, wxSize(1300, 760)),
      m_Connection(ConnectionHooks{
          [this](uint32_t count) { return ChooseDevice(count); },
          [this](const std::string& caption) { SetTitle(wxString::FromUTF8(caption)); },
          [this] { GetHub()->RefreshPages(); },
      }) {
    // wx holds a frame's first showing back until the window manager has told the size of its
    // decorations, then hides and shows the frame again: the window manager then places it
    // anew (past the screen's edge) and GTK lays the tool bar out with no room (warnings at
    // every start). Shown at once, the frame keeps the place asked for, decorations around it.
    m_deferShow = false;
}

CMainFrame::~CMainFrame() {
    // A close that could not be refused (the session ends) may find a worker running: end it
    // before its pipes and library go.
    g_WorkerThread.Stop();
    // Pipes before the library: the view, destroyed after this, frees the library.
    UsbClosePipes();
}

bool CMainFrame::CreateFrame() {
    auto* view = new CChildView();
    if (!view->Create(this, WxId(AFX_IDW_PANE_FIRST))) {
        delete view;
        return false;
    }
    m_View = view;
    BuildToolBar();
    BuildStatusBar();
    BuildMenu();
    KeepHubWhole();
    // The window manager's decorations and a bar shown or hidden change what the frame's
    // least size must be; each comes with a size event. Set after it: within the toolkit's
    // layout the window's new hints would not reach the window manager.
    Bind(wxEVT_SIZE, [this](wxSizeEvent& event) {
        event.Skip();
        if (LeastSize() != GetMinSize()) CallAfter(&CMainFrame::KeepHubWhole);
    });

    Bind(wxEVT_CLOSE_WINDOW, &CMainFrame::OnClose, this);
    Bind(wxEVT_SET_FOCUS, [this](wxFocusEvent&) { m_View->SetFocus(); });
    return true;
}

CDialogMainA* CMainFrame::GetHub() const { return m_View ? m_View->GetHub() : nullptr; }

void CMainFrame::BuildMenu() {
    auto* operate = new wxMenu;
    operate->Append(WxId(ID_CONNECT), U8("连接[&C]"));
    operate->Append(WxId(ID_DISCONNECT), U8("断开[Q]"));
    operate->AppendSeparator();
    operate->Append(WxId(ID_SAVE_TO_FILE), U8("保存到文件 "));
    operate->Append(WxId(ID_OPEN_FILE), U8("打开文件 "), "Open a Item file");
    operate->AppendSeparator();
    operate->Append(WxId(ID_CLEAR_ITEMS), U8("清空数据项"));
    operate->Append(WxId(ID_APP_EXIT), U8("退出(&X)"));
    auto* view = new wxMenu;
    view->AppendCheckItem(WxId(ID_VIEW_TOOLBAR), U8("工具栏(&T)"));
    view->AppendCheckItem(WxId(ID_VIEW_STATUS_BAR), U8("状态栏(&S)"));
    auto* help = new wxMenu;
    help->Append(WxId(ID_APP_ABOUT), U8("关于 VR3526Kits(&A)..."));
    auto* bar = new wxMenuBar;
    bar->Append(operate, U8("操作"));
    bar->Append(view, U8("查看(&V)"));
    bar->Append(help, U8("帮助(&H)"));
    SetMenuBar(bar);

    Bind(wxEVT_MENU, [this](wxCommandEvent&) { OnConnect(); }, WxId(ID_CONNECT));
    Bind(wxEVT_MENU, [this](wxCommandEvent&) { OnDisconnect(); }, WxId(ID_DISCONNECT));
    Bind(wxEVT_MENU, [this](wxCommandEvent&) { OnSaveToFile(); }, WxId(ID_SAVE_TO_FILE));
    Bind(wxEVT_MENU, [this](wxCommandEvent&) { OnOpenFile(); }, WxId(ID_OPEN_FILE));
    Bind(wxEVT_MENU, [this](wxCommandEvent&) { OnClearItems(); }, WxId(ID_CLEAR_ITEMS));
    Bind(wxEVT_MENU, [this](wxCommandEvent&) { Close(); }, WxId(ID_APP_EXIT));
    Bind(wxEVT_MENU, [this](wxCommandEvent&) { CKM5804DemoApp::OnAppAbout(this); }, WxId(ID_APP_ABOUT));
    Bind(wxEVT_MENU, [this](wxCommandEvent&) { GetToolBar()->Show(!GetToolBar()->IsShown()); SendSizeEvent(); },
         WxId(ID_VIEW_TOOLBAR));
    Bind(wxEVT_MENU, [this](wxCommandEvent&) { GetStatusBar()->Show(!GetStatusBar()->IsShown()); SendSizeEvent(); },
         WxId(ID_VIEW_STATUS_BAR));

    Bind(wxEVT_UPDATE_UI, &CMainFrame::OnUpdateConnect, this, WxId(ID_CONNECT));
    Bind(wxEVT_UPDATE_UI, &CMainFrame::OnUpdateDisconnect, this, WxId(ID_DISCONNECT));
    for (int id : {ID_SAVE_TO_FILE, ID_OPEN_FILE, ID_CLEAR_ITEMS})
        Bind(wxEVT_UPDATE_UI, &CMainFrame::OnUpdateFileCommands, this, WxId(id));
    Bind(wxEVT_UPDATE_UI, [this](wxUpdateUIEvent& e) { e.Check(GetToolBar()->IsShown()); }, WxId(ID_VIEW_TOOLBAR));
    Bind(wxEVT_UPDATE_UI, [this](wxUpdateUIEvent& e) { e.Check(GetStatusBar()->IsShown()); },
         WxId(ID_VIEW_STATUS_BAR));
}

void CMainFrame::BuildToolBar() {
    wxToolBar* bar = CreateToolBar(wxTB_HORIZONTAL | wxTB_FLAT, WxId(ID_VIEW_TOOLBAR));
    const wxSize size(16, 16);
    bar->AddTool(wxID_CUT, "Cut", wxArtProvider::GetBitmap(wxART_CUT, wxART_TOOLBAR, size));
    bar->AddTool(wxID_COPY, "Copy", wxArtProvider::GetBitmap(wxART_COPY, wxART_TOOLBAR, size));
    bar->AddTool(wxID_PASTE, "Paste", wxArtProvider::GetBitmap(wxART_PASTE, wxART_TOOLBAR, size));
    bar->AddSeparator();
    bar->AddTool(wxID_PRINT, "Print", wxArtProvider::GetBitmap(wxART_PRINT, wxART_TOOLBAR, size));
    bar->Realize();
    // No command handles them.
    for (int id : {wxID_CUT, wxID_COPY, wxID_PASTE, wxID_PRINT}) {
        bar->EnableTool(id, false);
        Bind(wxEVT_UPDATE_UI, [](wxUpdateUIEvent& e) { e.Enable(false); }, id);
    }
}

void CMainFrame::BuildStatusBar() {
    wxStatusBar* bar = CreateStatusBar(4, wxSTB_DEFAULT_STYLE, WxId(ID_VIEW_STATUS_BAR));
    // Each lock pane holds its whole text within the bar's borders and the text's margins
    // (2 px a side); the last one also holds the size grip, nearly as wide as the bar is high.
    const LockKeyState allOn{true, true, true};
    int widths[4] = {-1, 0, 0, 0};
    for (int pane = 1; pane <= 3; ++pane) {
        const int text = bar->GetTextExtent(U8(LockPaneText(pane, allOn))).x;
        const int grip = pane == 3 ? bar->GetSize().y : 0;
        widths[pane] = std::max(60, text + 2 * bar->GetBorderX() + 2 * 2 + grip);
    }
    bar->SetStatusWidths(4, widths);
    bar->SetStatusText("Ready", 0);
    ShowLockKeys();
    // The X server tells every change of the locks, in whatever window it was made; coming
    // back to the program shows them again too.
    m_LockKeyWatcher = std::make_unique<LockKeyWatcher>([this] { ShowLockKeys(); });
    Bind(wxEVT_ACTIVATE, [this](wxActivateEvent& event) {
        ShowLockKeys();
        event.Skip();
    });
}

wxSize CMainFrame::LeastSize() const {
    return ClientToWindowSize(GetHub()->MinimumClientSize() + (m_View->GetSize() - m_View->GetClientSize()));
}

void CMainFrame::KeepHubWhole() {
    const wxSize least = LeastSize();
    if (least != GetMinSize()) SetMinSize(least);
}

void CMainFrame::ShowLockKeys() {
    const LockKeyState now = CurrentLockKeys();
    if (now == m_LockKeys) return;
    m_LockKeys = now;
    for (int pane = 1; pane <= 3; ++pane) GetStatusBar()->SetStatusText(U8(LockPaneText(pane, now)), pane);
}

void CMainFrame::SetDeviceChooser(std::function<int(uint32_t)> chooser) {
    m_ChooseDevice = std::move(chooser);
}

void CMainFrame::SetReplaceConfirmer(std::function<bool(const std::string&)> confirmer) {
    m_ConfirmReplace = std::move(confirmer);
}

int CMainFrame::ChooseDevice(uint32_t count) {
    if (m_ChooseDevice) return m_ChooseDevice(count);
    CSelectDeive dialog(this);
    if (dialog.ShowModal() != wxID_OK) return -1;
    return g_DeviceNumber.load(std::memory_order_acquire);
}

void CMainFrame::OnConnect() { m_Connection.Connect(); }

void CMainFrame::OnDisconnect() { m_Connection.Disconnect(); }

void CMainFrame::OnClose(wxCloseEvent& event) {
    if (event.CanVeto() && !m_Connection.CanClose()) {
        event.Veto();
        return;
    }
    Destroy();
}

void CMainFrame::OnSaveToFile() {
    if (g_MonitorCount.load() == 0) {
        ShowFileMessage(RecordFileResult::NothingToSave);
        return;
    }
    wxFileDialog dialog(this, wxFileSelectorPromptStr, wxString(), wxString(),
                        "Record file(*.rec)|*.rec|Text file(*.txt)|*.txt",
                        wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    if (dialog.ShowModal() != wxID_OK) return;
    SaveToPath(dialog.GetPath().utf8_string(), dialog.GetFilterIndex());
}

void CMainFrame::SaveToPath(const std::string& path, int filterIndex) {
    const bool rec = filterIndex == 0;
    const std::string target =
        WithRecordFileExtension(path, rec ? RecordFileType::Rec : RecordFileType::Txt);
    // The dialog asked about the name as chosen; one that only the extension leads to is
    // asked about here, or a save would silently replace it.
    if (target != path && wxFileExists(wxString::FromUTF8(target)) && !ConfirmReplace(target)) return;
    ShowFileMessage(rec ? SaveMonitorRec(target) : SaveMonitorTxt(target));
}

bool CMainFrame::ConfirmReplace(const std::string& path) {
    if (m_ConfirmReplace) return m_ConfirmReplace(path);
    return platform::AskWx(this, path + " already exists.\nDo you want to replace it?", "Confirm Save As",
                           wxYES_NO | wxNO_DEFAULT, platform::MessageIcon::Exclamation);
}

void CMainFrame::OnOpenFile() {
    wxFileDialog dialog(nullptr, wxFileSelectorPromptStr, wxString(), "*.rec", "Data Record file(*.rec)|*.rec",
                        wxFD_OPEN);
    if (dialog.ShowModal() != wxID_OK) return;
    OpenPath(dialog.GetPath().utf8_string());
}

void CMainFrame::OpenPath(const std::string& path) {
    const RecordFileResult result = LoadMonitorRec(path);
    ShowFileMessage(result);
    if (result == RecordFileResult::Ok) GetHub()->RefreshMonitorList();
}

void CMainFrame::OnClearItems() {
    ResetMonitorRing();
    GetHub()->RefreshMonitorList();
}

void CMainFrame::OnUpdateConnect(wxUpdateUIEvent& event) { event.Enable(g_DeviceOpen.load() == 0); }

void CMainFrame::OnUpdateDisconnect(wxUpdateUIEvent& event) { event.Enable(g_DeviceOpen.load() != 0); }

void CMainFrame::OnUpdateFileCommands(wxUpdateUIEvent& event) {
    event.Enable(g_WorkerRunning.load() == 0);
}
