#include "pages/kline/ui/UartPageLayout.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/gbsizer.h>
#include <wx/toplevel.h>
#include <wx/dialog.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>

#include <algorithm>
#include <iterator>
#include <string>

#include "monitor/ui/CDialogMainA.h"
#include "monitor/ui/CEditHex.h"
#include "pages/kline/UartImage.h"
#include "platform/Message.h"
#include "platform/ui/WxText.h"

wxStaticBoxSizer* NewSerialSettingsBox(wxWindow* parent, const SerialSettingsIds& ids,
                                       SerialSettingsControls& out) {
    auto* line = new wxStaticBoxSizer(wxVERTICAL, parent, U8("串口设置"));
    wxWindow* box = line->GetStaticBox();
    auto* grid = NewFieldGrid();
    auto addLabel = [&](const char* text) {
        grid->Add(new wxStaticText(box, wxID_ANY, U8(text)), 0, wxALIGN_CENTER_VERTICAL);
    };
    addLabel("波特率:");
    out.baud = new wxChoice(box, ids.baud);
    for (const UartBaudTableEntry& row : kUartBaudTable) out.baud->Append(U8(row.name));
    grid->Add(out.baud, 0, wxEXPAND);
    out.brg = AddFieldRow(box, grid, "BRG(0-65535):", ids.brg, false, 70);
    addLabel("实际波特率为:");
    out.actualBaud = new wxTextCtrl(box, ids.actualBaud, wxString(), wxDefaultPosition, wxSize(70, -1),
                                    wxTE_READONLY);
    grid->Add(out.actualBaud, 0);
    addLabel("数据/校验位:");
    out.dataFormat = NewChoice(box, ids.dataFormat,
                               {"8 位数据,无奇偶校验", "8 位数据,偶校验", "8 位数据,奇校验"});
    grid->Add(out.dataFormat, 0, wxEXPAND);
    addLabel("停止位:");
    out.stopBits = NewChoice(box, ids.stopBits, {"1 个停止位", "2 个停止位"});
    grid->Add(out.stopBits, 0, wxEXPAND);
    // Room for the longest Chinese entries.
    for (wxChoice* c : {out.baud, out.dataFormat, out.stopBits})
        c->SetMinSize(wxSize(std::max(c->GetBestSize().x, 170), -1));
    out.brg->SetMaxLength(5);
    line->Add(grid, 0, wxALL, kPageLayoutGap);
    return line;
}

wxStaticBoxSizer* NewFrameModeBox(wxWindow* parent, const char* checkedMode, size_t modeCount,
                                  bool checkedEnabled) {
    auto* modes = new wxStaticBoxSizer(wxVERTICAL, parent, U8("工作模式(FMOD)"));
    const char* const captions[] = {"000--UART",       "001--ISO14230",        "010--LIN ",
                                    "011--USER Frame", "100--SCI Half-Duplex", "101--SCI Duplex"};
    for (size_t i = 0; i < std::min(modeCount, std::size(captions)); ++i) {
        auto* radio = new wxRadioButton(modes->GetStaticBox(), wxID_ANY, U8(captions[i]),
                                        wxDefaultPosition, wxDefaultSize, i == 0 ? wxRB_GROUP : 0);
        const bool checked = std::string(captions[i]) == checkedMode;
        radio->SetValue(checked);
        radio->Enable(checked && checkedEnabled);
        modes->Add(radio, 0, wxALL, 2);
    }
    return modes;
}

void BindByteFields(const std::map<int, wxTextCtrl*>& edits, const UartByteFieldControl* fields,
                    size_t count,
                    const std::function<PageEditResult(size_t, UartFieldKind, const std::string&)>& changed,
                    const std::string& caption) {
    for (size_t i = 0; i < count; ++i) {
        const UartByteFieldControl field = fields[i];
        wxTextCtrl* edit = edits.at(field.id);
        OnEditText(edit, [edit, field, changed, caption] {
            ShowFieldEdit(edit, changed(field.offset, field.kind, edit->GetValue().utf8_string()), caption);
        });
    }
}

void ShowByteFields(const std::map<int, wxTextCtrl*>& edits, const UartByteFieldControl* fields,
                    size_t count, const UartRegisterImage& image) {
    for (size_t i = 0; i < count; ++i)
        edits.at(fields[i].id)->ChangeValue(wxString::Format("%u", static_cast<unsigned>(image[fields[i].offset])));
}

void BindSerialSettings(const SerialSettingsControls& c, const SerialSettingsPage& page) {
    c.baud->Bind(wxEVT_CHOICE, [c, page](wxCommandEvent&) { OnSerialBaudSelected(c, page); });
    OnEditText(c.brg, [c, page] {
        ShowFieldEdit(c.brg, page.brgChanged(c.brg->GetValue().utf8_string()), page.messageCaption);
        c.actualBaud->ChangeValue(wxString::Format("%u", UartActualBaud(GetImageBrg(page.image()))));
    });
    c.dataFormat->Bind(wxEVT_CHOICE, [c, page](wxCommandEvent&) {
        SelectDataFormat(page.image(), static_cast<unsigned>(std::max(0, c.dataFormat->GetSelection())));
    });
    c.stopBits->Bind(wxEVT_CHOICE, [c, page](wxCommandEvent&) {
        SelectStopBits(page.image(), static_cast<unsigned>(std::max(0, c.stopBits->GetSelection())));
    });
}

