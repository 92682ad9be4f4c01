#include "pages/kline/ui/UartPageDialog.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/textctrl.h>

#include <algorithm>

#include "monitor/HexText.h"
#include "monitor/ui/CDialogMainA.h"
#include "monitor/ui/DialogHubPage.h"
#include "platform/Message.h"
#include "platform/ui/WxText.h"

UartPageDialog::UartPageDialog(CDialogMainA* hub, int id, const char* title) : PageDialog(hub, id, title) {}

wxBoxSizer* UartPageDialog::Top() {
    if (!m_Top) {
        m_Top = new wxBoxSizer(wxVERTICAL);
        m_Columns = new wxBoxSizer(wxHORIZONTAL);
    }
    return m_Top;
}

wxBoxSizer* UartPageDialog::NewColumn(int proportion) {
    Top();
    auto* column = new wxBoxSizer(wxVERTICAL);
    m_Columns->Add(column, proportion, wxEXPAND | wxRIGHT, 6);
    return column;
}

void UartPageDialog::FinishLayout(std::initializer_list<std::pair<int, const char*>> buttons) {
    Top()->Add(m_Columns, 1, wxEXPAND | wxALL, 6);
    m_Top->Add(NewButtonRow(buttons), 0, wxALIGN_RIGHT | wxLEFT | wxRIGHT | wxBOTTOM, 6);
    SetSizerAndFit(m_Top);
}

wxSizer* UartPageDialog::NewButtonRow(std::initializer_list<std::pair<int, const char*>> buttons) {
    wxSizer* row = NewPageButtonRow(this, buttons, IDC_UART_EXIT, m_Buttons);
    // "设置为默认值" does nothing on the pages of this family.
    BindFamilyButtons();
    return row;
}

void UartPageDialog::BindFamilyButtons() {
    const bool sendInit = m_Buttons.count(IDC_UART_SEND_INIT) != 0;
    std::vector<wxButton*> send = {m_Buttons.at(IDC_UART_SEND)};
    if (sendInit) send.push_back(m_Buttons.at(IDC_UART_SEND_INIT));
    BindRunButtons(m_Buttons.at(IDC_UART_START), m_Buttons.at(IDC_UART_STOP), send, m_Buttons.at(IDC_UART_EXIT));
    OnButton(IDC_UART_SEND, [this] { OnBnClickedSendFrame(); });
    if (sendInit) OnButton(IDC_UART_SEND_INIT, [this] { OnBnClickedSendInitFrame(); });
}

void UartPageDialog::ApplyEdit(wxTextCtrl* edit, const PageEditResult& result) {
    ShowFieldEdit(edit, result, kUartFieldMessageCaption);
}

void UartPageDialog::BindHexDataEdit(int id, std::function<PageEditResult(const std::string&)> changed,
                                     std::function<std::string()> text, std::function<void()> after) {
    OnText(id, [this, id, changed, after] {
        const PageEditResult result = changed(Text(id));
        if (after) after();
        ApplyEdit(Edit(id), result);
    });
    OnLeave(id, [this, id, text] { Edit(id)->ChangeValue(U8(text())); });
}

void UartImagePageDialog::BindKLinePins(const std::vector<wxRadioButton*>& radios, wxCheckBox* enl) {
    const UartPin pins[] = {UartPin::K1, UartPin::K2, UartPin::KL};
    for (size_t i = 0; i < radios.size() && i < 3; ++i) {
        const UartPin pin = pins[i];
        radios[i]->Bind(wxEVT_RADIOBUTTON, [this, pin, enl](wxCommandEvent&) {
            enl->SetValue(Base().SelectKLinePin(pin));
        });
    }
}

void UartImagePageDialog::BindImageFields(std::vector<UartByteFieldControl> bytes,
                                     std::vector<UartHexFieldId> hexes) {
    BindByteFields(
        m_Edits, bytes.data(), bytes.size(),
        [this](size_t offset, UartFieldKind kind, const std::string& text) {
            return Base().ByteFieldChanged(offset, kind, text);
        },
        kUartFieldMessageCaption);
    m_ByteFields.insert(m_ByteFields.end(), bytes.begin(), bytes.end());
    for (const UartHexFieldId& field : hexes) {
        OnText(field.id, [this, field] { Base().HexFieldChanged(field.offset, Text(field.id)); });
        if (field.limit) Edit(field.id)->SetMaxLength(field.limit);
        m_HexFields.push_back(field);
    }
}

void UartImagePageDialog::ShowImageFields() {
    ShowByteFields(m_Edits, m_ByteFields.data(), m_ByteFields.size(), Base().Image());
    for (const UartHexFieldId& field : m_HexFields)
        Edit(field.id)->ChangeValue(U8(HexByteText(Base().Image()[field.offset])));
}

SerialSettingsPage UartImagePageDialog::SerialPage() {
    SerialSettingsPage page;
    page.image = [this]() -> UartRegisterImage& { return Base().Image(); };
    page.selectBaud = [this](size_t row) { return Base().SelectBaud(row); };
    page.brgChanged = [this](const std::string& text) { return Base().BrgChanged(text); };
    page.messageCaption = kUartFieldMessageCaption;
    return page;
}

