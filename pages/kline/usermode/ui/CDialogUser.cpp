#include "pages/kline/usermode/ui/CDialogUser.h"

#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "platform/ui/WxText.h"

CDialogUser::CDialogUser(CDialogMainA* hub)
    : UartImagePageDialog(hub, IDD_DIALOG_USER, "ISO9141-2 USER MOD"), m_Page(*this) {
    Open();
}

void CDialogUser::CreateControls() {

    wxBoxSizer* left = NewColumn();
    auto* pins = NewPinBox(this,
                           {{IDC_UART_PIN_K1, "K1 (TX1 RX1)"},
                            {IDC_UART_PIN_K2, "K2(TX2 RX2)"},
                            {IDC_UART_PIN_KL, "K / L (TX1 RX1 +TX2_L)"}},
                           m_Pins);
    m_Enl = new wxCheckBox(pins->GetStaticBox(), IDC_USER_ENL, U8("同时输出到L线(ENL)"));
    pins->Add(m_Enl, 0, wxALL, 2);
    left->Add(pins, 0, wxEXPAND | wxBOTTOM, 6);
    left->Add(new wxStaticText(this, wxID_ANY, U8("FMOD(UFRMCON)\n=011  User Mode")), 0, wxALL, 4);
    left->Add(NewSerialSettingsBox(this, kUartSerialSettingsIdsWithActual, m_Serial),
              0, wxEXPAND | wxBOTTOM, 6);
    left->Add(NewEditsBox(this, "快速初始化",
                          {{"低电平时间:", IDC_USER_FAST_LOW, false, "ms"},
                           {"高电平时间:", IDC_USER_FAST_HIGH, false, "ms"}},
                          m_Edits),
              0, wxEXPAND);

    wxBoxSizer* middle = NewColumn();
    middle->Add(NewEditsBox(this, "时间参数",
                            {{"URXP1MAX:", IDC_USER_URXP1MAX, false, "ms"},
                             {"UTXP1T:", IDC_USER_UTXP1T, false, "ms"},
                             {"UFREET:", IDC_USER_UFREET, false, "ms"},
                             {"UTXVT0:", IDC_USER_UTXVT0, false, "ms"},
                             {"URXVT1:", IDC_USER_URXVT1, false, "ms"},
                             {"BITADJ", IDC_USER_BITADJ, true, nullptr},
                             {"UFLAND:", IDC_USER_UFLAND, true, nullptr}},
                            m_Edits),
                0, wxEXPAND | wxBOTTOM, 6);
    middle->Add(NewFrameCheckBox(this,
                                 {IDC_USER_CHECK_RX, IDC_USER_CHECK_TX, IDC_USER_INVERT, IDC_USER_CHECK_LAST,
                                  IDC_USER_OFFSET, IDC_USER_LENGTH_CONTROL, IDC_USER_LRR, IDC_USER_LENP,
                                  IDC_USER_CHKSUM, IDC_USER_CHKMOD},
                                 m_Checks),
                0, wxEXPAND);

    auto* slow =
        NewFiveBaudBox(this, kUartFiveBaudIds, "自动波特率ABAUD", "触发地址(0x):", "WnMAX:", nullptr, m_Edits, m_FiveBaud);
    wxWindow* slowBox = slow->GetStaticBox();
    auto* conb = NewFieldGrid();
    auto addChoice = [&](const char* label, int id, int n) {
        conb->Add(new wxStaticText(slowBox, wxID_ANY, U8(label)), 0, wxALIGN_CENTER_VERTICAL);
        wxChoice* c = NewNumberChoice(slowBox, id, n);
        conb->Add(c, 0);
        return c;
    };
    m_Rlen = addChoice("RLEN:", IDC_USER_RLEN, 8);
    m_Nkw2 = addChoice("NKW2:", IDC_USER_NKW2, 2);
    m_Enkw2 = addChoice("ENKW2:", IDC_USER_ENKW2, 2);
    m_Edits[IDC_USER_USERKW] = AddFieldRow(slowBox, conb, "USERKW:", IDC_USER_USERKW, true, 50);
    slow->Add(conb, 0, wxALL, 4);
    NewColumn()->Add(slow, 0, wxEXPAND);

    wxBoxSizer* right = NewColumn(1);
    auto* frame = new wxStaticBoxSizer(wxVERTICAL, this, U8("数据桢"));
    wxWindow* frameBox = frame->GetStaticBox();
    auto* initRow = new wxBoxSizer(wxHORIZONTAL);
    initRow->Add(new wxStaticText(frameBox, wxID_ANY, U8("总线初始化:")), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 4);
    m_InitType = NewChoice(frameBox, IDC_USER_INIT_TYPE,
                           {"000:无初始化", "001:快速初始化", "010:5BAUD慢速初始化", "011:自定义初始化脉冲"});
    initRow->Add(m_InitType, 0);
    frame->Add(initRow, 0, wxALL, 4);
    frame->Add(NewCaptionedEdits(frameBox, {{"DLC", IDC_USER_DLC, false}, {"CS", IDC_USER_CS, false}}, m_Edits),
               0, wxALL, 4);
    AddDataEdit(frameBox, frame, IDC_USER_DATA, m_Edits);
    frame->Add(NewCyclicRow(frameBox, IDC_USER_CYCLIC, IDC_USER_CYCLE_PERIOD, m_Edits, m_Timers), 0, wxALL, 4);
    right->Add(frame, 1, wxEXPAND | wxBOTTOM, 6);
    right->Add(NewKeepAliveBox(this, IDC_USER_KEEPALIVE_ENABLE, IDC_USER_KEEPALIVE_INTERVAL, IDC_USER_KEEPALIVE_DATA,
                               "数据:", IDC_USER_KEEPALIVE_CS, m_Edits, m_Timers),
               0, wxEXPAND);

    FinishLayout({{IDC_UART_START, "设定并启动"},
                  {IDC_UART_STOP, "停止"},
                  {IDC_UART_SEND, "发送数据桢"},
                  {IDC_UART_SEND_INIT, "发送 初始化+数据桢"},
                  {IDC_UART_EXIT, "退出"}});
}

