// The controls of the J1850 page and where they sit.
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/listbox.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>

#include <string>
#include <utility>

#include "monitor/ui/CEditHex.h"
#include "pages/j1850/ui/CDialogVpw.h"
#include "pages/j1850/ui/CListSectorLock.h"
#include "pages/shared/ui/PageWindow.h"
#include "platform/ui/WxText.h"

namespace {

wxChoice* DigitChoice(wxWindow* parent, int id, int count) {
    auto* choice = new wxChoice(parent, id);
    for (int i = 0; i < count; ++i) choice->Append(wxString::Format("%d", i));
    return choice;
}

wxStaticText* Label(wxWindow* parent, const char* text) {
    return new wxStaticText(parent, wxID_ANY, U8(text));
}

}  // namespace

void CDialogVpw::CreateControls() {
    const int kGap = kPageLayoutGap;
    auto* top = new wxBoxSizer(wxVERTICAL);
    auto* columns = new wxBoxSizer(wxHORIZONTAL);
    top->Add(columns, 1, wxEXPAND | wxALL, 6);
    auto button = [this](wxWindow* parent, int id, const char* caption) {
        auto* b = new wxButton(parent, id, U8(caption));
        m_Buttons[id] = b;
        return b;
    };
    auto hexEdit = [this](wxWindow* parent, int id, int width, int maxLength) {
        auto* edit = new CEditHex(parent, id, wxString(), wxDefaultPosition, wxSize(width, -1));
        edit->SetMaxLength(maxLength);
        m_Edits[id] = edit;
        return edit;
    };
    auto readOnly = [this](wxWindow* parent, int id, int width) {
        auto* edit = new wxTextCtrl(parent, id, wxString(), wxDefaultPosition, wxSize(width, -1),
                                    wxTE_READONLY);
        m_Edits[id] = edit;
        return edit;
    };

    // --- left column: the frame, the keep-alive, Start / Stop / Exit ---
    auto* left = new wxBoxSizer(wxVERTICAL);
    columns->Add(left, 0, wxEXPAND | wxRIGHT, 6);

    auto* send = new wxStaticBoxSizer(wxVERTICAL, this, U8("数据发送"));
    wxWindow* sendBox = send->GetStaticBox();
    auto* format = new wxStaticBoxSizer(wxHORIZONTAL, sendBox, U8("Header Format   JCON0<bit0>"));
    m_Consolidated = new wxRadioButton(format->GetStaticBox(), IDC_VPW_CONSOLIDATED,
                                       U8("Consolidated Header(混合)"), wxDefaultPosition,
                                       wxDefaultSize, wxRB_GROUP);
    m_OneByte = new wxRadioButton(format->GetStaticBox(), IDC_VPW_ONE_BYTE, U8("1 BYTE（单字节）"));
    format->Add(m_Consolidated, 0, wxALL, 2);
    format->Add(m_OneByte, 0, wxALL, 2);
    send->Add(format, 0, wxEXPAND | wxALL, kGap);
    m_Grid = new CListSectorLock(sendBox, IDC_VPW_GRID);
    send->Add(m_Grid, 0, wxALL, kGap);
    auto* header = new wxFlexGridSizer(4, 2, 2 * kGap);
    for (const char* caption : {"ID", "Target", "Source", "DLC"}) header->Add(Label(sendBox, caption));
    header->Add(hexEdit(sendBox, IDC_VPW_HEADER, 50, 2));
    header->Add(hexEdit(sendBox, IDC_VPW_TARGET, 50, 2));
    header->Add(hexEdit(sendBox, IDC_VPW_SOURCE, 50, 2));
    header->Add(readOnly(sendBox, IDC_VPW_DLC, 50));
    send->Add(header, 0, wxALL, kGap);
    send->Add(Label(sendBox, "数据"), 0, wxLEFT | wxTOP, kGap);
    send->Add(hexEdit(sendBox, IDC_VPW_DATA, 260, 30), 0, wxEXPAND | wxALL, kGap);
    send->Add(button(sendBox, IDC_VPW_SEND, "发送数据"), 0, wxALIGN_RIGHT | wxALL, kGap);
    left->Add(send, 0, wxEXPAND | wxBOTTOM, 6);

    auto* keep = new wxStaticBoxSizer(wxVERTICAL, this, U8("链路自动保持(应用程序发送):"));
    wxWindow* keepBox = keep->GetStaticBox();
    auto* keepGrid = NewFieldGrid();
    keepGrid->Add(Label(keepBox, "ID+数据:"), 0, wxALIGN_CENTER_VERTICAL);
    keepGrid->Add(hexEdit(keepBox, IDC_VPW_KEEPALIVE_DATA, 220, 34));
    m_Edits[IDC_VPW_KEEPALIVE_PERIOD] =
        AddFieldRow(keepBox, keepGrid, "间隔时间:", IDC_VPW_KEEPALIVE_PERIOD, false, 60, "ms");
    m_Edits[IDC_VPW_KEEPALIVE_PERIOD]->SetMaxLength(4);
    keep->Add(keepGrid, 0, wxALL, kGap);
    keep->Add(button(keepBox, IDC_VPW_KEEPALIVE, "启动链路保持"), 0, wxALIGN_RIGHT | wxALL, kGap);
    left->Add(keep, 0, wxEXPAND | wxBOTTOM, 6);

    left->Add(NewPageButtonRow(this, {{IDC_VPW_START, "确定设置并启动"}, {IDC_VPW_STOP, "停止"}, {IDC_VPW_EXIT, "退出"}},
                               IDC_VPW_EXIT, m_Buttons),
              0, wxALIGN_RIGHT);

    // --- middle column: receive filter and IDIFRCON entries ---
    auto* middle = new wxBoxSizer(wxVERTICAL);
    columns->Add(middle, 0, wxEXPAND | wxRIGHT, 6);

    auto* filter = new wxStaticBoxSizer(wxVERTICAL, this, U8("过滤器--HDFILTER"));
    wxWindow* filterBox = filter->GetStaticBox();
    auto* kinds = new wxBoxSizer(wxHORIZONTAL);
    const std::pair<int, const char*> kindIds[3] = {
        {IDC_VPW_PHYSICAL, "Physcal"}, {IDC_VPW_FUNCTIONAL, "Function"}, {IDC_VPW_HEAD_ID, "Head ID"}};
    for (size_t k = 0; k < 3; ++k) {
        m_FilterKinds[k] = new wxRadioButton(filterBox, kindIds[k].first, U8(kindIds[k].second),
                                             wxDefaultPosition, wxDefaultSize, k == 0 ? wxRB_GROUP : 0);
        kinds->Add(m_FilterKinds[k], 0, wxRIGHT, 2 * kGap);
    }
    filter->Add(kinds, 0, wxALL, kGap);
    auto* addRow = new wxBoxSizer(wxHORIZONTAL);
    addRow->Add(hexEdit(filterBox, IDC_VPW_FILTER_ADDRESS, 50, 2), 0, wxRIGHT, kGap);
    addRow->Add(button(filterBox, IDC_VPW_FILTER_ADD, "添加"), 0, wxRIGHT, kGap);
    addRow->Add(button(filterBox, IDC_VPW_FILTER_REMOVE, "移除"), 0);
    filter->Add(addRow, 0, wxALL, kGap);
    auto* lists = new wxBoxSizer(wxHORIZONTAL);
    const int listIds[3] = {IDC_VPW_LIST_PHYSICAL, IDC_VPW_LIST_FUNCTIONAL, IDC_VPW_LIST_HEAD_ID};
    for (size_t k = 0; k < 3; ++k) {
        m_FilterLists[k] = new wxListBox(filterBox, listIds[k], wxDefaultPosition, wxSize(70, 150),
                                         0, nullptr, wxLB_EXTENDED);
        lists->Add(m_FilterLists[k], 0, wxRIGHT, kGap);
    }
    filter->Add(lists, 0, wxALL, kGap);
    middle->Add(filter, 0, wxEXPAND | wxBOTTOM, 6);

    auto* ifr = new wxStaticBoxSizer(wxVERTICAL, this, U8("1 byte or Single header IDIFRCON 控制"));
    wxWindow* ifrBox = ifr->GetStaticBox();
    auto* ifrGrid = new wxFlexGridSizer(5, 2, 2 * kGap);
    for (const char* caption : {"ID", "IFRT", "IDSEL", "IFR3SEL", "NB"}) ifrGrid->Add(Label(ifrBox, caption));
    ifrGrid->Add(hexEdit(ifrBox, IDC_VPW_IFR_ID, 40, 2));
    m_IfrCombos[0] = DigitChoice(ifrBox, IDC_VPW_IFR_IFRT, 4);
    m_IfrCombos[1] = DigitChoice(ifrBox, IDC_VPW_IFR_IDSEL, 8);
    m_IfrCombos[2] = DigitChoice(ifrBox, IDC_VPW_IFR_IFR3SEL, 2);
    m_IfrCombos[3] = DigitChoice(ifrBox, IDC_VPW_IFR_NB, 2);
    for (wxChoice* c : m_IfrCombos) ifrGrid->Add(c);
    ifr->Add(ifrGrid, 0, wxALL, kGap);
    auto* ifrButtons = new wxBoxSizer(wxHORIZONTAL);
    ifrButtons->Add(button(ifrBox, IDC_VPW_IFR_ADD, "添加/修改"), 0, wxRIGHT, kGap);
    ifrButtons->Add(button(ifrBox, IDC_VPW_IFR_REMOVE, "移除"), 0);
    ifr->Add(ifrButtons, 0, wxALL, kGap);
    m_IfrList = new wxListBox(ifrBox, IDC_VPW_IFR_LIST, wxDefaultPosition, wxSize(260, 120), 0,
                              nullptr, wxLB_EXTENDED);
    ifr->Add(m_IfrList, 1, wxEXPAND | wxALL, kGap);
    middle->Add(ifr, 1, wxEXPAND);

    // --- right column: YZZCON, IFR data, presets ---
    auto* right = new wxBoxSizer(wxVERTICAL);
    columns->Add(right, 0, wxEXPAND);

    auto* yzz = new wxStaticBoxSizer(wxVERTICAL, this, U8("IFR YZZCON控制设定"));
    wxWindow* yzzBox = yzz->GetStaticBox();
    auto* yzzGrid = new wxFlexGridSizer(5, 2, 2 * kGap);
    for (const char* caption : {"YZZ", "IFRT", "NB", "IDSEL", "IFR3SEL"}) yzzGrid->Add(Label(yzzBox, caption));
    for (int y = 0; y < 8; ++y) {
        const std::string name = std::string(1, char('0' + ((y >> 2) & 1))) + char('0' + ((y >> 1) & 1)) +
                                 char('0' + (y & 1));
        yzzGrid->Add(Label(yzzBox, name.c_str()), 0, wxALIGN_CENTER_VERTICAL);
        m_YzzCombos[y][0] = DigitChoice(yzzBox, IDC_VPW_YZZ_IFRT0 + 2 * y, 4);
        m_YzzCombos[y][1] = DigitChoice(yzzBox, IDC_VPW_YZZ_IFRT0 + 2 * y + 1, 2);
        m_YzzCombos[y][2] = DigitChoice(yzzBox, kVpwYzzIdselIds[y], 8);
        m_YzzCombos[y][3] = DigitChoice(yzzBox, IDC_VPW_YZZ_IFR3SEL0 + y, 2);
        for (wxChoice* c : m_YzzCombos[y]) yzzGrid->Add(c);
    }
    yzz->Add(yzzGrid, 0, wxALL, kGap);
    right->Add(yzz, 0, wxEXPAND | wxBOTTOM, 6);

    auto* data = new wxStaticBoxSizer(wxVERTICAL, this, U8("IFR 数据设定"));
    wxWindow* dataBox = data->GetStaticBox();
    auto* dataGrid = new wxFlexGridSizer(3, 2, 2 * kGap);
    dataGrid->Add(Label(dataBox, "IDBUFF:"), 0, wxALIGN_CENTER_VERTICAL);
    dataGrid->Add(hexEdit(dataBox, IDC_VPW_IDBUFF, 200, 24));
    dataGrid->AddSpacer(0);
    for (int buffer = 0; buffer < 2; ++buffer) {
        dataGrid->Add(Label(dataBox, buffer ? "IFR3_B1:" : "IFR3_B0:"), 0, wxALIGN_CENTER_VERTICAL);
        dataGrid->Add(hexEdit(dataBox, buffer ? IDC_VPW_IFR3_B1 : IDC_VPW_IFR3_B0, 200, 30));
        dataGrid->Add(readOnly(dataBox, buffer ? IDC_VPW_IFR3_B1_LENGTH : IDC_VPW_IFR3_B0_LENGTH, 40));
    }
    data->Add(dataGrid, 0, wxALL, kGap);
    m_Ifr3Crc = new wxCheckBox(dataBox, IDC_VPW_IFR3_CRC, U8("IFR3 Include CRC"));
    data->Add(m_Ifr3Crc, 0, wxALL, kGap);
    right->Add(data, 0, wxEXPAND | wxBOTTOM, 6);

    auto* presets = new wxBoxSizer(wxHORIZONTAL);
    presets->Add(button(this, IDC_VPW_PRESET_ALL, "设置为接收所有(No IFR)"), 0, wxRIGHT, 6);
    presets->Add(button(this, IDC_VPW_PRESET_OBD2, "SAE OBD2 默认"), 0);
    right->Add(presets, 0, wxALIGN_RIGHT);

    SetSizerAndFit(top);
    // The keep-alive fields start with the page's default frame and period.
    Edit(IDC_VPW_KEEPALIVE_DATA)->ChangeValue(U8(m_Page.DefaultKeepAliveText()));
    Edit(IDC_VPW_KEEPALIVE_PERIOD)->ChangeValue("1000");
}
