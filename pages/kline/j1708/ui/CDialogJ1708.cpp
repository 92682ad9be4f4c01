#include "pages/kline/j1708/ui/CDialogJ1708.h"

#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "monitor/HexText.h"
#include "platform/ui/WxText.h"

CDialogJ1708::CDialogJ1708(CDialogMainA* hub)
    : UartImagePageDialog(hub, IDD_DIALOG_J1708, "SAE J1708"), m_Page(*this) {
    Open();
}

void CDialogJ1708::CreateControls() {
    Top()->Add(new wxStaticText(this, wxID_ANY, U8("注: K线按 J1708时序 J1587应用层工作")), 0, wxLEFT | wxTOP, 6);

    wxBoxSizer* left = NewColumn();
    left->Add(NewPinBox(this,
                        {{IDC_UART_PIN_K1, "K1 (TX1 RX1)"},
                         {IDC_UART_PIN_K2, "K2(TX2 RX2)"},
                         {IDC_J1708_PIN_J1708, "SAE J1708(TX3 RX3)"}},
                        m_Pins),
              0, wxEXPAND | wxBOTTOM, 6);
    auto* modes = new wxStaticBoxSizer(wxVERTICAL, this, U8("工作模式(FMOD)"));
    const std::pair<int, const char*> modeRadios[] = {
        {1108, "000--UART"}, {1109, "001--ISO14230"}, {1110, "010--LIN"}, {1090, "011--USER Frame"}};
    for (const auto& [id, caption] : modeRadios) {
        auto* radio = new wxRadioButton(modes->GetStaticBox(), id, U8(caption), wxDefaultPosition,
                                        wxDefaultSize, id == 1108 ? wxRB_GROUP : 0);
        radio->SetValue(id == 1090);
        radio->Enable(id == 1090);
        modes->Add(radio, 0, wxALL, 2);
    }
    left->Add(modes, 0, wxEXPAND | wxBOTTOM, 6);
    left->Add(NewSerialSettingsBox(this, kUartSerialSettingsIdsWithActual, m_Serial),
              0, wxEXPAND);

    wxBoxSizer* middle = NewColumn();
    auto* timing = NewEditsBox(this, "时间参数",
                               {{"URXP1MAX:", IDC_J1708_URXP1MAX, false, "ms"},
                                {"UTXP1T:", IDC_J1708_UTXP1T, false, "ms"},
                                {"UFREET:", IDC_J1708_UFREET, false, "ms"}},
                               m_Edits);
    auto* note = new wxStaticText(timing->GetStaticBox(), wxID_ANY,
                                  U8("注: URXP1MAX UTXP1T UFREET 必须设定为0ms，URXP1MAX实际为11bit times. "
                                     "UFREET(Ta=10bits+2*P bits)"));
    note->Wrap(220);
    timing->Add(note, 0, wxALL, 4);
    middle->Add(timing, 0, wxEXPAND | wxBOTTOM, 6);
    auto* engine = new wxStaticBoxSizer(wxVERTICAL, this, U8("UFRMCOM=0x83  UFRMV=0x08(ENCS)  UFLENCON=0x08(CSM)"));
    wxWindow* engineBox = engine->GetStaticBox();
    m_Encs = new wxCheckBox(engineBox, IDC_J1708_ENCS, U8("CHKSUM (ENCS)"));
    engine->Add(m_Encs, 0, wxALL, 4);
    auto* grid = NewFieldGrid();
    grid->Add(new wxStaticText(engineBox, wxID_ANY, U8("CSM:")), 0, wxALIGN_CENTER_VERTICAL);
    m_Csm = NewNumberChoice(engineBox, IDC_J1708_CSM, 2);
    grid->Add(m_Csm, 0);
    grid->Add(new wxStaticText(engineBox, wxID_ANY, U8("Message Period ( P ):")), 0, wxALIGN_CENTER_VERTICAL);
    m_Period = NewChoice(engineBox, IDC_J1708_PERIOD, {"1", "2", "3", "4", "5", "6", "7", "8"});
    grid->Add(m_Period, 0);
    engine->Add(grid, 0, wxALL, 4);
    middle->Add(engine, 0, wxEXPAND);

    auto* frame = new wxStaticBoxSizer(wxVERTICAL, this, U8("数据桢"));
    wxWindow* frameBox = frame->GetStaticBox();
    frame->Add(NewCaptionedEdits(frameBox, {{"MID: 0x", IDC_J1708_MID, true}, {"DLC", IDC_J1708_DLC, false},
                                            {"CS", IDC_J1708_CS, false}},
                                 m_Edits),
               0, wxALL, 4);
    Edit(IDC_J1708_MID)->SetMaxLength(2);
    AddDataEdit(frameBox, frame, IDC_J1708_DATA, m_Edits);
    NewColumn(1)->Add(frame, 1, wxEXPAND);

    FinishLayout({{IDC_UART_START, "设定并启动"},
                  {IDC_UART_STOP, "停止"},
                  {IDC_UART_SEND, "发送数据桢"},
                  {IDC_UART_EXIT, "退出"}});
}

