// The controls of the LIN page and where they sit.
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/listctrl.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/settings.h>
#include <wx/valtext.h>

#include <algorithm>

#include "monitor/ui/CEditHex.h"
#include "pages/kline/ui/UartPageLayout.h"
#include "pages/kline/lin/ui/CDiaglogLin.h"
#include "platform/ui/WxText.h"

const std::array<int, kLinSlaveRows> kLinSlaveIdEdits = {1023, 1025, 1027, 1029, 1032, 1036, 1038, 1040};
const std::array<int, kLinSlaveRows> kLinSlaveDataEdits = {1021, 1022, 1026, 1028, 1031, 1035, 1037, 1039};
const std::array<int, kLinLackbCount> kLinLackbEdits = {IDC_LIN_LACKB0, IDC_LIN_LACKB1, IDC_LIN_LACKB2,
                                                        IDC_LIN_LACKB3};

void CDiaglogLin::CreateControls() {
    auto* top = new wxBoxSizer(wxVERTICAL);
    auto* columns = new wxBoxSizer(wxHORIZONTAL);
    top->Add(columns, 1, wxEXPAND | wxALL, 6);
    const wxTextValidator digits(wxFILTER_DIGITS);
    auto decimalEdit = [&digits](wxWindow* parent, int id, int width) {
        return new wxTextCtrl(parent, id, wxString(), wxDefaultPosition, wxSize(width, -1), 0, digits);
    };
    auto readOnly = [](wxWindow* parent, int id, int width) {
        return new wxTextCtrl(parent, id, wxString(), wxDefaultPosition, wxSize(width, -1), wxTE_READONLY);
    };

    // --- left: lines, mode, baud rate, timing ---
    auto* left = new wxBoxSizer(wxVERTICAL);
    columns->Add(left, 0, wxEXPAND | wxRIGHT, 6);
    auto* pins = new wxStaticBoxSizer(wxVERTICAL, this, U8("物理总线选择(PINSEL)"));
    m_PinK1 = new wxRadioButton(pins->GetStaticBox(), IDC_UART_PIN_K1, U8("K1 (TX1 RX1)"),
                                wxDefaultPosition, wxDefaultSize, wxRB_GROUP);
    m_PinK2 = new wxRadioButton(pins->GetStaticBox(), IDC_UART_PIN_K2, U8("K2(TX2 RX2)"));
    pins->Add(m_PinK1, 0, wxALL, 2);
    pins->Add(m_PinK2, 0, wxALL, 2);
    left->Add(pins, 0, wxEXPAND | wxBOTTOM, 6);
    left->Add(NewFrameModeBox(this, "010--LIN "), 0, wxEXPAND | wxBOTTOM, 6);
    m_Lab = new wxCheckBox(this, IDC_LIN_LAB, U8("从机自动波特率(LAB)"));
    left->Add(m_Lab, 0, wxBOTTOM, 6);
    left->Add(NewSerialSettingsBox(this, kUartSerialSettingsIds, m_Serial),
              0, wxEXPAND | wxBOTTOM, 6);
    m_Serial.brg->SetValidator(digits);
    auto* timing = new wxStaticBoxSizer(wxVERTICAL, this, U8("时间参数"));
    auto* timingGrid = NewFieldGrid();
    for (const auto& [label, id] : {std::pair<const char*, int>{"(从机自动应答桢响应间隔) UTXP1T:", IDC_LIN_UTXP1T},
                                    {"(主机发送时，最小桢间隙) UFREET:", IDC_LIN_UFREET},
                                    {"(>桢响应间隔) URXP1T:", IDC_LIN_URXP1MAX}}) {
        m_Edits[id] = AddFieldRow(timing->GetStaticBox(), timingGrid, label, id, false, 50, "ms");
        m_Edits[id]->SetValidator(digits);
        m_Edits[id]->SetMaxLength(3);
    }
    timing->Add(timingGrid, 0, wxALL, 4);
    left->Add(timing, 0, wxEXPAND);

    // --- middle: LACKB, slave rows, master frame ---
    auto* middle = new wxBoxSizer(wxVERTICAL);
    columns->Add(middle, 0, wxEXPAND | wxRIGHT, 6);
    auto* lackb = new wxStaticBoxSizer(wxVERTICAL, this, "LACKB");
    auto* lackbGrid = new wxFlexGridSizer(3, kPageLayoutGap, 2 * kPageLayoutGap);
    const int setButtons[] = {IDC_LIN_SET_LACKB0, IDC_LIN_SET_LACKB1, IDC_LIN_SET_LACKB2, IDC_LIN_SET_LACKB3};
    for (size_t n = 0; n < kLinLackbCount; ++n) {
        wxWindow* box = lackb->GetStaticBox();
        lackbGrid->Add(new wxStaticText(box, wxID_ANY, wxString::Format("LACKB%u:", unsigned(n))), 0,
                       wxALIGN_CENTER_VERTICAL);
        m_Edits[kLinLackbEdits[n]] = new CEditHex(box, kLinLackbEdits[n], wxString(), wxDefaultPosition, wxSize(200, -1));
        lackbGrid->Add(m_Edits[kLinLackbEdits[n]], 0);
        m_Buttons[setButtons[n]] = new wxButton(box, setButtons[n], "SET", wxDefaultPosition, wxSize(50, -1));
        lackbGrid->Add(m_Buttons[setButtons[n]], 0);
    }
    lackb->Add(lackbGrid, 0, wxALL, 4);
    middle->Add(lackb, 0, wxEXPAND | wxBOTTOM, 6);

    auto* slaves = new wxStaticBoxSizer(wxVERTICAL, this, U8("LIN 从机应答数据设置(从机模式应用程序应答)"));
    auto* slaveGrid = new wxFlexGridSizer(3, kPageLayoutGap, 2 * kPageLayoutGap);
    for (size_t r = 0; r < kLinSlaveRows; ++r) {
        wxWindow* box = slaves->GetStaticBox();
        slaveGrid->Add(new wxStaticText(box, wxID_ANY, "ID:"), 0, wxALIGN_CENTER_VERTICAL);
        m_Edits[kLinSlaveIdEdits[r]] = decimalEdit(box, kLinSlaveIdEdits[r], 40);
        m_Edits[kLinSlaveIdEdits[r]]->SetMaxLength(2);
        slaveGrid->Add(m_Edits[kLinSlaveIdEdits[r]], 0);
        m_Edits[kLinSlaveDataEdits[r]] =
            new CEditHex(box, kLinSlaveDataEdits[r], wxString(), wxDefaultPosition, wxSize(200, -1));
        slaveGrid->Add(m_Edits[kLinSlaveDataEdits[r]], 0);
    }
    slaves->Add(slaveGrid, 0, wxALL, 4);
    middle->Add(slaves, 0, wxEXPAND | wxBOTTOM, 6);

    auto* master = new wxStaticBoxSizer(wxVERTICAL, this, U8("LIN 主机数据(ID)发送"));
    wxWindow* masterBox = master->GetStaticBox();
    auto* header = new wxFlexGridSizer(8, kPageLayoutGap, 2 * kPageLayoutGap);
    m_Edits[IDC_LIN_MASTER_ID] = decimalEdit(masterBox, IDC_LIN_MASTER_ID, 40);
    m_Edits[IDC_LIN_MASTER_ID]->SetMaxLength(2);
    m_Edits[IDC_LIN_DLC] = readOnly(masterBox, IDC_LIN_DLC, 40);
    m_Edits[IDC_LIN_ID_LEN] = readOnly(masterBox, IDC_LIN_ID_LEN, 40);
    m_Edits[IDC_LIN_CS] = readOnly(masterBox, IDC_LIN_CS, 40);
    for (const auto& [label, id] : {std::pair<const char*, int>{"ID:", IDC_LIN_MASTER_ID},
                                    {"DLC", IDC_LIN_DLC}, {"ID_LEN", IDC_LIN_ID_LEN}, {"CS", IDC_LIN_CS}}) {
        header->Add(new wxStaticText(masterBox, wxID_ANY, U8(label)), 0, wxALIGN_CENTER_VERTICAL);
        header->Add(m_Edits[id], 0);
    }
    master->Add(header, 0, wxALL, 4);
    master->Add(new wxStaticText(masterBox, wxID_ANY, U8("数据:")), 0, wxLEFT, 4);
    m_Edits[IDC_LIN_DATA] = new CEditHex(masterBox, IDC_LIN_DATA, wxString(), wxDefaultPosition,
                                         wxSize(320, 60), wxTE_MULTILINE);
    master->Add(m_Edits[IDC_LIN_DATA], 1, wxEXPAND | wxALL, 4);
    auto* sendRow = new wxBoxSizer(wxHORIZONTAL);
    m_Buttons[IDC_LIN_SEND] = new wxButton(masterBox, IDC_LIN_SEND, U8("发送"));
    sendRow->Add(m_Buttons[IDC_LIN_SEND], 0, wxRIGHT, 8);
    sendRow->Add(new wxStaticText(masterBox, wxID_ANY, U8("注：实际发送长度决定于ID配置表")), 0,
                 wxALIGN_CENTER_VERTICAL);
    master->Add(sendRow, 0, wxALL, 4);
    middle->Add(master, 1, wxEXPAND);

    // --- right: the ID table ---
    auto* right = new wxBoxSizer(wxVERTICAL);
    columns->Add(right, 1, wxEXPAND);
    m_List = new wxListCtrl(this, IDC_LIN_ID_LIST, wxDefaultPosition, wxDefaultSize,
                            wxLC_REPORT | wxLC_SINGLE_SEL | wxLC_HRULES | wxLC_VRULES);
    // The widths of the original dialog, widened where this platform's font needs more.
    const int margin = 2 * FromDIP(8);
    const int idWidth = std::max(60, m_List->GetTextExtent("63-0X3F").x + margin);
    m_List->InsertColumn(0, " ID", wxLIST_FORMAT_CENTRE, idWidth);
    int column = 1, listWidth = idWidth;
    for (const char* name : {"IDEN", "SRP", "L.M", "CSM", "AFE", "AFP"}) {
        const int width = std::max(38, m_List->GetTextExtent(name).x + margin);
        m_List->InsertColumn(column++, name, wxLIST_FORMAT_CENTRE, width);
        listWidth += width;
    }
    m_List->SetMinSize(wxSize(listWidth + wxSystemSettings::GetMetric(wxSYS_VSCROLL_X) + margin, 420));
    right->Add(m_List, 1, wxEXPAND | wxBOTTOM, 6);
    m_Buttons[IDC_LIN_SET_ID_TABLE] = new wxButton(this, IDC_LIN_SET_ID_TABLE, U8("设置ID配置表"));
    right->Add(m_Buttons[IDC_LIN_SET_ID_TABLE], 0);

    auto* buttons = NewPageButtonRow(
        this, {{IDC_LIN_START, "设定并启动"}, {IDC_LIN_STOP, "停止"}, {IDC_LIN_EXIT, "退出"}},
        IDC_LIN_EXIT, m_Buttons);
    top->Add(buttons, 0, wxALIGN_RIGHT | wxLEFT | wxRIGHT | wxBOTTOM, 6);
    SetSizerAndFit(top);
    // The ID list holds the page's table from the start.
    FillIdList();
}