void ShowSerialSettings(const SerialSettingsControls& c, const SerialSettingsPage& page, size_t row) {
    c.baud->SetSelection(static_cast<int>(row));
    OnSerialBaudSelected(c, page);
    c.dataFormat->SetSelection(static_cast<int>(DataFormatSelection(page.image())));
    c.stopBits->SetSelection(static_cast<int>(StopBitsSelection(page.image())));
}

void OnSerialBaudSelected(const SerialSettingsControls& c, const SerialSettingsPage& page) {
    const BaudRowResult row = page.selectBaud(static_cast<size_t>(std::max(0, c.baud->GetSelection())));
    c.brg->Enable(row.brgEditEnabled);
    c.brg->ChangeValue(wxString::Format("%u", static_cast<unsigned>(row.brg)));
    c.actualBaud->ChangeValue(wxString::Format("%u", row.actualBaud));
}

wxStaticBoxSizer* NewPinBox(wxWindow* parent, std::initializer_list<PinRadioEntry> entries,
                            std::vector<wxRadioButton*>& out) {
    auto* pins = new wxStaticBoxSizer(wxVERTICAL, parent, U8("物理总线选择(PINSEL)"));
    bool first = true;
    for (const PinRadioEntry& entry : entries) {
        auto* radio = new wxRadioButton(pins->GetStaticBox(), entry.id, U8(entry.caption),
                                        wxDefaultPosition, wxDefaultSize, first ? wxRB_GROUP : 0);
        first = false;
        if (entry.id == wxID_ANY) radio->Disable();
        pins->Add(radio, 0, wxALL, 2);
        out.push_back(radio);
    }
    return pins;
}

wxChoice* NewNumberChoice(wxWindow* parent, int id, int n) {
    auto* choice = new wxChoice(parent, id);
    for (int i = 0; i < n; ++i) choice->Append(wxString::Format("%d", i));
    return choice;
}

wxStaticBoxSizer* NewFrameCheckBox(wxWindow* parent, const FrameCheckIds& ids,
                                   FrameCheckControls& out) {
    auto* group = new wxStaticBoxSizer(wxVERTICAL, parent, U8("UFRMV / UFLENCON"));
    wxWindow* box = group->GetStaticBox();
    auto check = [&](int id, const char* caption) {
        auto* c = new wxCheckBox(box, id, U8(caption));
        group->Add(c, 0, wxALL, 2);
        return c;
    };
    out.checkRx = check(ids.checkRx, "使能接收时每字节校验");
    out.checkTx = check(ids.checkTx, "使能发送时每字节校验");
    out.invert = check(ids.invert, "校验字节反向");
    out.checkLast = check(ids.checkLast, "需校验桢的最后一字节");
    out.lengthControl = check(ids.lengthControl, "使能长度控制");
    out.chksum = check(ids.chksum, "CHKSUM");
    auto* grid = NewFieldGrid();
    auto choice = [&](const char* label, int id, int n) {
        grid->Add(new wxStaticText(box, wxID_ANY, U8(label)), 0, wxALIGN_CENTER_VERTICAL);
        wxChoice* c = NewNumberChoice(box, id, n);
        grid->Add(c, 0);
        return c;
    };
    out.offset = choice("OFFSET:", ids.offset, 8);
    out.lrr = choice("LRR:", ids.lrr, 8);
    out.lenp = choice("LENP:", ids.lenp, 8);
    out.chkmod = choice("CHKMOD:", ids.chkmod, 2);
    group->Add(grid, 0, wxALL, kPageLayoutGap);
    return group;
}

wxStaticBoxSizer* NewFiveBaudBox(wxWindow* parent, const FiveBaudIds& ids, const char* autoBaudCaption,
                                 const char* addressLabel, const char* w2Label, const char* conbText,
                                 std::map<int, wxTextCtrl*>& edits, FiveBaudControls& out) {
    auto* slow = new wxStaticBoxSizer(wxVERTICAL, parent, U8("5BAUD慢速初始化"));
    wxWindow* box = slow->GetStaticBox();
    out.box = slow;
    out.ids = ids;
    out.autoBaud = new wxCheckBox(box, ids.autoBaud, U8(autoBaudCaption));
    slow->Add(out.autoBaud, 0, wxALL, kPageLayoutGap);
    if (conbText) {
        slow->Add(new wxStaticText(box, wxID_ANY, U8("<CONB>")), 0, wxLEFT, kPageLayoutGap);
        slow->Add(new wxStaticText(box, wxID_ANY, U8(conbText)), 0, wxLEFT | wxBOTTOM, 2 * kPageLayoutGap);
    }
    auto* grid = NewFieldGrid();
    edits[ids.address] = AddFieldRow(box, grid, addressLabel, ids.address, true, 50);
    edits[ids.w1max] = AddFieldRow(box, grid, "W1MAX:", ids.w1max, false, 50, "(x20) ms");
    edits[ids.w2max] = AddFieldRow(box, grid, w2Label, ids.w2max, false, 50, "ms");
    edits[ids.w4send] = AddFieldRow(box, grid, "W4SEND:", ids.w4send, false, 50, "ms");
    edits[ids.w4max] = AddFieldRow(box, grid, "W4MAX:", ids.w4max, false, 50, "ms");
    for (int id : {ids.w1max, ids.w2max, ids.w4send, ids.w4max}) edits[id]->SetMaxLength(3);
    slow->Add(grid, 0, wxALL, kPageLayoutGap);
    return slow;
}

