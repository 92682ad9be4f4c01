#include "pages/kline/uarttest/ui/CDiaglogTestUart.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <algorithm>

#include "monitor/ui/CDialogMainA.h"
#include "monitor/ui/DialogHubPage.h"
#include "monitor/ui/CEditHex.h"
#include "platform/ui/WxText.h"

namespace {

struct PinRadio {
    int id;
    const char* caption;
    UartPin pin;
};
const PinRadio kPins[] = {
    {IDC_UART_PIN_K1, "K1 (TX1 RX1)", UartPin::K1},
    {IDC_UART_PIN_K2, "K2 (TX2 RX2)", UartPin::K2},
    {IDC_TESTUART_PIN_SCI12, "SCI (TX1 RX2)", UartPin::SciTx1Rx2},
    {IDC_TESTUART_PIN_SCI21, "SCI (TX2 RX1)", UartPin::SciTx2Rx1},
};

struct SleepCheck {
    int id;
    const char* caption;
    uint8_t bit;
};
const SleepCheck kSleepChecks[] = {
    {IDC_TESTUART_WCE, "WCE=1", kSleepWce},
    {IDC_TESTUART_WUE, "WUE=1", kSleepWue},
    {IDC_TESTUART_WJE, "WJE=1", kSleepWje},
};

}  // namespace

CDiaglogTestUart::CDiaglogTestUart(CDialogMainA* hub)
    : UartPageDialog(hub, IDD_DIALOG_TEST_UART, "TEST UART") {
    Open();
}

void CDiaglogTestUart::CreateControls() {
    auto* top = new wxBoxSizer(wxVERTICAL);
    auto* columns = new wxBoxSizer(wxHORIZONTAL);
    top->Add(columns, 1, wxEXPAND | wxALL, 6);

    auto* left = new wxBoxSizer(wxVERTICAL);
    columns->Add(left, 0, wxEXPAND | wxRIGHT, 6);
    auto* pins = new wxStaticBoxSizer(wxVERTICAL, this, U8("物理总线选择(PINSEL)"));
    bool first = true;
    for (const PinRadio& p : kPins) {
        auto* radio = new wxRadioButton(pins->GetStaticBox(), p.id, U8(p.caption),
                                        wxDefaultPosition, wxDefaultSize, first ? wxRB_GROUP : 0);
        first = false;
        m_Pins[p.id] = radio;
        pins->Add(radio, 0, wxALL, 2);
    }
    left->Add(pins, 0, wxEXPAND | wxBOTTOM, 6);
    left->Add(NewFrameModeBox(this, "000--UART", 4, true), 0, wxEXPAND | wxBOTTOM, 6);
    left->Add(NewSerialSettingsBox(this, kUartSerialSettingsIds, m_Serial),
              0, wxEXPAND);

    auto* right = new wxBoxSizer(wxVERTICAL);
    columns->Add(right, 1, wxEXPAND);
    auto* frame = new wxStaticBoxSizer(wxVERTICAL, this, U8("数据桢"));
    wxWindow* frameBox = frame->GetStaticBox();
    auto* dlcRow = new wxBoxSizer(wxHORIZONTAL);
    dlcRow->Add(new wxStaticText(frameBox, wxID_ANY, U8("DLC")), 0, wxALIGN_CENTER_VERTICAL);
    m_Dlc = new wxTextCtrl(frameBox, IDC_TESTUART_DLC, wxString(), wxDefaultPosition,
                           wxSize(50, -1), wxTE_READONLY);
    m_Dlc->Disable();
    dlcRow->Add(m_Dlc, 0, wxLEFT, kPageLayoutGap);
    frame->Add(dlcRow, 0, wxALL, 4);
    frame->Add(new wxStaticText(frameBox, wxID_ANY, U8("数据:")), 0, wxLEFT, 4);
    m_Data = new CEditHex(frameBox, IDC_TESTUART_DATA, wxString(), wxDefaultPosition,
                          wxSize(360, 80), wxTE_MULTILINE);
    frame->Add(m_Data, 1, wxEXPAND | wxALL, 4);
    frame->Add(new wxStaticText(frameBox, wxID_ANY,
                                U8("注: 本实例只是对普通UART模式进行测试，无实际应用。\n"
                                   " 用K1 K2测试时能接收到自已发送的数据")),
               0, wxALL, 4);
    frame->Add(new wxStaticText(frameBox, wxID_ANY, U8("发送接收方式：用PIC18F4550中断进行")), 0,
               wxALL, 4);
    right->Add(frame, 1, wxEXPAND | wxBOTTOM, 6);

    auto* sleep = new wxStaticBoxSizer(wxVERTICAL, this, U8("休眠测试"));
    wxWindow* sleepBox = sleep->GetStaticBox();
    auto* checks = new wxBoxSizer(wxHORIZONTAL);
    for (const SleepCheck& c : kSleepChecks) {
        auto* check = new wxCheckBox(sleepBox, c.id, U8(c.caption));
        m_SleepChecks[c.id] = check;
        checks->Add(check, 0, wxRIGHT, 8);
    }
    sleep->Add(checks, 0, wxALL, 4);
    auto* actions = new wxBoxSizer(wxHORIZONTAL);
    for (const auto& [id, caption] : {std::pair<int, const char*>{IDC_TESTUART_SLEEP, "休眠"},
                                      {IDC_TESTUART_WAKE, "唤醒"},
                                      {IDC_TESTUART_RD_INTF, "RD_INTF"}}) {
        m_Buttons[id] = new wxButton(sleepBox, id, U8(caption));
        actions->Add(m_Buttons[id], 0, wxRIGHT, 4);
    }
    m_Intf = new wxTextCtrl(sleepBox, IDC_TESTUART_INTF, wxString(), wxDefaultPosition,
                            wxSize(60, -1), wxTE_READONLY);
    actions->Add(m_Intf, 0, wxALIGN_CENTER_VERTICAL);
    sleep->Add(actions, 0, wxALL, 4);
    auto* battery = new wxBoxSizer(wxHORIZONTAL);
    battery->Add(new wxStaticText(sleepBox, wxID_ANY, U8("电瓶电压:")), 0, wxALIGN_CENTER_VERTICAL);
    // No source feeds it: it shows "00.00" for good.
    auto* volts = new wxStaticText(sleepBox, IDC_TESTUART_BATTERY, "00.00");
    // 24 is the font's height in pixels (a Windows font height), not its point size.
    m_BatteryFont = wxFont(wxFontInfo(wxSize(0, 24)).FaceName("Arial").Bold().Italic());
    volts->SetFont(m_BatteryFont);
    volts->SetForegroundColour(*wxBLUE);
    volts->SetBackgroundColour(*wxWHITE);
    battery->Add(volts, 0, wxLEFT | wxALIGN_CENTER_VERTICAL, 8);
    sleep->Add(battery, 0, wxALL, 4);
    right->Add(sleep, 0, wxEXPAND);

    auto* buttons = NewPageButtonRow(this,
                                     {{IDC_TESTUART_START, "设定并启动"},
                                      {IDC_TESTUART_STOP, "停止"},
                                      {IDC_TESTUART_SEND, "发送数据桢"},
                                      {IDC_TESTUART_EXIT, "退出"}},
                                     IDC_TESTUART_EXIT, m_Buttons);
    top->Add(buttons, 0, wxALIGN_RIGHT | wxLEFT | wxRIGHT | wxBOTTOM, 6);
    SetSizerAndFit(top);
}

