// The controls of the ISO 14230 page and where they sit.
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/gbsizer.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>

#include <tuple>

#include "monitor/ui/CEditHex.h"
#include "pages/kline/ui/CDialog14230.h"
#include "pages/kline/ui/UartPageLayout.h"
#include "platform/ui/WxText.h"

void CDialog14230::CreateControls() {
    auto* top = new wxBoxSizer(wxVERTICAL);
    auto* columns = new wxBoxSizer(wxHORIZONTAL);
    top->Add(columns, 1, wxEXPAND | wxALL, 6);

    // A labelled edit that the page reads later.
    auto addEdit = [this](wxWindow* parent, wxFlexGridSizer* grid, const char* label, int id,
                          bool hex, int width, const char* unit = nullptr) {
        m_Edits[id] = AddFieldRow(parent, grid, label, id, hex, width, unit);
    };
    const int kGap = kUartLayoutGap;

    // --- left column: lines, engine mode, baud rate ---
    auto* left = new wxBoxSizer(wxVERTICAL);
    columns->Add(left, 0, wxEXPAND | wxRIGHT, 6);

    auto* pins = new wxStaticBoxSizer(wxVERTICAL, this, U8("物理总线选择(PINSEL)"));
    m_PinK1 = new wxRadioButton(pins->GetStaticBox(), IDC_14230_PIN_K1, U8("K1 (TX1 RX1)"),
                                wxDefaultPosition, wxDefaultSize, wxRB_GROUP);
    m_PinK2 = new wxRadioButton(pins->GetStaticBox(), IDC_14230_PIN_K2, U8("K2(TX2 RX2)"));
    pins->Add(m_PinK1, 0, wxALL, 2);
    pins->Add(m_PinK2, 0, wxALL, 2);
    for (const char* caption : {"K / L (TX1 RX1 +TX2_L)", "RS485 (TX3 RX3)", "SCI (TX1 RX2)"}) {
        auto* radio = new wxRadioButton(pins->GetStaticBox(), wxID_ANY, U8(caption));
        radio->Disable();
        pins->Add(radio, 0, wxALL, 2);
    }
    left->Add(pins, 0, wxEXPAND | wxBOTTOM, 6);

    auto* modes = NewFrameModeBox(this, "001--ISO14230");
    left->Add(modes, 0, wxEXPAND | wxBOTTOM, 6);

    auto* line = NewSerialSettingsBox(
        this, {IDC_14230_BAUD, IDC_14230_BRG, IDC_14230_DATA_FORMAT, IDC_14230_STOP_BITS}, m_Serial);
    m_Edits[IDC_14230_BRG] = m_Serial.brg;
    left->Add(line, 0, wxEXPAND);

    // --- middle column: engine timing, fast and 5-baud initialisation ---
    auto* middle = new wxBoxSizer(wxVERTICAL);
    columns->Add(middle, 0, wxEXPAND | wxRIGHT, 6);

    auto* timing = new wxStaticBoxSizer(wxVERTICAL, this, U8("时间参数"));
    wxWindow* timingBox = timing->GetStaticBox();
    auto* timingGrid = NewFieldGrid();
    addEdit(timingBox, timingGrid, "UTXP1T:", IDC_14230_UTXP1T, false, 50, "ms");
    addEdit(timingBox, timingGrid, "UFREET:", IDC_14230_UFREET, false, 50, "ms");
    addEdit(timingBox, timingGrid, "URXP1MAX:", IDC_14230_URXP1MAX, false, 50, "ms");
    addEdit(timingBox, timingGrid, "BITADJ", IDC_14230_BITADJ, true, 50);
    timing->Add(timingGrid, 0, wxALL, 4);
    middle->Add(timing, 0, wxEXPAND | wxBOTTOM, 6);

    auto* fast = new wxStaticBoxSizer(wxVERTICAL, this, U8("快速初始化"));
    wxWindow* fastBox = fast->GetStaticBox();
    auto* fastGrid = NewFieldGrid();
    addEdit(fastBox, fastGrid, "低电平时间:", IDC_14230_FAST_LOW, false, 50, "ms");
    addEdit(fastBox, fastGrid, "高电平时间:", IDC_14230_FAST_HIGH, false, 50, "ms");
    fast->Add(fastGrid, 0, wxALL, 4);
    middle->Add(fast, 0, wxEXPAND | wxBOTTOM, 6);

    auto* slow = new wxStaticBoxSizer(wxVERTICAL, this, U8("5BAUD慢速初始化"));
    wxWindow* slowBox = slow->GetStaticBox();
    m_AutoBaud = new wxCheckBox(slowBox, IDC_14230_AUTO_BAUD, U8("自动波特率检测(ABAUD)"));
    slow->Add(m_AutoBaud, 0, wxALL, 4);
    slow->Add(new wxStaticText(slowBox, wxID_ANY, U8("<CONB>")), 0, wxLEFT, 4);
    slow->Add(new wxStaticText(slowBox, wxID_ANY,
                               U8("RLEN = 3\nENL = 0\nNKW2 = 1\nENKW2 = 1\nNADDR = 1")),
              0, wxLEFT | wxBOTTOM, 8);
    auto* slowGrid = NewFieldGrid();
    addEdit(slowBox, slowGrid, "触发地址(0x):", IDC_14230_TRIGGER_ADDRESS, true, 50);
    addEdit(slowBox, slowGrid, "W1MAX:", IDC_14230_W1MAX, false, 50, "(x20) ms");
    addEdit(slowBox, slowGrid, "W2MAX:", IDC_14230_W2MAX, false, 50, "ms");
    addEdit(slowBox, slowGrid, "W4SEND:", IDC_14230_W4SEND, false, 50, "ms");
    addEdit(slowBox, slowGrid, "W4MAX:", IDC_14230_W4MAX, false, 50, "ms");
    slow->Add(slowGrid, 0, wxALL, 4);
    middle->Add(slow, 0, wxEXPAND);

    // --- right column: the frame, cyclic sending and the keep-alive ---
    auto* right = new wxBoxSizer(wxVERTICAL);
    columns->Add(right, 1, wxEXPAND);

    auto* frame = new wxStaticBoxSizer(wxVERTICAL, this, U8("数据桢"));
    wxWindow* frameBox = frame->GetStaticBox();
    auto* modeGrid = NewFieldGrid();
    modeGrid->Add(new wxStaticText(frameBox, wxID_ANY, U8("总线初始化:")), 0,
                  wxALIGN_CENTER_VERTICAL);
    m_InitType = NewChoice(frameBox, IDC_14230_INIT_TYPE,
                        {"000:无初始化", "001:快速初始化", "010:5BAUD慢速初始化",
                         "011:自定义初始化脉冲"});
    modeGrid->Add(m_InitType, 0, wxEXPAND);
    modeGrid->Add(new wxStaticText(frameBox, wxID_ANY, U8("数据桢格式:")), 0,
                  wxALIGN_CENTER_VERTICAL);
    m_Format = NewChoice(frameBox, IDC_14230_FORMAT,
                      {"0: No address Info", "1: CARB(9141-2)", "2: Physical Addr. ",
                       "3: Functional Addr."});
    modeGrid->Add(m_Format, 0, wxEXPAND);
    frame->Add(modeGrid, 0, wxALL, 4);

    // Fmt Target Source [DLC] ... CS: captions above their edits, in frame order.
    auto* header = new wxGridBagSizer(2, 2 * kGap);
    int col = 0;
    for (const auto& [caption, id, hex] :
         {std::tuple<const char*, int, bool>{"Fmt", IDC_14230_FMT, true},
          {"Target", IDC_14230_TARGET, true},
          {"Source", IDC_14230_SOURCE, true},
          {"DLC", IDC_14230_DLC, false},
          {"CS", IDC_14230_CS, false}}) {
        header->Add(new wxStaticText(frameBox, wxID_ANY, U8(caption)), wxGBPosition(0, col));
        wxTextCtrl* edit =
            hex ? new CEditHex(frameBox, id, wxString(), wxDefaultPosition, wxSize(50, -1))
                : new wxTextCtrl(frameBox, id, wxString(), wxDefaultPosition, wxSize(50, -1),
                                 wxTE_READONLY);
        m_Edits[id] = edit;
        header->Add(edit, wxGBPosition(1, col));
        ++col;
    }
    frame->Add(header, 0, wxALL, 4);
    m_LengthByte = new wxCheckBox(frameBox, IDC_14230_LENGTH_BYTE, U8("使用附加长度字节"));
    frame->Add(m_LengthByte, 0, wxALL, 4);
    frame->Add(new wxStaticText(frameBox, wxID_ANY, U8("数据:")), 0, wxLEFT | wxTOP, 4);
    auto* data = new CEditHex(frameBox, IDC_14230_DATA, wxString(), wxDefaultPosition,
                              wxSize(360, 80), wxTE_MULTILINE);
    m_Edits[IDC_14230_DATA] = data;
    frame->Add(data, 1, wxEXPAND | wxALL, 4);
    auto* cyclicRow = new wxBoxSizer(wxHORIZONTAL);
    m_Cyclic = new wxCheckBox(frameBox, IDC_14230_CYCLIC, U8("循环发送"));
    cyclicRow->Add(m_Cyclic, 0, wxALIGN_CENTER_VERTICAL);
    auto* period = new wxTextCtrl(frameBox, IDC_14230_CYCLE_PERIOD, wxString(),
                                  wxDefaultPosition, wxSize(60, -1));
    m_Edits[IDC_14230_CYCLE_PERIOD] = period;
    cyclicRow->Add(period, 0, wxALIGN_CENTER_VERTICAL | wxLEFT, 2 * kGap);
    cyclicRow->Add(new wxStaticText(frameBox, wxID_ANY, U8("ms")), 0,
                   wxALIGN_CENTER_VERTICAL | wxLEFT, kGap);
    frame->Add(cyclicRow, 0, wxALL, 4);
    right->Add(frame, 1, wxEXPAND | wxBOTTOM, 6);

    auto* keep = new wxStaticBoxSizer(wxVERTICAL, this, U8("链路保持(由应用程序发送):"));
    wxWindow* keepBox = keep->GetStaticBox();
    m_KeepAlive = new wxCheckBox(keepBox, IDC_14230_KEEPALIVE_ENABLE, U8("启用"));
    keep->Add(m_KeepAlive, 0, wxALL, 4);
    auto* keepGrid = NewFieldGrid();
    addEdit(keepBox, keepGrid, "间隔时间:", IDC_14230_KEEPALIVE_INTERVAL, false, 60, "ms");
    addEdit(keepBox, keepGrid, "Header+数据:", IDC_14230_KEEPALIVE_DATA, true, 240);
    keepGrid->Add(new wxStaticText(keepBox, wxID_ANY, U8("CS")), 0, wxALIGN_CENTER_VERTICAL);
    auto* keepCs = new wxTextCtrl(keepBox, IDC_14230_KEEPALIVE_CS, wxString(),
                                  wxDefaultPosition, wxSize(50, -1), wxTE_READONLY);
    m_Edits[IDC_14230_KEEPALIVE_CS] = keepCs;
    keepGrid->Add(keepCs, 0);
    keep->Add(keepGrid, 0, wxALL, 4);
    right->Add(keep, 0, wxEXPAND);

    // --- buttons ---
    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    for (const auto& [id, caption] : {std::pair<int, const char*>{IDC_14230_DEFAULTS, "设置为默认值"},
                                      {IDC_14230_START, "设定并启动"},
                                      {IDC_14230_STOP, "停止"},
                                      {IDC_14230_SEND, "发送数据桢"},
                                      {IDC_14230_SEND_INIT, "发送 初始化+数据桢"},
                                      {IDC_14230_EXIT, "退出"}}) {
        auto* button = new wxButton(this, id, U8(caption));
        m_Buttons[id] = button;
        buttons->Add(button, 0, wxRIGHT, 6);
    }
    top->Add(buttons, 0, wxALIGN_RIGHT | wxLEFT | wxRIGHT | wxBOTTOM, 6);

    // Edit limits.
    for (int id : {IDC_14230_FMT, IDC_14230_TARGET, IDC_14230_SOURCE, IDC_14230_BITADJ,
                   IDC_14230_TRIGGER_ADDRESS})
        m_Edits[id]->SetMaxLength(2);
    m_Edits[IDC_14230_CYCLE_PERIOD]->SetMaxLength(4);
    m_Edits[IDC_14230_KEEPALIVE_INTERVAL]->SetMaxLength(4);
    for (int id : {IDC_14230_W1MAX, IDC_14230_W2MAX, IDC_14230_W4SEND, IDC_14230_W4MAX})
        m_Edits[id]->SetMaxLength(3);

    SetSizerAndFit(top);
}
