#include "simulator/ui/CDialogObdSimu.h"

#include <algorithm>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/filedlg.h>
#include <wx/msgdlg.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/weakref.h>

#include "device/UsbOperation.h"
#include "monitor/Connection.h"
#include "monitor/ui/CDialogMainA.h"
#include "monitor/ui/DialogHubPage.h"
#include "pages/shared/ui/PageWindow.h"
#include "platform/Message.h"
#include "platform/ui/WxMessageSink.h"
#include "platform/ui/WxText.h"
#include "simulator/SimResponder.h"
#include "simulator/ui/CDialogEitRepondFrame.h"
#include "simulator/ui/CDialogSetEcuPara.h"

namespace {

// What a list heading takes besides its text: the margins on either side and the divider.
constexpr int kHeadingMargins = 10;

}  // namespace

CListOBDRespond::CListOBDRespond(wxWindow* parent, int id)
    : wxListCtrl(parent, id, wxDefaultPosition, wxSize(900, 300),
                 wxLC_REPORT | wxLC_HRULES | wxLC_VRULES) {
    for (int c = 0; c < kRespondListColumns; ++c) {
        const RespondListColumn& column = kRespondListColumnList[c];
        // The list's widths, or wider where the heading would be cut.
        AppendColumn(U8(column.title),
                     column.align == ColumnAlign::Centre ? wxLIST_FORMAT_CENTRE : wxLIST_FORMAT_LEFT,
                     std::max(column.width, GetTextExtent(U8(column.title)).x + kHeadingMargins));
    }
}

void CListOBDRespond::Refill(const OBDRespondEntry* entries, uint32_t count) {
    Freeze();
    DeleteAllItems();
    for (uint32_t row = 0; row < count; ++row) {
        const long item = InsertItem(row, U8(RespondListCell(entries[row], 0)));
        for (int c = 1; c < kRespondListColumns; ++c) SetItem(item, c, U8(RespondListCell(entries[row], c)));
    }
    Thaw();
}

std::vector<uint32_t> CListOBDRespond::SelectedRows() const {
    std::vector<uint32_t> rows;
    for (long item = GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED); item != -1;
         item = GetNextItem(item, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED))
        rows.push_back(static_cast<uint32_t>(item));
    return rows;
}

CDialogObdSimu::CDialogObdSimu(CDialogMainA* hub)
    : wxDialog(nullptr, IDD_DIALOG_OBD_SIMU, "ECU - OBD Simulator", wxDefaultPosition, wxDefaultSize,
               kPageWindowStyle),
      m_pMainDlg(hub) {
    m_AskOkCancel = [this](const std::string& text, const std::string& caption) {
        return platform::AskWx(this, text, caption, wxOK | wxCANCEL, platform::MessageIcon::Information);
    };
    m_ChooseFile = [this](bool save) {
        wxFileDialog dialog(this, wxFileSelectorPromptStr, wxEmptyString, "*.sim", U8(kSimFileFilter),
                            save ? wxFD_SAVE | wxFD_OVERWRITE_PROMPT : wxFD_OPEN);
        return dialog.ShowModal() == wxID_OK ? dialog.GetPath().utf8_string() : std::string();
    };
    m_RunModal = [](wxDialog& dialog) { return dialog.ShowModal(); };
    CreateControls();
    // The status line is written by the responder through the one crossing to this thread.
    wxWeakRef<wxStaticText> status(m_Status);
    SetSimStatusListener([status](const std::string& text) {
        if (status) status->SetLabel(U8(text));
    });
    m_Page.Init(ProgramDirectory());
    ShowProtocol();
    m_List->Refill(g_RespondTable, g_RespondCount);
    BindHandlers();
    RefreshDeviceStatus();
    PlacePageWindow(this, hub);
}

CDialogObdSimu::~CDialogObdSimu() { SetSimStatusListener(nullptr); }

