// The controls of the ISO 15765 page and where they sit.
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>

#include "monitor/ui/CDialogMainA.h"
#include "monitor/ui/CEditHex.h"
#include "pages/can/ui/CDialog15765.h"
#include "pages/shared/ui/PageWindow.h"
#include "platform/ui/WxText.h"

void CDialog15765::CreateControls() {
    const int kGap = kPageLayoutGap;
    auto* top = new wxBoxSizer(wxVERTICAL);
    auto* columns = new wxBoxSizer(wxHORIZONTAL);
    top->Add(columns, 1, wxEXPAND | wxALL, 6);

    auto edit = [this](wxWindow* parent, int id, bool hex, int width, unsigned limit = 0,
                       long style = 0) {
        wxTextCtrl* e = hex ? new CEditHex(parent, id, wxString(), wxDefaultPosition, wxSize(width, -1), style)
                            : new wxTextCtrl(parent, id, wxString(), wxDefaultPosition, wxSize(width, -1), style);
        if (limit) e->SetMaxLength(limit);
        m_Edits[id] = e;
        return e;
    };
    auto display = [&](wxWindow* parent, int id, int width) {
        wxTextCtrl* e = edit(parent, id, false, width, 0, wxTE_READONLY);
        return e;
    };
    auto label = [](wxWindow* parent, const char* text) { return new wxStaticText(parent, wxID_ANY, U8(text)); };
    auto addRow = [&](wxWindow* parent, wxFlexGridSizer* grid, const char* text, int id, bool hex, int width,
                      unsigned limit, const char* unit = nullptr) {
        m_Edits[id] = AddFieldRow(parent, grid, text, id, hex, width, unit);
        if (limit) m_Edits[id]->SetMaxLength(limit);
    };

    // --- left: the head panel and the filter grid ---
    auto* left = new wxBoxSizer(wxVERTICAL);
    columns->Add(left, 0, wxEXPAND | wxRIGHT, 6);
    left->Add(NewCanHeadPanel(this, {"000 ISO15765 STD ADDR", "001 ISO15765 EXT ADDR"}, m_Head), 0,
              wxEXPAND | wxBOTTOM, kGap);
    left->Add(NewCanFilterGrid(this, true, true, m_Filters), 0, wxEXPAND);

    // --- middle: flow-control channels, timers, the flow-control frames ---
    auto* middle = new wxBoxSizer(wxVERTICAL);
    columns->Add(middle, 0, wxEXPAND | wxRIGHT, 6);

    auto* tx = new wxStaticBoxSizer(wxVERTICAL, this, U8("C15765TXFC"));
    wxWindow* txBox = tx->GetStaticBox();
    auto* txChecks = new wxBoxSizer(wxHORIZONTAL);
    for (auto [id, text] : {std::pair<int, const char*>{IDC_15765_LENM, "LENM=1"},
                            {IDC_15765_BSM, "BSM=1"}, {IDC_15765_STM, "STM=1"}}) {
        m_Checks[id] = new wxCheckBox(txBox, id, U8(text));
        txChecks->Add(m_Checks[id], 0, wxALL, 2);
    }
    tx->Add(txChecks);
    auto* txGrid = NewFieldGrid();
    txGrid->Add(label(txBox, "FILTER:"), 0, wxALIGN_CENTER_VERTICAL);
    txGrid->Add(m_Choices[IDC_15765_TXFC_FILTER] =
                    NewChoice(txBox, IDC_15765_TXFC_FILTER, {"0", "1", "2", "3", "4", "5", "6", "7"}));
    addRow(txBox, txGrid, "BSIZE:", IDC_15765_TXFC_BSIZE, false, 50, 3);
    addRow(txBox, txGrid, "N_AE_TX: 0x", IDC_15765_TXFC_NAE_TX, true, 40, 2);
    addRow(txBox, txGrid, "N_AE_RX: 0x", IDC_15765_TXFC_NAE_RX, true, 40, 2);
    tx->Add(txGrid, 0, wxALL, kGap);
    middle->Add(tx, 0, wxEXPAND | wxBOTTOM, kGap);

    auto* rx = new wxBoxSizer(wxHORIZONTAL);
    const int rxIds[2][3] = {{IDC_15765_RXFC0_FILTER, IDC_15765_RXFC0_BSIZE, IDC_15765_RXFC0_NAE_TX},
                             {IDC_15765_RXFC1_FILTER, IDC_15765_RXFC1_BSIZE, IDC_15765_RXFC1_NAE_TX}};
    for (int r = 0; r < 2; ++r) {
        auto* box = new wxStaticBoxSizer(wxVERTICAL, this, r == 0 ? "C15765RXFC0" : "C15765RXFC1");
        wxWindow* b = box->GetStaticBox();
        auto* grid = NewFieldGrid();
        grid->Add(label(b, "FILTER:"), 0, wxALIGN_CENTER_VERTICAL);
        grid->Add(m_Choices[rxIds[r][0]] = NewChoice(b, rxIds[r][0], {"0", "1", "2", "3", "4", "5", "6", "7"}));
        addRow(b, grid, "BSIZE:", rxIds[r][1], false, 50, 3);
        addRow(b, grid, "N_AE_TX: 0x", rxIds[r][2], true, 40, 2);
        box->Add(grid, 0, wxALL, kGap);
        rx->Add(box, 1, wxEXPAND | (r == 0 ? wxRIGHT : 0), kGap);
    }
    middle->Add(rx, 0, wxEXPAND | wxBOTTOM, kGap);

    auto* times = new wxStaticBoxSizer(wxVERTICAL, this, U8("时间参数"));
    wxWindow* tBox = times->GetStaticBox();
    auto* tGrid = NewFieldGrid();
    addRow(tBox, tGrid, "N_BS:", IDC_15765_N_BS, false, 50, 3, "x5ms");
    addRow(tBox, tGrid, "N_ST:", IDC_15765_N_ST, false, 50, 3, "x100us");
    addRow(tBox, tGrid, "N_BR:", IDC_15765_N_BR, false, 50, 3, "x100us");
    addRow(tBox, tGrid, "N_CR:", IDC_15765_N_CR, false, 50, 3, "x5ms");
    times->Add(tGrid, 0, wxALL, kGap);
    middle->Add(times, 0, wxEXPAND | wxBOTTOM, kGap);

    auto* fc = new wxStaticBoxSizer(wxVERTICAL, this, U8("Auto  FC Data (接收时，自动应答的流控制桢FC)"));
    wxWindow* fcBox = fc->GetStaticBox();
    auto* radios = new wxBoxSizer(wxHORIZONTAL);
    m_Fc11 = new wxRadioButton(fcBox, IDC_15765_FC_11BIT, U8("标准桢-11bits"), wxDefaultPosition,
                               wxDefaultSize, wxRB_GROUP);
    m_Fc29 = new wxRadioButton(fcBox, IDC_15765_FC_29BIT, U8("扩展桢-29bits"));
    radios->Add(m_Fc11, 0, wxALL, 2);
    radios->Add(m_Fc29, 0, wxALL, 2);
    fc->Add(radios);
    auto* fcGrid = new wxFlexGridSizer(6, kGap, kGap);
    for (const char* h : {"", "ID", "DLC", "N_AE", "PCI", "BS ST +opt Data"})
        fcGrid->Add(label(fcBox, h));
    const int fcIds[2][5] = {{IDC_15765_FC0_ID, IDC_15765_FC0_DLC, IDC_15765_FC0_NAE, IDC_15765_FC0_PCI, IDC_15765_FC0_DATA},
                             {IDC_15765_FC1_ID, IDC_15765_FC1_DLC, IDC_15765_FC1_NAE, IDC_15765_FC1_PCI, IDC_15765_FC1_DATA}};
    for (int k = 0; k < 2; ++k) {
        fcGrid->Add(label(fcBox, k == 0 ? "FC0 :" : "FC1 :"), 0, wxALIGN_CENTER_VERTICAL);
        fcGrid->Add(edit(fcBox, fcIds[k][0], true, 100, 3));
        fcGrid->Add(display(fcBox, fcIds[k][1], 40));
        fcGrid->Add(edit(fcBox, fcIds[k][2], true, 40, 2));
        fcGrid->Add(edit(fcBox, fcIds[k][3], true, 40, 2));
        fcGrid->Add(edit(fcBox, fcIds[k][4], true, 170));
    }
    fc->Add(fcGrid, 0, wxALL, kGap);
    middle->Add(fc, 0, wxEXPAND | wxBOTTOM, kGap);

    auto* presets = new wxBoxSizer(wxHORIZONTAL);
    for (auto [id, text] : {std::pair<int, const char*>{IDC_15765_PRESET_ALL, "设置为接收全部"},
                            {IDC_15765_PRESET_OBD11, "置OBD2 11bits"}, {IDC_15765_PRESET_OBD29, "置OBD2 29bits"}}) {
        m_Buttons[id] = new wxButton(this, id, U8(text));
        presets->Add(m_Buttons[id], 0, wxRIGHT, kGap);
    }
    middle->Add(presets, 0, wxBOTTOM, kGap);

    // --- right: the single frame, the multi-frame message, the keep-alive, the buttons ---
    auto* right = new wxBoxSizer(wxVERTICAL);
    columns->Add(right, 1, wxEXPAND);

    auto* single = new wxStaticBoxSizer(wxVERTICAL, this, U8("ISO15765-单桢数据发送(CTXB0)"));
    wxWindow* sBox = single->GetStaticBox();
    auto* sGrid = NewFieldGrid();
    sGrid->Add(label(sBox, "桢类型:"), 0, wxALIGN_CENTER_VERTICAL);
    sGrid->Add(m_Choices[IDC_15765_SINGLE_TYPE] = NewChoice(sBox, IDC_15765_SINGLE_TYPE, {"标准桢", "扩展帧"}));
    sGrid->Add(label(sBox, "桢格式:"), 0, wxALIGN_CENTER_VERTICAL);
    sGrid->Add(m_Choices[IDC_15765_SINGLE_FORMAT] = NewChoice(sBox, IDC_15765_SINGLE_FORMAT, {"数据桢", "远程帧"}));
    addRow(sBox, sGrid, "ID", IDC_15765_SINGLE_ID, true, 90, 11);
    addRow(sBox, sGrid, "DLC", IDC_15765_SINGLE_DLC, false, 30, 0);
    Edit(IDC_15765_SINGLE_DLC)->SetEditable(false);
    // Eight bytes shown back take 24 characters: the program writes past the limit through
    // ShowLimitedText.
    addRow(sBox, sGrid, "请求数据:", IDC_15765_SINGLE_DATA, true, 200, 0);
    KeepLimitWhileTyping(Edit(IDC_15765_SINGLE_DATA), kSingleDataLimit);
    single->Add(sGrid, 0, wxALL, kGap);
    m_Buttons[IDC_15765_SEND] = new wxButton(sBox, IDC_15765_SEND, U8("发送"));
    single->Add(m_Buttons[IDC_15765_SEND], 0, wxALL, kGap);
    right->Add(single, 0, wxEXPAND | wxBOTTOM, kGap);

    auto* multi = new wxStaticBoxSizer(wxVERTICAL, this, U8("ISO15765-FF/FC/CF 多桢数据发送测试"));
    wxWindow* mBox = multi->GetStaticBox();
    auto* ffGrid = new wxFlexGridSizer(6, kGap, kGap);
    for (const char* h : {"ID", "DLC", "N_AE", "PCI", "", "Length  Data6(5)"}) ffGrid->Add(label(mBox, h));
    ffGrid->Add(edit(mBox, IDC_15765_FF_ID, true, 100, 3));
    ffGrid->Add(display(mBox, IDC_15765_FF_DLC, 40));
    ffGrid->Add(display(mBox, IDC_15765_FF_NAE, 40));
    ffGrid->Add(display(mBox, IDC_15765_FF_PCI, 40));
    ffGrid->Add(display(mBox, IDC_15765_FF_LENGTH_BYTE, 40));
    ffGrid->Add(edit(mBox, IDC_15765_FF_DATA, true, 150));
    multi->Add(ffGrid, 0, wxALL, kGap);
    auto* lenGrid = NewFieldGrid();
    addRow(mBox, lenGrid, "数据有效长度:", IDC_15765_LENGTH, false, 60, 0);
    multi->Add(lenGrid, 0, wxALL, kGap);
    multi->Add(label(mBox, "Message Buffer MAX:252bytes valid"), 0, wxLEFT, kGap);
    wxTextCtrl* buffer = edit(mBox, IDC_15765_BUFFER, true, 390, 0, wxTE_MULTILINE);
    buffer->SetMinSize(wxSize(390, 150));
    if (m_pMainDlg) buffer->SetFont(m_pMainDlg->PageFont());
    multi->Add(buffer, 1, wxEXPAND | wxALL, kGap);
    m_Buttons[IDC_15765_MULTI_FRAME] = new wxButton(mBox, IDC_15765_MULTI_FRAME, U8("启动多桢发送"));
    multi->Add(m_Buttons[IDC_15765_MULTI_FRAME], 0, wxALL, kGap);
    right->Add(multi, 1, wxEXPAND | wxBOTTOM, kGap);

    auto* keep = new wxStaticBoxSizer(wxVERTICAL, this, U8("链路保持（应用程序发送）"));
    wxWindow* kBox = keep->GetStaticBox();
    auto* kGrid = NewFieldGrid();
    addRow(kBox, kGrid, "时间:", IDC_15765_KEEPALIVE_PERIOD, false, 60, 4, "ms");
    addRow(kBox, kGrid, "ID:", IDC_15765_KEEPALIVE_ID, true, 90, 3);
    addRow(kBox, kGrid, "数据:", IDC_15765_KEEPALIVE_DATA, true, 220, 34);
    keep->Add(kGrid, 0, wxALL, kGap);
    m_Buttons[IDC_15765_KEEPALIVE] = new wxButton(kBox, IDC_15765_KEEPALIVE, U8(kIso15765KeepAliveStart));
    keep->Add(m_Buttons[IDC_15765_KEEPALIVE], 0, wxALL, kGap);
    right->Add(keep, 0, wxEXPAND | wxBOTTOM, kGap);

    auto* buttons = NewPageButtonRow(
        this, {{IDC_15765_START, "确定设置并启动"}, {IDC_15765_STOP, "停止"}, {IDC_15765_EXIT, "退出"}},
        IDC_15765_EXIT, m_Buttons);
    right->Add(buttons, 0, wxALIGN_RIGHT);

    SetSizerAndFit(top);
}
