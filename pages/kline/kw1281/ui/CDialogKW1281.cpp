#include "pages/kline/kw1281/ui/CDialogKW1281.h"

#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "platform/ui/WxText.h"

CDialogKW1281::CDialogKW1281(CDialogMainA* hub)
    : UartImagePageDialog(hub, IDD_DIALOG_KW1281, " KW1281"), m_Page(*this) {
    Open();
}

void CDialogKW1281::CreateControls() {

    wxBoxSizer* left = NewColumn();
    auto* pins = NewPinBox(this,
                           {{IDC_UART_PIN_K1, "K1 (TX1 RX1)"},
                            {IDC_UART_PIN_K2, "K2(TX2 RX2)"},
                            {IDC_UART_PIN_KL, "K / L (TX1 RX1 +TX2_L)"},
                            {wxID_ANY, "RS485 (TX3 RX3)"},
                            {wxID_ANY, "SCI (TX1 RX2)"}},
                           m_Pins);
    m_Enl = new wxCheckBox(pins->GetStaticBox(), IDC_KW1281_ENL, U8("同时输出到L线(ENL)"));
    m_Enl->Disable();  // shows ENL as the radios set it
    pins->Add(m_Enl, 0, wxALL, 2);
    left->Add(pins, 0, wxEXPAND | wxBOTTOM, 6);
    left->Add(NewFrameModeBox(this, "011--USER Frame"), 0, wxEXPAND | wxBOTTOM, 6);
    left->Add(NewSerialSettingsBox(this, kUartSerialSettingsIds, m_Serial),
              0, wxEXPAND);

    wxBoxSizer* middle = NewColumn();
    auto* timing = NewEditsBox(this, "时间参数",
                               {{"URXP1MAX:", IDC_KW1281_URXP1MAX, false, "ms"},
                                {"UTXP1T:", IDC_KW1281_UTXP1T, false, "ms"},
                                {"UFREET:", IDC_KW1281_UFREET, false, "ms"},
                                {"UTXVT0:", IDC_KW1281_UTXVT0, false, "ms"},
                                {"URXVT1:", IDC_KW1281_URXVT1, false, "ms"},
                                {"BITADJ: 0x", IDC_KW1281_BITADJ, true, nullptr}},
                               m_Edits);
    wxWindow* timingBox = timing->GetStaticBox();
    timing->Add(new wxStaticText(timingBox, wxID_ANY, U8("OTHER Register(桢长度/桢校验):")), 0, wxLEFT, 4);
    timing->Add(new wxStaticText(timingBox, wxID_ANY, U8("UFLENCON = 0x80\nUFRMV = 0xE1\nUFLAND = 0xFF")),
                0, wxLEFT | wxBOTTOM, 8);
    timing->Add(new wxStaticText(timingBox, wxID_ANY, U8("ETX= 0x03")), 0, wxLEFT | wxBOTTOM, 4);
    middle->Add(timing, 0, wxEXPAND | wxBOTTOM, 6);
    middle->Add(NewFiveBaudBox(this, kUartFiveBaudIds, "自动波特率检测(ABAUD)", "触发地址:", "W2MAX:",
                               "RLEN = 3\nNKW2 = 1\nENKW2 = 1\nNADDR = 0", m_Edits, m_FiveBaud),
                0, wxEXPAND);

    wxBoxSizer* right = NewColumn(1);
    auto* frame = new wxStaticBoxSizer(wxVERTICAL, this, U8("数据块"));
    wxWindow* frameBox = frame->GetStaticBox();
    auto* initRow = new wxBoxSizer(wxHORIZONTAL);
    initRow->Add(new wxStaticText(frameBox, wxID_ANY, U8("总线初始化:")), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 4);
    m_InitType = NewChoice(frameBox, IDC_KW1281_INIT_TYPE,
                           {"000:无初始化", "001:快速初始化", "010:5BAUD慢速初始化", "011:自定义初始化脉冲"});
    initRow->Add(m_InitType, 0);
    frame->Add(initRow, 0, wxALL, 4);
    frame->Add(NewCaptionedEdits(frameBox, {{"LenByte", IDC_KW1281_LENGTH_BYTE, false},
                                            {"DLC", IDC_KW1281_DLC, false}},
                                 m_Edits),
               0, wxALL, 4);
    AddDataEdit(frameBox, frame, IDC_KW1281_DATA, m_Edits);
    frame->Add(NewCyclicRow(frameBox, IDC_KW1281_CYCLIC, IDC_KW1281_CYCLE_PERIOD, m_Edits, m_Timers),
               0, wxALL, 4);
    right->Add(frame, 1, wxEXPAND | wxBOTTOM, 6);
    right->Add(NewKeepAliveBox(this, IDC_KW1281_KEEPALIVE_ENABLE, IDC_KW1281_KEEPALIVE_INTERVAL,
                               IDC_KW1281_KEEPALIVE_DATA, "数据(不包含:长度\\计数\\结束):", 0, m_Edits,
                               m_Timers),
               0, wxEXPAND);

    FinishLayout({{IDC_UART_DEFAULTS, "设置为默认值"},
                  {IDC_UART_START, "设定并启动"},
                  {IDC_UART_STOP, "停止"},
                  {IDC_UART_SEND, "发送数据桢"},
                  {IDC_UART_SEND_INIT, "发送 初始化"},
                  {IDC_UART_EXIT, "退出"}});
}