void CDialogObdSimu::CreateControls() {
    auto* top = new wxBoxSizer(wxVERTICAL);
    const wxFont pageFont(wxFontInfo(11).Bold().FaceName("Arial"));

    auto* protocolRow = new wxBoxSizer(wxHORIZONTAL);
    protocolRow->Add(new wxStaticText(this, wxID_ANY, U8("模拟ECU物理总线类型:")), 0,
                     wxALIGN_CENTER_VERTICAL | wxRIGHT, kPageLayoutGap);
    wxArrayString names;
    for (const char* name : kSimProtocolNames) names.Add(U8(name));
    m_Protocol = new wxChoice(this, IDC_OBD_PROTOCOL, wxDefaultPosition, wxDefaultSize, names);
    protocolRow->Add(m_Protocol, 0, wxALIGN_CENTER_VERTICAL);
    top->Add(protocolRow, 0, wxALL, kPageLayoutGap * 2);

    m_Summary = new wxStaticText(this, IDC_OBD_SUMMARY, wxEmptyString, wxDefaultPosition,
                                 wxSize(-1, 48), wxST_NO_AUTORESIZE);
    m_Summary->SetFont(pageFont);
    m_Summary->SetForegroundColour(*wxBLUE);
    m_Summary->SetBackgroundColour(*wxWHITE);
    top->Add(m_Summary, 0, wxEXPAND | wxLEFT | wxRIGHT, kPageLayoutGap * 2);

    auto* listBox = new wxStaticBoxSizer(wxVERTICAL, this, U8("MOD:PID 应答数据定义（双击可修改）"));
    m_List = new CListOBDRespond(listBox->GetStaticBox(), IDC_OBD_LIST);
    listBox->Add(m_List, 1, wxEXPAND | wxALL, kPageLayoutGap);
    top->Add(listBox, 1, wxEXPAND | wxALL, kPageLayoutGap * 2);

    auto* bottom = new wxBoxSizer(wxHORIZONTAL);
    auto button = [this](wxWindow* parent, int id, const char* label) {
        auto* b = new wxButton(parent, id, U8(label));
        m_Buttons[id] = b;
        return b;
    };
    auto* edit = new wxBoxSizer(wxVERTICAL);
    auto* row1 = new wxBoxSizer(wxHORIZONTAL);
    row1->Add(button(this, IDC_OBD_ADD, "增加应答数据"), 0, wxRIGHT, kPageLayoutGap);
    row1->Add(button(this, IDC_OBD_DELETE, "删除选择的数据"), 0, wxRIGHT, kPageLayoutGap);
    row1->Add(button(this, IDC_OBD_PARAMS, "配置ECU参数"), 0);
    auto* row2 = new wxBoxSizer(wxHORIZONTAL);
    row2->Add(button(this, IDC_OBD_SAVE, "保存到文件"), 0, wxRIGHT, kPageLayoutGap);
    row2->Add(button(this, IDC_OBD_LOAD, "从文件调入数据"), 0);
    edit->Add(row1, 0, wxBOTTOM, kPageLayoutGap);
    edit->Add(row2, 0);
    bottom->Add(edit, 0, wxRIGHT, kPageLayoutGap * 4);

    auto* negative = new wxStaticBoxSizer(wxVERTICAL, this, U8("Negative Respond (隐性应答)"));
    m_Negative = new wxCheckBox(negative->GetStaticBox(), IDC_OBD_NEGATIVE, "Enable Negative Respond");
    negative->Add(m_Negative, 0, wxALL, kPageLayoutGap);
    negative->Add(new wxStaticText(negative->GetStaticBox(), wxID_ANY,
                                   "ECU Respond:  Header +0x7F  SID  0x11  (Sevice not Supported)"),
                  0, wxALL, kPageLayoutGap);
    bottom->Add(negative, 0, wxRIGHT, kPageLayoutGap * 4);

    auto* run = new wxBoxSizer(wxVERTICAL);
    auto* statusRow = new wxBoxSizer(wxHORIZONTAL);
    statusRow->Add(new wxStaticText(this, wxID_ANY, U8("状态:")), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT,
                   kPageLayoutGap);
    m_Status = new wxStaticText(this, IDC_OBD_STATUS, U8(kSimStatusStopped), wxDefaultPosition,
                                wxSize(280, -1), wxST_NO_AUTORESIZE);
    m_Status->SetFont(pageFont);
    m_Status->SetForegroundColour(*wxRED);
    m_Status->SetBackgroundColour(*wxWHITE);
    statusRow->Add(m_Status, 0, wxALIGN_CENTER_VERTICAL);
    run->Add(statusRow, 0, wxBOTTOM, kPageLayoutGap);
    auto* runButtons = new wxBoxSizer(wxHORIZONTAL);
    runButtons->Add(button(this, IDC_OBD_START, "启动模拟"), 0, wxRIGHT, kPageLayoutGap);
    runButtons->Add(button(this, IDC_OBD_EXIT, "退出"), 0);
    run->Add(runButtons, 0);
    bottom->Add(run, 0);
    top->Add(bottom, 0, wxALL, kPageLayoutGap * 2);

    SetSizerAndFit(top);
    SetEscapeId(IDC_OBD_EXIT);  // Esc presses "退出"
    m_Negative->SetValue(true);
}

