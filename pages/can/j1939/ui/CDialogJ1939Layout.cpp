// The controls of the J1939 page and where they sit.
#include <wx/sizer.h>
#include <wx/statbox.h>

#include "monitor/ui/CDialogMainA.h"
#include "pages/can/j1939/ui/CDialogJ1939.h"
#include "pages/shared/ui/PageWindow.h"
#include "platform/ui/WxText.h"

void CDialogJ1939::CreateControls() {
    const int kGap = kPageLayoutGap;
    CanPageControls& c = m_C;
    auto* top = new wxBoxSizer(wxVERTICAL);
    auto* columns = new wxBoxSizer(wxHORIZONTAL);
    top->Add(columns, 1, wxEXPAND | wxALL, 6);


    // --- left: the head panel and the filter grid ---
    AddOneProtocolHeadColumn(this, columns, true, m_Head, m_Filters);

    // --- middle: the single frame with its identifier, the control block and timers ---
    auto* middle = new wxBoxSizer(wxVERTICAL);
    columns->Add(middle, 0, wxEXPAND | wxRIGHT, 6);

    auto* single = new wxStaticBoxSizer(wxVERTICAL, this, U8("J1939-单桢数据发送(CTXB0)"));
    wxWindow* sBox = single->GetStaticBox();
    auto* sGrid = NewFieldGrid();
    c.AddRow(sBox, sGrid, "ID", IDC_J1939_SINGLE_ID, true, 90, 8);
    c.AddRow(sBox, sGrid, "DLC", IDC_J1939_SINGLE_DLC, false, 30, 0);
    c.Edit(IDC_J1939_SINGLE_DLC)->SetEditable(false);
    c.AddRow(sBox, sGrid, "数据:", IDC_J1939_SINGLE_DATA, true, 200, 0);
    c.AddRow(sBox, sGrid, "填充值", IDC_J1939_FILL, true, 40, 2);
    single->Add(sGrid, 0, wxALL, kGap);
    auto* sRow = new wxBoxSizer(wxHORIZONTAL);
    sRow->Add(c.NewCheck(sBox, IDC_J1939_FIXED_LENGTH, "固定长度"), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, kGap);
    sRow->Add(c.NewButton(sBox, IDC_J1939_SEND, "发送"));
    single->Add(sRow, 0, wxALL, kGap);
    single->Add(c.NewLabel(sBox, "当前发送桢信息(RES=0):"), 0, wxLEFT | wxTOP, kGap);
    auto* pdu = new wxFlexGridSizer(8, kGap, 2 * kGap);
    for (const char* h : {"PDU Fmt", "Priority", "DP", "PF", "GE", "DA", "SA", "PGN"}) pdu->Add(c.NewLabel(sBox, h));
    // Each label keeps room for the widest text it shows, so a PDU2 row or a long PGN is
    // neither drawn over its neighbour nor clipped.
    const char* widest[] = {"PDU2", "7", "1", "0xFF", "0xFF", "0xFF", "0xFF", "0x03FFFF ( 262143 )"};
    for (int id = IDC_J1939_PDU_FORMAT; id <= IDC_J1939_PDU_PGN; ++id) {
        auto* label = new wxStaticText(sBox, id, "--");
        label->SetMinSize(label->GetTextExtent(widest[id - IDC_J1939_PDU_FORMAT]));
        pdu->Add(c.labels[id] = label);
    }
    single->Add(pdu, 0, wxALL, kGap);
    middle->Add(single, 0, wxEXPAND | wxBOTTOM, kGap);

    auto* ctrl = new wxStaticBoxSizer(wxVERTICAL, this, "CJ1939CTRL");
    wxWindow* cBox = ctrl->GetStaticBox();
    auto* cGrid = NewFieldGrid();
    c.AddIndexChoiceRow(cBox, cGrid, "R0FLTN", IDC_J1939_R0FLTN);
    c.AddIndexChoiceRow(cBox, cGrid, "R1FLTN", IDC_J1939_R1FLTN);
    c.AddIndexChoiceRow(cBox, cGrid, "TXFLTN", IDC_J1939_TXFLTN);
    c.AddRow(cBox, cGrid, "BSIZE:", IDC_J1939_BSIZE, false, 50, 3);
    c.AddRow(cBox, cGrid, "T2:", IDC_J1939_T2, false, 50, 3, "x5ms");
    c.AddRow(cBox, cGrid, "T3:", IDC_J1939_T3, false, 50, 3, "x5ms");
    c.AddRow(cBox, cGrid, "Tr:", IDC_J1939_TR, false, 50, 3, "ms");
    c.AddRow(cBox, cGrid, "Ts:", IDC_J1939_TS, false, 50, 3, "ms");
    ctrl->Add(cGrid, 0, wxALL, kGap);
    ctrl->Add(c.NewCheck(cBox, IDC_J1939_BSM, "BSM=1"), 0, wxALL, kGap);
    middle->Add(ctrl, 0, wxEXPAND | wxBOTTOM, kGap);

    // The two CTS frames: priority, identifier, DA, SA.
    auto* cts = new wxFlexGridSizer(6, kGap, kGap);
    for (const char* h : {"", "Priority", "ID", "DLC", "DA", "SA"}) cts->Add(c.NewLabel(this, h));
    const int ctsIds[2][5] = {{IDC_J1939_CTS0_PRIORITY, IDC_J1939_CTS0_ID, IDC_J1939_CTS0_DLC, IDC_J1939_CTS0_DA, IDC_J1939_CTS0_SA},
                              {IDC_J1939_CTS1_PRIORITY, IDC_J1939_CTS1_ID, IDC_J1939_CTS1_DLC, IDC_J1939_CTS1_DA, IDC_J1939_CTS1_SA}};
    for (int k = 0; k < 2; ++k) {
        cts->Add(c.NewLabel(this, k == 0 ? "CTS0 (CTXB6):" : "CTS1 (CTXB7):"), 0, wxALIGN_CENTER_VERTICAL);
        cts->Add(c.NewIndexChoice(this, ctsIds[k][0]));
        cts->Add(c.NewDisplay(this, ctsIds[k][1], 100));
        cts->Add(c.NewDisplay(this, ctsIds[k][2], 30));
        cts->Add(c.NewEdit(this, ctsIds[k][3], true, 40, 2));
        cts->Add(c.NewEdit(this, ctsIds[k][4], true, 40, 2));
    }
    middle->Add(cts, 0, wxBOTTOM, kGap);

    // --- right: RTS / BAM, TP.DT, the message buffer, the buttons ---
    auto* right = new wxBoxSizer(wxVERTICAL);
    columns->Add(right, 1, wxEXPAND);

    auto* rts = new wxStaticBoxSizer(wxVERTICAL, this, U8("TP_CM_RTS(CTXB4  PGN=60416)/BAM"));
    wxWindow* rBox = rts->GetStaticBox();
    auto* rGrid = NewFieldGrid();
    rGrid->Add(c.NewLabel(rBox, "Prio:"), 0, wxALIGN_CENTER_VERTICAL);
    rGrid->Add(c.NewIndexChoice(rBox, IDC_J1939_RTS_PRIORITY));
    rGrid->Add(c.NewLabel(rBox, "ID"), 0, wxALIGN_CENTER_VERTICAL);
    rGrid->Add(c.NewDisplay(rBox, IDC_J1939_RTS_ID, 100));
    rGrid->Add(c.NewLabel(rBox, "DLC"), 0, wxALIGN_CENTER_VERTICAL);
    rGrid->Add(c.NewDisplay(rBox, IDC_J1939_RTS_DLC, 30));
    c.AddRow(rBox, rGrid, "目标(DA):", IDC_J1939_TP_DA, true, 40, 2);
    c.AddRow(rBox, rGrid, "源(SA):", IDC_J1939_TP_SA, true, 40, 2);
    c.AddRow(rBox, rGrid, "数据总长:", IDC_J1939_TOTAL, false, 50, 0);
    rGrid->Add(c.NewLabel(rBox, "桢数:"), 0, wxALIGN_CENTER_VERTICAL);
    rGrid->Add(c.NewDisplay(rBox, IDC_J1939_PACKETS, 40));
    c.AddRow(rBox, rGrid, "传送的PGN:", IDC_J1939_PGN, true, 70, 6);
    rGrid->Add(c.NewLabel(rBox, "DATA:"), 0, wxALIGN_CENTER_VERTICAL);
    rGrid->Add(c.NewDisplay(rBox, IDC_J1939_RTS_DATA, 200));
    rts->Add(rGrid, 0, wxALL, kGap);
    rts->Add(c.NewCheck(rBox, IDC_J1939_BAM, "CJ1939CTRL.BAM=1"), 0, wxALL, kGap);
    right->Add(rts, 0, wxEXPAND | wxBOTTOM, kGap);

    auto* dt = new wxStaticBoxSizer(wxHORIZONTAL, this, U8("PF_DT (CTXB5 PGN=60160)"));
    wxWindow* dBox = dt->GetStaticBox();
    dt->Add(c.NewLabel(dBox, "Prio:"), 0, wxALIGN_CENTER_VERTICAL | wxALL, 2);
    dt->Add(c.NewIndexChoice(dBox, IDC_J1939_DT_PRIORITY), 0, wxALL, 2);
    dt->Add(c.NewDisplay(dBox, IDC_J1939_DT_ID, 100), 0, wxALL, 2);
    dt->Add(c.NewLabel(dBox, "DLC"), 0, wxALIGN_CENTER_VERTICAL | wxALL, 2);
    dt->Add(c.NewDisplay(dBox, IDC_J1939_DT_DLC, 30), 0, wxALL, 2);
    dt->Add(c.NewLabel(dBox, "DA"), 0, wxALIGN_CENTER_VERTICAL | wxALL, 2);
    dt->Add(c.NewDisplay(dBox, IDC_J1939_DT_DA, 40), 0, wxALL, 2);
    dt->Add(c.NewLabel(dBox, "SA"), 0, wxALIGN_CENTER_VERTICAL | wxALL, 2);
    dt->Add(c.NewDisplay(dBox, IDC_J1939_DT_SA, 40), 0, wxALL, 2);
    right->Add(dt, 0, wxEXPAND | wxBOTTOM, kGap);

    auto* multi = new wxStaticBoxSizer(wxVERTICAL, this, U8("多桢数据发送"));
    wxWindow* mBox = multi->GetStaticBox();
    multi->Add(c.NewLabel(mBox, "Message Buffer MAX:252bytes valid"), 0, wxLEFT, kGap);
    wxTextCtrl* buffer = c.NewEdit(mBox, IDC_J1939_BUFFER, true, 300, 0, wxTE_MULTILINE);
    buffer->SetMinSize(wxSize(300, 170));
    if (m_pMainDlg) buffer->SetFont(m_pMainDlg->PageFont());
    multi->Add(buffer, 1, wxEXPAND | wxALL, kGap);
    auto* lGrid = NewFieldGrid();
    lGrid->Add(c.NewLabel(mBox, "缓冲区数据长度: "), 0, wxALIGN_CENTER_VERTICAL);
    lGrid->Add(c.NewDisplay(mBox, IDC_J1939_BUFFER_LENGTH, 50));
    multi->Add(lGrid, 0, wxALL, kGap);
    multi->Add(c.NewButton(mBox, IDC_J1939_MULTI_FRAME, "启动多桢发送"), 0, wxALL, kGap);
    right->Add(multi, 1, wxEXPAND | wxBOTTOM, kGap);

    auto* buttons = NewPageButtonRow(this,
                                     {{IDC_J1939_DEFAULTS, "设置为默认"}, {IDC_J1939_START, "确定设置并启动"},
                                      {IDC_J1939_STOP, "停止"}, {IDC_J1939_EXIT, "退出"}},
                                     IDC_J1939_EXIT, c.buttons);
    right->Add(buttons, 0, wxALIGN_RIGHT);

    SetSizerAndFit(top);
}
