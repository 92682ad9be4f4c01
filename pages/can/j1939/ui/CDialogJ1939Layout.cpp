// The controls of the J1939 page and where they sit.
#include <wx/sizer.h>
#include <wx/statbox.h>

#include "monitor/ui/CDialogMainA.h"
#include "monitor/ui/CEditHex.h"
#include "pages/can/j1939/ui/CDialogJ1939.h"
#include "pages/kline/ui/UartPageLayout.h"
#include "platform/ui/WxText.h"

void CDialogJ1939::CreateControls() {
    const int kGap = kUartLayoutGap;
    CanPageControls& c = m_C;
    auto* top = new wxBoxSizer(wxVERTICAL);
    auto* columns = new wxBoxSizer(wxHORIZONTAL);
    top->Add(columns, 1, wxEXPAND | wxALL, 6);

    auto edit = [&c](wxWindow* parent, int id, bool hex, int width, unsigned limit = 0, long style = 0) {
        wxTextCtrl* e = hex ? new CEditHex(parent, id, wxString(), wxDefaultPosition, wxSize(width, -1), style)
                            : new wxTextCtrl(parent, id, wxString(), wxDefaultPosition, wxSize(width, -1), style);
        if (limit) e->SetMaxLength(limit);
        c.edits[id] = e;
        return e;
    };
    auto display = [&](wxWindow* parent, int id, int width) { return edit(parent, id, false, width, 0, wxTE_READONLY); };
    auto label = [](wxWindow* parent, const char* text) { return new wxStaticText(parent, wxID_ANY, U8(text)); };
    auto choice = [&c](wxWindow* parent, int id) {
        return c.choices[id] = NewChoice(parent, id, {"0", "1", "2", "3", "4", "5", "6", "7"});
    };
    auto check = [&c](wxWindow* parent, int id, const char* text) {
        return c.checks[id] = new wxCheckBox(parent, id, U8(text));
    };
    auto button = [&c](wxWindow* parent, int id, const char* text) {
        return c.buttons[id] = new wxButton(parent, id, U8(text));
    };
    auto row = [&](wxWindow* parent, wxFlexGridSizer* grid, const char* text, int id, bool hex, int width,
                   unsigned limit, const char* unit = nullptr) {
        c.edits[id] = AddFieldRow(parent, grid, text, id, hex, width, unit);
        if (limit) c.edits[id]->SetMaxLength(limit);
    };

    // --- left: the head panel and the filter grid ---
    auto* left = new wxBoxSizer(wxVERTICAL);
    columns->Add(left, 0, wxEXPAND | wxRIGHT, 6);
    left->Add(NewCanHeadPanel(this, {"000 ISO15765 STD ADDR", "001 ISO15765 EXT ADDR", "010 J1939", "011 TP2.0"}, m_Head),
              0, wxEXPAND | wxBOTTOM, kGap);
    left->Add(NewCanFilterGrid(this, true, false, m_Filters), 0, wxEXPAND);

    // --- middle: the single frame with its identifier, the control block and timers ---
    auto* middle = new wxBoxSizer(wxVERTICAL);
    columns->Add(middle, 0, wxEXPAND | wxRIGHT, 6);

    auto* single = new wxStaticBoxSizer(wxVERTICAL, this, U8("J1939-单桢数据发送(CTXB0)"));
    wxWindow* sBox = single->GetStaticBox();
    auto* sGrid = NewFieldGrid();
    row(sBox, sGrid, "ID", IDC_J1939_SINGLE_ID, true, 90, 8);
    row(sBox, sGrid, "DLC", IDC_J1939_SINGLE_DLC, false, 30, 0);
    c.Edit(IDC_J1939_SINGLE_DLC)->SetEditable(false);
    row(sBox, sGrid, "数据:", IDC_J1939_SINGLE_DATA, true, 200, 23);
    row(sBox, sGrid, "填充值", IDC_J1939_FILL, true, 30, 2);
    single->Add(sGrid, 0, wxALL, kGap);
    auto* sRow = new wxBoxSizer(wxHORIZONTAL);
    sRow->Add(check(sBox, IDC_J1939_FIXED_LENGTH, "固定长度"), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, kGap);
    sRow->Add(button(sBox, IDC_J1939_SEND, "发送"));
    single->Add(sRow, 0, wxALL, kGap);
    single->Add(label(sBox, "当前发送桢信息(RES=0):"), 0, wxLEFT | wxTOP, kGap);
    auto* pdu = new wxFlexGridSizer(8, kGap, 2 * kGap);
    for (const char* h : {"PDU Fmt", "Priority", "DP", "PF", "GE", "DA", "SA", "PGN"}) pdu->Add(label(sBox, h));
    for (int id = IDC_J1939_PDU_FORMAT; id <= IDC_J1939_PDU_PGN; ++id)
        pdu->Add(c.labels[id] = new wxStaticText(sBox, id, "--"));
    single->Add(pdu, 0, wxALL, kGap);
    middle->Add(single, 0, wxEXPAND | wxBOTTOM, kGap);

    auto* ctrl = new wxStaticBoxSizer(wxVERTICAL, this, "CJ1939CTRL");
    wxWindow* cBox = ctrl->GetStaticBox();
    auto* cGrid = NewFieldGrid();
    cGrid->Add(label(cBox, "R0FLTN"), 0, wxALIGN_CENTER_VERTICAL);
    cGrid->Add(choice(cBox, IDC_J1939_R0FLTN));
    cGrid->Add(label(cBox, "R1FLTN"), 0, wxALIGN_CENTER_VERTICAL);
    cGrid->Add(choice(cBox, IDC_J1939_R1FLTN));
    cGrid->Add(label(cBox, "TXFLTN"), 0, wxALIGN_CENTER_VERTICAL);
    cGrid->Add(choice(cBox, IDC_J1939_TXFLTN));
    row(cBox, cGrid, "BSIZE:", IDC_J1939_BSIZE, false, 50, 3);
    row(cBox, cGrid, "T2:", IDC_J1939_T2, false, 50, 3, "x5ms");
    row(cBox, cGrid, "T3:", IDC_J1939_T3, false, 50, 3, "x5ms");
    row(cBox, cGrid, "Tr:", IDC_J1939_TR, false, 50, 3, "ms");
    row(cBox, cGrid, "Ts:", IDC_J1939_TS, false, 50, 3, "ms");
    ctrl->Add(cGrid, 0, wxALL, kGap);
    ctrl->Add(check(cBox, IDC_J1939_BSM, "BSM=1"), 0, wxALL, kGap);
    middle->Add(ctrl, 0, wxEXPAND | wxBOTTOM, kGap);

    // The two CTS frames: priority, identifier, DA, SA.
    auto* cts = new wxFlexGridSizer(5, kGap, kGap);
    for (const char* h : {"", "Priority", "ID", "DA", "SA"}) cts->Add(label(this, h));
    const int ctsIds[2][4] = {{IDC_J1939_CTS0_PRIORITY, IDC_J1939_CTS0_ID, IDC_J1939_CTS0_DA, IDC_J1939_CTS0_SA},
                              {IDC_J1939_CTS1_PRIORITY, IDC_J1939_CTS1_ID, IDC_J1939_CTS1_DA, IDC_J1939_CTS1_SA}};
    for (int k = 0; k < 2; ++k) {
        cts->Add(label(this, k == 0 ? "CTS0 (CTXB6):" : "CTS1 (CTXB7):"), 0, wxALIGN_CENTER_VERTICAL);
        cts->Add(choice(this, ctsIds[k][0]));
        cts->Add(display(this, ctsIds[k][1], 80));
        cts->Add(edit(this, ctsIds[k][2], true, 30, 2));
        cts->Add(edit(this, ctsIds[k][3], true, 30, 2));
    }
    middle->Add(cts, 0, wxBOTTOM, kGap);

    // --- right: RTS / BAM, TP.DT, the message buffer, the buttons ---
    auto* right = new wxBoxSizer(wxVERTICAL);
    columns->Add(right, 1, wxEXPAND);

    auto* rts = new wxStaticBoxSizer(wxVERTICAL, this, U8("TP_CM_RTS(CTXB4  PGN=60416)/BAM"));
    wxWindow* rBox = rts->GetStaticBox();
    auto* rGrid = NewFieldGrid();
    rGrid->Add(label(rBox, "Prio:"), 0, wxALIGN_CENTER_VERTICAL);
    rGrid->Add(choice(rBox, IDC_J1939_RTS_PRIORITY));
    rGrid->Add(label(rBox, "ID"), 0, wxALIGN_CENTER_VERTICAL);
    rGrid->Add(display(rBox, IDC_J1939_RTS_ID, 80));
    row(rBox, rGrid, "目标(DA):", IDC_J1939_TP_DA, true, 30, 2);
    row(rBox, rGrid, "源(SA):", IDC_J1939_TP_SA, true, 30, 2);
    row(rBox, rGrid, "数据总长:", IDC_J1939_TOTAL, false, 50, 3);
    rGrid->Add(label(rBox, "桢数:"), 0, wxALIGN_CENTER_VERTICAL);
    rGrid->Add(display(rBox, IDC_J1939_PACKETS, 40));
    row(rBox, rGrid, "传送的PGN:", IDC_J1939_PGN, true, 70, 6);
    rGrid->Add(label(rBox, "DATA:"), 0, wxALIGN_CENTER_VERTICAL);
    rGrid->Add(display(rBox, IDC_J1939_RTS_DATA, 200));
    rts->Add(rGrid, 0, wxALL, kGap);
    rts->Add(check(rBox, IDC_J1939_BAM, "CJ1939CTRL.BAM=1"), 0, wxALL, kGap);
    right->Add(rts, 0, wxEXPAND | wxBOTTOM, kGap);

    auto* dt = new wxStaticBoxSizer(wxHORIZONTAL, this, U8("PF_DT (CTXB5 PGN=60160)"));
    wxWindow* dBox = dt->GetStaticBox();
    dt->Add(label(dBox, "Prio:"), 0, wxALIGN_CENTER_VERTICAL | wxALL, 2);
    dt->Add(choice(dBox, IDC_J1939_DT_PRIORITY), 0, wxALL, 2);
    dt->Add(display(dBox, IDC_J1939_DT_ID, 80), 0, wxALL, 2);
    dt->Add(label(dBox, "DA"), 0, wxALIGN_CENTER_VERTICAL | wxALL, 2);
    dt->Add(display(dBox, IDC_J1939_DT_DA, 30), 0, wxALL, 2);
    dt->Add(label(dBox, "SA"), 0, wxALIGN_CENTER_VERTICAL | wxALL, 2);
    dt->Add(display(dBox, IDC_J1939_DT_SA, 30), 0, wxALL, 2);
    right->Add(dt, 0, wxEXPAND | wxBOTTOM, kGap);

    auto* multi = new wxStaticBoxSizer(wxVERTICAL, this, U8("多桢数据发送"));
    wxWindow* mBox = multi->GetStaticBox();
    multi->Add(label(mBox, "Message Buffer MAX:252bytes valid"), 0, wxLEFT, kGap);
    wxTextCtrl* buffer = edit(mBox, IDC_J1939_BUFFER, true, 300, 0, wxTE_MULTILINE);
    buffer->SetMinSize(wxSize(300, 170));
    if (m_pMainDlg) buffer->SetFont(m_pMainDlg->GetFont());
    multi->Add(buffer, 1, wxEXPAND | wxALL, kGap);
    auto* lGrid = NewFieldGrid();
    lGrid->Add(label(mBox, "缓冲区数据长度: "), 0, wxALIGN_CENTER_VERTICAL);
    lGrid->Add(display(mBox, IDC_J1939_BUFFER_LENGTH, 50));
    multi->Add(lGrid, 0, wxALL, kGap);
    multi->Add(button(mBox, IDC_J1939_MULTI_FRAME, "启动多桢发送"), 0, wxALL, kGap);
    right->Add(multi, 1, wxEXPAND | wxBOTTOM, kGap);

    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    for (auto [id, text] : {std::pair<int, const char*>{IDC_J1939_DEFAULTS, "设置为默认"},
                            {IDC_J1939_START, "确定设置并启动"}, {IDC_J1939_STOP, "停止"}, {IDC_J1939_EXIT, "退出"}})
        buttons->Add(button(this, id, text), 0, wxRIGHT, kGap);
    right->Add(buttons, 0, wxALIGN_RIGHT);

    SetSizerAndFit(top);
}