void CDialogObdSimu::BindHandlers() {
    auto onButton = [this](int id, void (CDialogObdSimu::*method)()) {
        m_Buttons.at(id)->Bind(wxEVT_BUTTON, [this, method](wxCommandEvent&) { (this->*method)(); });
    };
    onButton(IDC_OBD_DELETE, &CDialogObdSimu::OnBnClickedDeleteItems);
    onButton(IDC_OBD_SAVE, &CDialogObdSimu::OnBnClickedSaveFile);
    onButton(IDC_OBD_LOAD, &CDialogObdSimu::OnBnClickedLoadFile);
    onButton(IDC_OBD_START, &CDialogObdSimu::OnBnClickedStartStop);
    onButton(IDC_OBD_EXIT, &CDialogObdSimu::OnBnClickedCancel);
    onButton(IDC_OBD_ADD, &CDialogObdSimu::OnBnClickedAddItem);
    onButton(IDC_OBD_PARAMS, &CDialogObdSimu::OnBnClickedSetEcuPara);
    m_List->Bind(wxEVT_LIST_ITEM_ACTIVATED, [this](wxListEvent& event) { OnNMDblclkListRespond(event.GetIndex()); });
    m_Protocol->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) { OnCbnSelchangeComboProtocol(); });
    m_Negative->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) { OnBnClickedCheckNegativeRespond(); });
    Bind(wxEVT_CLOSE_WINDOW, &CDialogObdSimu::OnClose, this);
}

void CDialogObdSimu::ShowProtocol() {
    m_Protocol->SetSelection(static_cast<int>(m_Page.ProtocolIndex()));
    m_Summary->SetLabel(U8(m_Page.Summary()));
}

void CDialogObdSimu::RefreshDeviceStatus() {
    const ObdSimuStatus status = m_Page.DeviceStatus();
    for (int id : {IDC_OBD_DELETE, IDC_OBD_SAVE, IDC_OBD_LOAD, IDC_OBD_PARAMS})
        m_Buttons.at(id)->Enable(status.editingEnabled);
    m_Buttons.at(IDC_OBD_ADD)->Enable(status.editingEnabled && m_Page.CanAddEntry());
    m_Protocol->Enable(status.editingEnabled);
    wxButton* start = m_Buttons.at(IDC_OBD_START);
    start->SetLabel(U8(status.startText));
    SetTitle(U8(status.caption));
}

void CDialogObdSimu::OnCbnSelchangeComboProtocol() {
    m_Page.SelectProtocol(static_cast<uint32_t>(m_Protocol->GetSelection()));
    ShowProtocol();
    RefreshDeviceStatus();
}