void CDialogJ1708::BindHandlers() {
    // 0 ms is what the bus wants here: all three accept it.
    BindImageFields({{IDC_J1708_URXP1MAX, uart::URXP1MAX, UartFieldKind::Ms0To255},
                     {IDC_J1708_UTXP1T, uart::UTXP1T, UartFieldKind::Ms0To255},
                     {IDC_J1708_UFREET, uart::UFREET, UartFieldKind::Ms0To255}},
                    {});
    BindSerialSettings(m_Serial, SerialPage());
    BindImageBit(m_Encs, uart::UFRMV, uart::FrmvChksum, [this] { ShowChecksum(); });
    BindImageField(m_Csm, uart::UFLENCON, uart::FlenChkmod, [this] { ShowChecksum(); });
    m_Period->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) {
        m_Page.SelectMessagePeriod(static_cast<unsigned>(std::max(0, m_Period->GetSelection())));
    });
    const UartPin pins[] = {UartPin::K1, UartPin::K2, UartPin::Rs485};
    for (size_t i = 0; i < 3; ++i) {
        const UartPin pin = pins[i];
        m_Pins[i]->Bind(wxEVT_RADIOBUTTON, [this, pin](wxCommandEvent&) { m_Page.SelectPin(pin); });
    }
    OnText(IDC_J1708_MID, [this] { Edit(IDC_J1708_CS)->ChangeValue(U8(m_Page.MidChanged(Text(IDC_J1708_MID)))); });
    BindHexDataEdit(
        IDC_J1708_DATA, [this](const std::string& text) { return m_Page.DataChanged(text); },
        [this] { return m_Page.DataText(); },
        [this] {
            Edit(IDC_J1708_DLC)->ChangeValue(U8(m_Page.DlcText()));
            ShowChecksum();
        });
}

void CDialogJ1708::UpdateControls() {
    m_Pins[0]->SetValue(true);
    ShowSerialSettings(m_Serial, SerialPage(), m_Page.BaudRow());
    ShowImageFields();
    ShowImageControls();
    m_Period->SetSelection(m_Page.Image()[uart::messagePeriod] & 0x07);
    Edit(IDC_J1708_MID)->ChangeValue(U8(HexByteText(m_Page.State().mid)));
    Edit(IDC_J1708_DATA)->ChangeValue(U8(m_Page.DataText()));
    Edit(IDC_J1708_DLC)->ChangeValue(U8(m_Page.DlcText()));
    ShowChecksum();
}

void CDialogJ1708::ShowChecksum() { Edit(IDC_J1708_CS)->ChangeValue(U8(m_Page.ChecksumText())); }

void CDialogJ1708::OnBnClickedSendFrame() { m_Page.Send(); }
