// The controls of the TP2.0 page and where they sit.
#include <wx/sizer.h>
#include <wx/statbox.h>

#include "monitor/ui/CDialogMainA.h"
#include "pages/can/tp20/ui/CDialogTP20.h"
#include "pages/shared/ui/PageWindow.h"
#include "platform/ui/WxText.h"

void CDialogTP20::CreateControls() {
    const int kGap = kPageLayoutGap;
    CanPageControls& c = m_C;
    auto* top = new wxBoxSizer(wxVERTICAL);
    auto* columns = new wxBoxSizer(wxHORIZONTAL);
    top->Add(columns, 1, wxEXPAND | wxALL, 6);

    // A frame row: caption, ID, DLC, data.
    auto frameRow = [&](wxWindow* parent, wxFlexGridSizer* grid, const char* text, int id, int dlc, int data) {
        grid->Add(c.NewLabel(parent, text), 0, wxALIGN_CENTER_VERTICAL);
        grid->Add(c.NewEdit(parent, id, true, 50, 3));
        grid->Add(c.NewDisplay(parent, dlc, 36));
        grid->Add(c.NewEdit(parent, data, true, 200));
    };

    // --- left: the head panel and the filter grid ---
    AddOneProtocolHeadColumn(this, columns, false, m_Head, m_Filters);

    // --- middle: the single frame, the engine's frames, the control block ---
    auto* middle = new wxBoxSizer(wxVERTICAL);
    columns->Add(middle, 0, wxEXPAND | wxRIGHT, 6);

    auto* single = new wxStaticBoxSizer(wxVERTICAL, this, U8("TP2.0-单桢数据发送(CTXB0)"));
    wxWindow* sBox = single->GetStaticBox();
    auto* sGrid = NewFieldGrid();
    sGrid->Add(c.NewLabel(sBox, "桢类型:"), 0, wxALIGN_CENTER_VERTICAL);
    sGrid->Add(c.choices[IDC_TP20_SINGLE_TYPE] = NewChoice(sBox, IDC_TP20_SINGLE_TYPE, {"标准桢", "扩展帧"}));
    sGrid->Add(c.NewLabel(sBox, "桢格式:"), 0, wxALIGN_CENTER_VERTICAL);
    sGrid->Add(c.choices[IDC_TP20_SINGLE_FORMAT] = NewChoice(sBox, IDC_TP20_SINGLE_FORMAT, {"数据桢", "远程帧"}));
    single->Add(sGrid, 0, wxALL, kGap);
    auto* fGrid = new wxFlexGridSizer(4, kGap, kGap);
    for (const char* h : {"", "ID", "DLC", "DATA"}) fGrid->Add(c.NewLabel(sBox, h));
    frameRow(sBox, fGrid, "", IDC_TP20_SINGLE_ID, IDC_TP20_SINGLE_DLC, IDC_TP20_SINGLE_DATA);
    single->Add(fGrid, 0, wxALL, kGap);
    single->Add(c.NewButton(sBox, IDC_TP20_SEND, "发送"), 0, wxALL, kGap);
    middle->Add(single, 0, wxEXPAND | wxBOTTOM, kGap);

    auto* engine = new wxStaticBoxSizer(wxVERTICAL, this, "TP2.0");
    wxWindow* eBox = engine->GetStaticBox();
    auto* eGrid = new wxFlexGridSizer(4, kGap, kGap);
    for (const char* h : {"", "ID", "DLC", "DATA"}) eGrid->Add(c.NewLabel(eBox, h));
    frameRow(eBox, eGrid, "Channel Setup:TXB5", IDC_TP20_CHANNEL_ID, IDC_TP20_CHANNEL_DLC, IDC_TP20_CHANNEL_DATA);
    frameRow(eBox, eGrid, "Connection Setup:TXB6", IDC_TP20_CONNECTION_ID, IDC_TP20_CONNECTION_DLC,
             IDC_TP20_CONNECTION_DATA);
    frameRow(eBox, eGrid, "ACK:TXB7", IDC_TP20_ACK_ID, IDC_TP20_ACK_DLC, IDC_TP20_ACK_DATA);
    engine->Add(eGrid, 0, wxALL, kGap);
    engine->Add(c.NewButton(eBox, IDC_TP20_CONNECT, "开始建立通讯"), 0, wxALL, kGap);
    middle->Add(engine, 0, wxEXPAND | wxBOTTOM, kGap);

    auto* ctrl = new wxStaticBoxSizer(wxVERTICAL, this, "CTP20CTRL");
    wxWindow* cBox = ctrl->GetStaticBox();
    auto* cGrid = NewFieldGrid();
    c.AddIndexChoiceRow(cBox, cGrid, "CHSFLTN:", IDC_TP20_CHSFLTN);
    c.AddIndexChoiceRow(cBox, cGrid, "CTSFLTN:", IDC_TP20_CTSFLTN);
    c.AddRow(cBox, cGrid, "BSIZ:", IDC_TP20_BSIZ, false, 40, 2);
    c.AddRow(cBox, cGrid, "Time_T1:", IDC_TP20_T1, false, 50, 3, "x5ms");
    c.AddRow(cBox, cGrid, "Time_T3:", IDC_TP20_T3, false, 50, 3, "x100us");
    c.AddRow(cBox, cGrid, "Timer_T_E:", IDC_TP20_TE, false, 50, 3, "x5ms");
    ctrl->Add(cGrid, 0, wxALL, kGap);
    auto* bits = new wxBoxSizer(wxHORIZONTAL);
    for (auto [id, text] : {std::pair<int, const char*>{IDC_TP20_ACK, "ACK=1"}, {IDC_TP20_IDM, "IDM=1"},
                            {IDC_TP20_BSM, "BSM=1"}, {IDC_TP20_STM, "STM=1"}})
        bits->Add(c.NewCheck(cBox, id, text), 0, wxALL, 2);
    ctrl->Add(bits);
    auto* fixed = new wxBoxSizer(wxHORIZONTAL);
    fixed->Add(c.NewLabel(cBox, "MNT = 2"), 0, wxALL, kGap);
    fixed->Add(c.NewLabel(cBox, "MNTC = 10"), 0, wxALL, kGap);
    ctrl->Add(fixed);
    middle->Add(ctrl, 0, wxEXPAND | wxBOTTOM, kGap);

    // --- right: the multi-frame message, the keep-alive, presets and buttons ---
    auto* right = new wxBoxSizer(wxVERTICAL);
    columns->Add(right, 1, wxEXPAND);

    auto* multi = new wxStaticBoxSizer(wxVERTICAL, this, U8("First Frame (CTXB4)"));
    wxWindow* mBox = multi->GetStaticBox();
    auto* ffGrid = new wxFlexGridSizer(4, kGap, kGap);
    for (const char* h : {"", "ID", "DLC", "DATA"}) ffGrid->Add(c.NewLabel(mBox, h));
    frameRow(mBox, ffGrid, "", IDC_TP20_FF_ID, IDC_TP20_FF_DLC, IDC_TP20_FF_DATA);
    multi->Add(ffGrid, 0, wxALL, kGap);
    auto* lGrid = NewFieldGrid();
    c.AddRow(mBox, lGrid, "长度(CCF_DL):", IDC_TP20_CCF_DL, false, 50, 0);
    lGrid->Add(c.NewLabel(mBox, "Buffer Length:"), 0, wxALIGN_CENTER_VERTICAL);
    lGrid->Add(c.NewDisplay(mBox, IDC_TP20_BUFFER_LENGTH, 50));
    multi->Add(lGrid, 0, wxALL, kGap);
    wxTextCtrl* buffer = c.NewEdit(mBox, IDC_TP20_BUFFER, true, 330, 0, wxTE_MULTILINE);
    buffer->SetMinSize(wxSize(330, 150));
    if (m_pMainDlg) buffer->SetFont(m_pMainDlg->PageFont());
    multi->Add(buffer, 1, wxEXPAND | wxALL, kGap);
    multi->Add(c.NewButton(mBox, IDC_TP20_MULTI_FRAME, "启动多桢发送"), 0, wxALL, kGap);
    right->Add(multi, 1, wxEXPAND | wxBOTTOM, kGap);

    auto* keep = new wxStaticBoxSizer(wxVERTICAL, this, U8("链路保持（应用程序发送）"));
    wxWindow* kBox = keep->GetStaticBox();
    keep->Add(c.NewCheck(kBox, IDC_TP20_KEEPALIVE_ENABLE, "使能"), 0, wxALL, kGap);
    auto* kGrid = NewFieldGrid();
    c.AddRow(kBox, kGrid, "保持时间:", IDC_TP20_KEEPALIVE_PERIOD, false, 50, 0, "ms");
    kGrid->Add(c.NewLabel(kBox, "数据桢： ID+0xA3  (DLC=1)"), 0, wxALIGN_CENTER_VERTICAL);
    kGrid->Add(c.NewDisplay(kBox, IDC_TP20_KEEPALIVE_ID, 100));
    keep->Add(kGrid, 0, wxALL, kGap);
    right->Add(keep, 0, wxEXPAND | wxBOTTOM, kGap);

    auto* presets = new wxBoxSizer(wxHORIZONTAL);
    presets->Add(c.NewButton(this, IDC_TP20_PRESET_TESTER, "设置为诊断"), 0, wxRIGHT, kGap);
    presets->Add(c.NewButton(this, IDC_TP20_PRESET_ECU, "设置为ECU(0x1F)"), 0, wxRIGHT, kGap);
    right->Add(presets, 0, wxBOTTOM, kGap);
    auto* buttons = NewPageButtonRow(
        this, {{IDC_TP20_START, "确定设置并启动"}, {IDC_TP20_STOP, "停止"}, {IDC_TP20_EXIT, "退出"}}, IDC_TP20_EXIT,
        c.buttons);
    right->Add(buttons, 0, wxALIGN_RIGHT);

    SetSizerAndFit(top);
}