void CDialogUser::BindHandlers() {
    BindImageFields({{IDC_USER_URXP1MAX, uart::URXP1MAX, UartFieldKind::Ms1To255},
                     {IDC_USER_UTXP1T, uart::UTXP1T, UartFieldKind::Ms0To255},
                     {IDC_USER_UFREET, uart::UFREET, UartFieldKind::Ms0To255},
                     {IDC_USER_UTXVT0, uart::UTXVT0, UartFieldKind::Ms1To255},
                     {IDC_USER_URXVT1, uart::URXVT1, UartFieldKind::Ms0To255},
                     {IDC_USER_FAST_LOW, uart::fastInitLowMs, UartFieldKind::Ms1To255},
                     {IDC_USER_FAST_HIGH, uart::fastInitHighMs, UartFieldKind::Ms1To255}},
                    {{IDC_USER_BITADJ, uart::BITADJ, 2}, {IDC_USER_UFLAND, uart::UFLAND, 0}, {IDC_USER_USERKW, uart::USERKW, 0}});
    BindFiveBaud(2);
    BindSerialSettings(m_Serial, SerialPage());
    BindTimerControls(false);  // the interval is taken as typed
    BindFrameChecks(true, [this] { ShowChecksums(); });
    BindImageBit(m_Enl, uart::CONB, uart::ConbEnl);
    BindImageField(m_Rlen, uart::CONB, uart::ConbRlenMask);
    BindImageField(m_Nkw2, uart::CONB, uart::ConbNkw2);
    BindImageField(m_Enkw2, uart::CONB, uart::ConbEnkw2);
    BindKLinePins(m_Pins, m_Enl);
    m_InitType->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) { m_Page.SetInitType(m_InitType->GetSelection()); });
    BindHexDataEdit(
        IDC_USER_DATA, [this](const std::string& text) { return m_Page.DataChanged(text); },
        [this] { return m_Page.DataText(); },
        [this] {
            Edit(IDC_USER_DLC)->ChangeValue(U8(m_Page.DlcText()));
            ShowChecksums();
        });
    BindHexDataEdit(
        IDC_USER_KEEPALIVE_DATA, [this](const std::string& text) { return m_Page.KeepAliveDataChanged(text); },
        [this] { return m_Page.KeepAliveDataText(); }, [this] { ShowChecksums(); });
}

void CDialogUser::UpdateControls() {
    m_Pins[0]->SetValue(true);
    ShowSerialSettings(m_Serial, SerialPage(), m_Page.BaudRow());
    ShowImageFields();
    ShowImageControls();
    ShowTimerControls();
    m_InitType->SetSelection(m_Page.InitType());
    Edit(IDC_USER_DATA)->ChangeValue(U8(m_Page.DataText()));
    Edit(IDC_USER_DLC)->ChangeValue(U8(m_Page.DlcText()));
    Edit(IDC_USER_KEEPALIVE_DATA)->ChangeValue(U8(m_Page.KeepAliveDataText()));
    ShowChecksums();
}

void CDialogUser::ShowChecksums() {
    Edit(IDC_USER_CS)->ChangeValue(U8(m_Page.ChecksumText()));
    Edit(IDC_USER_KEEPALIVE_CS)->ChangeValue(U8(m_Page.KeepAliveChecksumText()));
}

void CDialogUser::OnBnClickedSendFrame() { m_Page.Send(); }

void CDialogUser::OnBnClickedSendInitFrame() { m_Page.SendWithInit(); }

void CDialogUser::OnTimer(int id) { m_Page.OnTimer(id); }