void CDialogKW1281::BindHandlers() {
    BindImageFields({{IDC_KW1281_URXP1MAX, uart::URXP1MAX, UartFieldKind::Ms1To255},
                     {IDC_KW1281_UTXP1T, uart::UTXP1T, UartFieldKind::Ms0To255},
                     {IDC_KW1281_UFREET, uart::UFREET, UartFieldKind::Ms0To255},
                     {IDC_KW1281_UTXVT0, uart::UTXVT0, UartFieldKind::Ms1To255},
                     {IDC_KW1281_URXVT1, uart::URXVT1, UartFieldKind::Ms0To255}},
                    {{IDC_KW1281_BITADJ, uart::BITADJ, 0}});
    BindFiveBaud(0);
    BindSerialSettings(m_Serial, SerialPage());
    BindTimerControls(true);
    BindKLinePins(m_Pins, m_Enl);
    m_InitType->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) { m_Page.SetInitType(m_InitType->GetSelection()); });
    BindHexDataEdit(
        IDC_KW1281_DATA, [this](const std::string& text) { return m_Page.DataChanged(text); },
        [this] { return m_Page.DataText(); }, [this] { ShowData(); });
    BindHexDataEdit(
        IDC_KW1281_KEEPALIVE_DATA, [this](const std::string& text) { return m_Page.KeepAliveDataChanged(text); },
        [this] { return m_Page.KeepAliveDataText(); });
}

void CDialogKW1281::UpdateControls() {
    const UartRegisterImage& image = m_Page.Image();
    m_Pins[0]->SetValue(true);
    m_Enl->SetValue((image[uart::CONB] & uart::ConbEnl) != 0);
    ShowSerialSettings(m_Serial, SerialPage(), m_Page.BaudRow());
    ShowImageFields();
    ShowImageControls();
    ShowTimerControls();
    m_InitType->SetSelection(m_Page.InitType());
    Edit(IDC_KW1281_DATA)->ChangeValue(U8(m_Page.DataText()));
    ShowData();
    Edit(IDC_KW1281_KEEPALIVE_DATA)->ChangeValue(U8(m_Page.KeepAliveDataText()));
}

void CDialogKW1281::ShowData() {
    Edit(IDC_KW1281_LENGTH_BYTE)->ChangeValue(U8(m_Page.LengthByteText()));
    Edit(IDC_KW1281_DLC)->ChangeValue(U8(m_Page.DlcText()));
}

void CDialogKW1281::ShowPageStatus() {
    m_Timers.keepAlive->Enable(m_Page.Session().KeepAliveCheckEnabled());
}

void CDialogKW1281::OnBnClickedSendFrame() { m_Page.Send(); }

void CDialogKW1281::OnBnClickedSendInitFrame() {
    m_Page.SendWithInit();
    ShowPageStatus();
}

void CDialogKW1281::OnTimer(int id) {
    m_Page.OnTimer(id);
    if (!PageTimerRunning(kPageKeepAliveTimer) && !PageTimerRunning(kPageCyclicTimer))
        ShowPageStatus();
}
