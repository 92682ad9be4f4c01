#include "pages/kline/ui/UartPageLayout.h"

#include <wx/choice.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>

#include <algorithm>
#include <string>

#include "monitor/ui/CEditHex.h"
#include "pages/kline/UartImage.h"
#include "platform/ui/WxText.h"

wxFlexGridSizer* NewFieldGrid() { return new wxFlexGridSizer(2, kUartLayoutGap, 2 * kUartLayoutGap); }

wxTextCtrl* AddFieldRow(wxWindow* parent, wxFlexGridSizer* grid, const char* label, int id,
                        bool hex, int width, const char* unit) {
    grid->Add(new wxStaticText(parent, wxID_ANY, U8(label)), 0, wxALIGN_CENTER_VERTICAL);
    wxTextCtrl* edit =
        hex ? new CEditHex(parent, id, wxString(), wxDefaultPosition, wxSize(width, -1))
            : new wxTextCtrl(parent, id, wxString(), wxDefaultPosition, wxSize(width, -1));
    if (!unit) {
        grid->Add(edit, 0, wxALIGN_CENTER_VERTICAL);
        return edit;
    }
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    row->Add(edit, 0, wxALIGN_CENTER_VERTICAL);
    row->Add(new wxStaticText(parent, wxID_ANY, U8(unit)), 0, wxALIGN_CENTER_VERTICAL | wxLEFT,
             kUartLayoutGap);
    grid->Add(row, 0, wxALIGN_CENTER_VERTICAL);
    return edit;
}

wxChoice* NewChoice(wxWindow* parent, int id, std::initializer_list<const char*> items) {
    auto* choice = new wxChoice(parent, id);
    for (const char* item : items) choice->Append(U8(item));
    return choice;
}

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
    out.actualBaud = new wxTextCtrl(box, wxID_ANY, wxString(), wxDefaultPosition, wxSize(70, -1),
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
    line->Add(grid, 0, wxALL, kUartLayoutGap);
    return line;
}

wxStaticBoxSizer* NewFrameModeBox(wxWindow* parent, const char* checkedMode) {
    auto* modes = new wxStaticBoxSizer(wxVERTICAL, parent, U8("工作模式(FMOD)"));
    bool first = true;
    for (const char* caption : {"000--UART", "001--ISO14230", "010--LIN ", "011--USER Frame",
                                "100--SCI Half-Duplex", "101--SCI Duplex"}) {
        auto* radio = new wxRadioButton(modes->GetStaticBox(), wxID_ANY, U8(caption),
                                        wxDefaultPosition, wxDefaultSize, first ? wxRB_GROUP : 0);
        first = false;
        radio->SetValue(std::string(caption) == checkedMode);
        radio->Disable();
        modes->Add(radio, 0, wxALL, 2);
    }
    return modes;
}

void ApplyEditResult(wxTextCtrl* edit, const PageEditResult& result, const std::string& caption,
                     platform::MessageIcon icon) {
    if (result.rewrite) {
        // ChangeValue: the rewrite must not run the handler (and its message) a second time.
        edit->ChangeValue(U8(result.text));
        edit->SetInsertionPointEnd();
    }
    if (!result.message.empty()) platform::ShowMessage(result.message, caption, icon);
}
