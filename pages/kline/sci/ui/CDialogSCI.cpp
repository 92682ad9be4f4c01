#include "pages/kline/sci/ui/CDialogSCI.h"

#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/textctrl.h>

#include "platform/ui/WxText.h"

CDialogSCI::CDialogSCI(CDialogMainA* hub) : UartImagePageDialog(hub, IDD_DIALOG_SCI, "SCI Test"), m_Page(*this) {
    Open();
}

void CDialogSCI::CreateControls() {

    wxBoxSizer* left = NewColumn();
    left->Add(NewPinBox(this,
                        {{wxID_ANY, "K1(TX1 RX1)"},
                         {wxID_ANY, "K2(TX2 RX2)"},
                         {wxID_ANY, "K / L (TX1 RX1 +TX2_L)"},
                         {wxID_ANY, "SAE J1708 (TX3 RX3)"},
                         {IDC_SCI_PIN_TX1_RX2, "SCI (TX1 RX2)"},
                         {IDC_SCI_PIN_TX2_RX1, "SCI (TX2 RX1)"}},
                        m_Pins),
              0, wxEXPAND | wxBOTTOM, 6);
    m_Pins.erase(m_Pins.begin(), m_Pins.begin() + 4);
    auto* modes = new wxStaticBoxSizer(wxVERTICAL, this, U8("工作模式(FMOD)"));
    bool first = true;
    for (const char* caption : {"000--UART", "001--ISO14230", "010--LIN ", "011--USER Frame"}) {
        auto* radio = new wxRadioButton(modes->GetStaticBox(), wxID_ANY, U8(caption), wxDefaultPosition,
                                        wxDefaultSize, first ? wxRB_GROUP : 0);
        first = false;
        radio->Disable();
        modes->Add(radio, 0, wxALL, 2);
    }
    m_HalfDuplex = new wxRadioButton(modes->GetStaticBox(), IDC_SCI_HALF_DUPLEX, U8("100--SCI Half-Duplex"));
    m_Duplex = new wxRadioButton(modes->GetStaticBox(), IDC_SCI_DUPLEX, U8("101--SCI Duplex"));
    modes->Add(m_HalfDuplex, 0, wxALL, 2);
    modes->Add(m_Duplex, 0, wxALL, 2);
    left->Add(modes, 0, wxEXPAND | wxBOTTOM, 6);
    left->Add(NewSerialSettingsBox(this, kUartSerialSettingsIds, m_Serial),
              0, wxEXPAND);

    wxBoxSizer* middle = NewColumn();
    middle->Add(NewEditsBox(this, "时间参数",
                            {{"UTXP1T:", IDC_SCI_UTXP1T, false, "ms"},
                             {"UFREET:", IDC_SCI_UFREET, false, "ms"},
                             {"URXP1MAX:", IDC_SCI_URXP1MAX, false, "ms"},
                             {"UTXVT0:", IDC_SCI_UTXVT0, false, "ms"},
                             {"URXVT1:", IDC_SCI_URXVT1, false, "ms"},
                             {"UFLAND:", IDC_SCI_UFLAND, true, nullptr}},
                            m_Edits),
                0, wxEXPAND | wxBOTTOM, 6);
    middle->Add(NewFrameCheckBox(this,
                                 {IDC_SCI_CHECK_RX, IDC_SCI_CHECK_TX, IDC_SCI_INVERT, IDC_SCI_CHECK_LAST,
                                  IDC_SCI_OFFSET, IDC_SCI_LENGTH_CONTROL, IDC_SCI_LRR, IDC_SCI_LENP,
                                  IDC_SCI_CHKSUM, IDC_SCI_CHKMOD},
                                 m_Checks),
                0, wxEXPAND);

    auto* frame = new wxStaticBoxSizer(wxVERTICAL, this, U8("数据桢"));
    wxWindow* frameBox = frame->GetStaticBox();
    frame->Add(NewCaptionedEdits(frameBox, {{"DLC", IDC_SCI_DLC, false}}, m_Edits), 0, wxALL, 4);
    AddDataEdit(frameBox, frame, IDC_SCI_DATA, m_Edits);
    NewColumn(1)->Add(frame, 1, wxEXPAND);

    FinishLayout({{IDC_UART_DEFAULTS, "设置为默认值"},
                  {IDC_UART_START, "设定并启动"},
                  {IDC_UART_STOP, "停止"},
                  {IDC_UART_SEND, "发送数据桢"},
                  {IDC_UART_EXIT, "退出"}});
}

void CDialogSCI::BindHandlers() {
    BindImageFields({{IDC_SCI_UTXP1T, uart::UTXP1T, UartFieldKind::Ms0To255},
                     {IDC_SCI_UFREET, uart::UFREET, UartFieldKind::Ms0To255},
                     {IDC_SCI_URXP1MAX, uart::URXP1MAX, UartFieldKind::Ms1To255},
                     {IDC_SCI_UTXVT0, uart::UTXVT0, UartFieldKind::Ms1To255},
                     {IDC_SCI_URXVT1, uart::URXVT1, UartFieldKind::Ms0To255}},
                    {{IDC_SCI_UFLAND, uart::UFLAND, 0}});
    BindSerialSettings(m_Serial, SerialPage());
    BindFrameChecks(false);
    m_Pins[0]->Bind(wxEVT_RADIOBUTTON, [this](wxCommandEvent&) { m_Page.SelectPin(UartPin::SciTx1Rx2); });
    m_Pins[1]->Bind(wxEVT_RADIOBUTTON, [this](wxCommandEvent&) { m_Page.SelectPin(UartPin::SciTx2Rx1); });
    m_HalfDuplex->Bind(wxEVT_RADIOBUTTON, [this](wxCommandEvent&) { m_Page.SelectDuplex(false); });
    m_Duplex->Bind(wxEVT_RADIOBUTTON, [this](wxCommandEvent&) { m_Page.SelectDuplex(true); });
    BindHexDataEdit(
        IDC_SCI_DATA, [this](const std::string& text) { return m_Page.DataChanged(text); },
        [this] { return m_Page.DataText(); }, [this] { Edit(IDC_SCI_DLC)->ChangeValue(U8(m_Page.DlcText())); });
}

void CDialogSCI::UpdateControls() {
    const UartRegisterImage& image = m_Page.Image();
    m_Pins[0]->SetValue((image[uart::PINSEL] & 0x0F) == 0x4);
    m_Pins[1]->SetValue((image[uart::PINSEL] & 0x0F) == 0x1);
    m_Duplex->SetValue((image[uart::UFRMCON] & uart::FmodMask) == uart::FmodSciDuplex);
    m_HalfDuplex->SetValue((image[uart::UFRMCON] & uart::FmodMask) == uart::FmodSciHalf);
    ShowSerialSettings(m_Serial, SerialPage(), m_Page.BaudRow());
    ShowImageFields();
    ShowImageControls();
    Edit(IDC_SCI_DATA)->ChangeValue(U8(m_Page.DataText()));
    Edit(IDC_SCI_DLC)->ChangeValue(U8(m_Page.DlcText()));
}

void CDialogSCI::OnBnClickedSendFrame() { m_Page.Send(); }