void UartImagePageDialog::BindImageBit(wxCheckBox* check, size_t offset, uint8_t mask,
                                  std::function<void()> after) {
    check->Bind(wxEVT_CHECKBOX, [this, check, offset, mask, after](wxCommandEvent&) {
        SetImageBits(Base().Image(), offset, mask, check->GetValue());
        if (after) after();
    });
    m_ImageBits.push_back(ImageBit{check, offset, mask});
}

void UartImagePageDialog::BindImageField(wxChoice* choice, size_t offset, uint8_t mask,
                                    std::function<void()> after) {
    choice->Bind(wxEVT_CHOICE, [this, choice, offset, mask, after](wxCommandEvent&) {
        SetImageField(Base().Image(), offset, mask,
                      static_cast<uint8_t>(std::max(0, choice->GetSelection())));
        if (after) after();
    });
    m_ImageFields.push_back(ImageField{choice, offset, mask});
}

void UartImagePageDialog::BindFrameChecks(bool checksumLive, std::function<void()> after) {
    const FrameCheckControls& c = m_Checks;
    BindImageBit(c.checkRx, uart::UFRMV, uart::FrmvCheckRx);
    BindImageBit(c.checkTx, uart::UFRMV, uart::FrmvCheckTx);
    BindImageBit(c.invert, uart::UFRMV, uart::FrmvInvertChecksum);
    BindImageBit(c.checkLast, uart::UFRMV, uart::FrmvCheckLast);
    BindImageField(c.offset, uart::UFRMV, uart::FrmvOffsetMask);
    BindImageBit(c.lengthControl, uart::UFLENCON, uart::FlenLengthControl);
    BindImageField(c.lrr, uart::UFLENCON, uart::FlenLrrMask);
    BindImageField(c.lenp, uart::UFLENCON, uart::FlenLenpMask);
    if (checksumLive) {
        BindImageBit(c.chksum, uart::UFRMV, uart::FrmvChksum, after);
        BindImageField(c.chkmod, uart::UFLENCON, uart::FlenChkmod, after);
    } else {
        // Shown with the image's bits, but a change here does not reach the image.
        c.chksum->SetValue(UartChecksumOn(Base().Image()));
        c.chkmod->SetSelection((Base().Image()[uart::UFLENCON] & uart::FlenChkmod) ? 1 : 0);
    }
}

void UartImagePageDialog::BindFiveBaud(unsigned addressLimit) {
    const FiveBaudIds& ids = m_FiveBaud.ids;
    BindImageBit(m_FiveBaud.autoBaud, uart::CONB, uart::ConbAbaud);
    BindImageFields({{ids.w1max, uart::W1MAX, UartFieldKind::Units20Ms1To255},
                     {ids.w2max, uart::W2MAX, UartFieldKind::Ms1To255},
                     {ids.w4send, uart::W4SEND, UartFieldKind::Ms1To255},
                     {ids.w4max, uart::W4MAX, UartFieldKind::Ms1To255}},
                    {{ids.address, uart::slowInitAddress, addressLimit}});
}

void UartImagePageDialog::ShowImageControls() {
    const UartRegisterImage& image = Base().Image();
    for (const ImageBit& bit : m_ImageBits) bit.check->SetValue((image[bit.offset] & bit.mask) != 0);
    for (const ImageField& field : m_ImageFields) {
        unsigned shift = 0;
        while (!((field.mask >> shift) & 1)) ++shift;
        field.choice->SetSelection((image[field.offset] & field.mask) >> shift);
    }
}

void UartImagePageDialog::BindTimerControls(bool intervalChecked) {
    const TimerControls& t = m_Timers;
    t.cyclic->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) { Base().SetCyclicSend(m_Timers.cyclic->GetValue()); });
    OnText(t.periodId, [this] {
        ApplyEdit(Edit(m_Timers.periodId), Base().CyclePeriodChanged(Text(m_Timers.periodId)));
    });
    t.keepAlive->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) {
        Base().SetKeepAliveEnabled(m_Timers.keepAlive->GetValue());
    });
    OnText(t.intervalId, [this] { Base().KeepAliveIntervalChanged(Text(m_Timers.intervalId)); });
    if (intervalChecked)
        OnLeave(t.intervalId, [this] {
            ApplyEdit(Edit(m_Timers.intervalId), Base().KeepAliveIntervalLeft(Text(m_Timers.intervalId)));
        });
}

void UartImagePageDialog::ShowTimerControls() {
    const UartTimerFields& timing = Base().Timing();
    m_Timers.cyclic->SetValue(timing.cyclicSend);
    Edit(m_Timers.periodId)->ChangeValue(wxString::Format("%u", timing.cyclePeriodMs));
    m_Timers.keepAlive->SetValue(timing.keepAliveEnabled);
    Edit(m_Timers.intervalId)->ChangeValue(wxString::Format("%u", timing.keepAliveIntervalMs));
}