wxSizer* NewCaptionedEdits(wxWindow* parent, std::initializer_list<CaptionedEdit> entries,
                           std::map<int, wxTextCtrl*>& edits) {
    auto* header = new wxGridBagSizer(2, 2 * kPageLayoutGap);
    int col = 0;
    for (const CaptionedEdit& entry : entries) {
        header->Add(new wxStaticText(parent, wxID_ANY, U8(entry.caption)), wxGBPosition(0, col));
        wxTextCtrl* edit =
            entry.hex ? new CEditHex(parent, entry.id, wxString(), wxDefaultPosition, wxSize(50, -1))
                      : new wxTextCtrl(parent, entry.id, wxString(), wxDefaultPosition,
                                       wxSize(50, -1), wxTE_READONLY);
        edits[entry.id] = edit;
        header->Add(edit, wxGBPosition(1, col));
        ++col;
    }
    return header;
}

void AddDataEdit(wxWindow* parent, wxSizer* sizer, int id, std::map<int, wxTextCtrl*>& edits) {
    sizer->Add(new wxStaticText(parent, wxID_ANY, U8("数据:")), 0, wxLEFT | wxTOP, kPageLayoutGap);
    auto* data = new CEditHex(parent, id, wxString(), wxDefaultPosition, wxSize(360, 80),
                              wxTE_MULTILINE);
    edits[id] = data;
    sizer->Add(data, 1, wxEXPAND | wxALL, kPageLayoutGap);
}

wxSizer* NewCyclicRow(wxWindow* parent, int checkId, int periodId,
                      std::map<int, wxTextCtrl*>& edits, TimerControls& out) {
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    out.cyclic = new wxCheckBox(parent, checkId, U8("循环发送"));
    out.periodId = periodId;
    row->Add(out.cyclic, 0, wxALIGN_CENTER_VERTICAL);
    auto* period = new wxTextCtrl(parent, periodId, wxString(), wxDefaultPosition, wxSize(60, -1));
    period->SetMaxLength(4);
    edits[periodId] = period;
    row->Add(period, 0, wxALIGN_CENTER_VERTICAL | wxLEFT, 2 * kPageLayoutGap);
    row->Add(new wxStaticText(parent, wxID_ANY, U8("ms")), 0, wxALIGN_CENTER_VERTICAL | wxLEFT,
             kPageLayoutGap);
    return row;
}

wxStaticBoxSizer* NewKeepAliveBox(wxWindow* parent, int checkId, int intervalId, int dataId,
                                  const char* dataLabel, int csId,
                                  std::map<int, wxTextCtrl*>& edits, TimerControls& out) {
    auto* keep = new wxStaticBoxSizer(wxVERTICAL, parent, U8("链路保持(由应用程序发送):"));
    wxWindow* box = keep->GetStaticBox();
    out.keepAlive = new wxCheckBox(box, checkId, U8("启用"));
    out.intervalId = intervalId;
    keep->Add(out.keepAlive, 0, wxALL, kPageLayoutGap);
    auto* grid = NewFieldGrid();
    edits[intervalId] = AddFieldRow(box, grid, "间隔时间:", intervalId, false, 60, "ms");
    edits[intervalId]->SetMaxLength(4);
    edits[dataId] = AddFieldRow(box, grid, dataLabel, dataId, true, 240);
    if (csId) {
        grid->Add(new wxStaticText(box, wxID_ANY, U8("CS")), 0, wxALIGN_CENTER_VERTICAL);
        auto* cs = new wxTextCtrl(box, csId, wxString(), wxDefaultPosition, wxSize(50, -1),
                                  wxTE_READONLY);
        edits[csId] = cs;
        grid->Add(cs, 0);
    }
    keep->Add(grid, 0, wxALL, kPageLayoutGap);
    return keep;
}

wxStaticBoxSizer* NewEditsBox(wxWindow* parent, const char* caption,
                              std::initializer_list<LabelledEdit> rows,
                              std::map<int, wxTextCtrl*>& edits) {
    auto* group = new wxStaticBoxSizer(wxVERTICAL, parent, U8(caption));
    wxWindow* box = group->GetStaticBox();
    auto* grid = NewFieldGrid();
    for (const LabelledEdit& row : rows)
        edits[row.id] = AddFieldRow(box, grid, row.label, row.id, row.hex, 50, row.unit);
    group->Add(grid, 0, wxALL, kPageLayoutGap);
    return group;
}