void CDialogObdSimu::OnBnClickedCheckNegativeRespond() {
    g_NegativeRespondEnabled.store(m_Negative->GetValue() ? 1 : 0);
}

void CDialogObdSimu::OnBnClickedDeleteItems() {
    const std::vector<uint32_t> rows = m_List->SelectedRows();
    if (rows.empty()) {
        platform::ShowMessage(kTextSelectRowsToDelete, kCaptionSelectRowsToDelete);
        return;
    }
    if (!m_AskOkCancel(DeleteQuestionText(rows.size()), kCaptionInformation)) return;
    m_Page.DeleteRows(rows);
    m_List->Refill(g_RespondTable, g_RespondCount);
}

void CDialogObdSimu::OnBnClickedSaveFile() {
    const std::string path = m_ChooseFile(true);
    if (path.empty()) return;
    m_Page.SaveFile(WithSimExtension(path));
}

void CDialogObdSimu::OnBnClickedLoadFile() {
    if (m_Page.modified && !m_AskOkCancel(kSimTextLoadUnsaved, kCaptionInformation)) return;
    const std::string path = m_ChooseFile(false);
    if (path.empty() || m_Page.LoadFile(path) != SimFileResult::Ok) return;
    ShowProtocol();
    m_List->Refill(g_RespondTable, g_RespondCount);
    RefreshDeviceStatus();
}

void CDialogObdSimu::OnBnClickedStartStop() {
    if (g_WorkerRunning.load(std::memory_order_acquire)) {
        m_Page.Stop();
    } else {
        StartedForPage(m_Page.Start(m_pMainDlg), m_pMainDlg);
    }
    RefreshDeviceStatus();
}

void CDialogObdSimu::OnBnClickedCancel() {
    if (g_WorkerRunning.load(std::memory_order_acquire)) {
        platform::ShowMessage(kTextStopFirst, kCaptionStopFirst);
        return;
    }
    if (m_Page.modified && !m_AskOkCancel(kSimTextExitUnsaved, kCaptionInformation)) return;
    m_Page.modified = false;
    // The hub's buttons come back only when the page really closes.
    if (PageMayClose(m_pMainDlg)) Hide();
}

void CDialogObdSimu::OnBnClickedAddItem() {
    if (!m_Page.CanAddEntry()) return;
    OBDRespondEntry fresh;
    InitRespondEntry(fresh);
    CDialogEitRepondFrame editor(this, fresh, false, true);
    if (m_RunModal(editor) != wxID_OK) return;
    m_Page.AddEntry(editor.entry);
    m_List->Refill(g_RespondTable, g_RespondCount);
    RefreshDeviceStatus();
}

void CDialogObdSimu::OnNMDblclkListRespond(long row) {
    // The responder reads the table while it runs.
    if (g_WorkerRunning.load(std::memory_order_acquire) || row < 0 ||
        static_cast<uint32_t>(row) >= g_RespondCount)
        return;
    CDialogEitRepondFrame editor(this, g_RespondTable[row], true, m_Page.CanAddEntry());
    if (m_RunModal(editor) != wxID_OK) return;
    m_Page.StoreEditedEntry(static_cast<uint32_t>(row), editor.entry, editor.replaceEntry != 0);
    m_List->Refill(g_RespondTable, g_RespondCount);
    RefreshDeviceStatus();
}

void CDialogObdSimu::OnBnClickedSetEcuPara() {
    CDialogSetEcuPara dialog(this, g_EcuSimParams);
    if (m_RunModal(dialog) != wxID_OK) return;
    m_Page.SetParams(dialog.Params());
    ShowProtocol();
}

void CDialogObdSimu::OnClose(wxCloseEvent& event) {
    HandlePageClose(event, [this] { m_Page.Stop(); }, [this] { OnBnClickedCancel(); });
}

std::unique_ptr<HubPage> MakeDialogObdSimuPage() { return std::make_unique<DialogHubPage<CDialogObdSimu>>(); }