void CDiaglogTestUart::BindHandlers() {
    auto onButton = [this](int id, void (CDiaglogTestUart::*method)()) {
        m_Buttons.at(id)->Bind(wxEVT_BUTTON, [this, method](wxCommandEvent&) { (this->*method)(); });
    };
    BindFamilyButtons();
    onButton(IDC_TESTUART_SLEEP, &CDiaglogTestUart::OnBnClickedSleep);
    onButton(IDC_TESTUART_WAKE, &CDiaglogTestUart::OnBnClickedWake);
    onButton(IDC_TESTUART_RD_INTF, &CDiaglogTestUart::OnBnClickedRdIntf);

    for (const PinRadio& p : kPins)
        m_Pins.at(p.id)->Bind(wxEVT_RADIOBUTTON, [this, p](wxCommandEvent&) {
            ApplyPinSelection(m_Page.Image(), p.pin, false);
        });
    for (const SleepCheck& c : kSleepChecks)
        m_SleepChecks.at(c.id)->Bind(wxEVT_CHECKBOX, [this, c](wxCommandEvent&) {
            m_Page.SetSleepBit(c.bit, m_SleepChecks.at(c.id)->GetValue());
        });
    BindSerialSettings(m_Serial, SerialPage());
    OnEditText(m_Data, [this] {
        const PageEditResult result = m_Page.DataChanged(m_Data->GetValue().utf8_string());
        ShowCount();
        ShowFieldEdit(m_Data, result);
    });
    OnEditLeft(m_Data, [this] { m_Data->ChangeValue(U8(m_Page.DataText())); });
}

void CDiaglogTestUart::UpdateControls() {
    for (const PinRadio& p : kPins) m_Pins.at(p.id)->SetValue(p.pin == UartPin::K1);
    ShowSerialSettings(m_Serial, SerialPage(), kUartBaudRow9600);
    m_Data->ChangeValue(U8(m_Page.DataText()));
    ShowCount();
    for (const SleepCheck& c : kSleepChecks)
        m_SleepChecks.at(c.id)->SetValue((m_Page.SleepControl() & c.bit) != 0);
}

void CDiaglogTestUart::ShowCount() {
    m_Dlc->ChangeValue(wxString::Format("%u", static_cast<unsigned>(m_Page.Count())));
}

SerialSettingsPage CDiaglogTestUart::SerialPage() {
    return SerialSettingsPage{[this]() -> UartRegisterImage& { return m_Page.Image(); },
                              [this](size_t row) { return m_Page.SelectBaud(row); },
                              [this](const std::string& text) { return m_Page.BrgChanged(text); },
                              std::string()};
}

void CDiaglogTestUart::OnBnClickedSendFrame() { m_Page.Send(); }

void CDiaglogTestUart::OnBnClickedSleep() { m_Page.Sleep(); }

void CDiaglogTestUart::OnBnClickedWake() { m_Page.Wake(); }

void CDiaglogTestUart::OnBnClickedRdIntf() { m_Intf->ChangeValue(U8(m_Page.ReadInterruptFlags())); }

