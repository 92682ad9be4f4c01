// The controls of the ISO 14230 page and where they sit.
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/gbsizer.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>

#include <vector>

#include "monitor/ui/CEditHex.h"
#include "pages/kline/ui/CDialog14230.h"
#include "pages/kline/ui/UartPageLayout.h"
#include "platform/ui/WxText.h"

void CDialog14230::CreateControls() {

    // --- left column: lines, engine mode, baud rate ---
    wxBoxSizer* left = NewColumn();

    std::vector<wxRadioButton*> radios;
    auto* pins = NewPinBox(this,
                           {{IDC_UART_PIN_K1, "K1 (TX1 RX1)"},
                            {IDC_UART_PIN_K2, "K2(TX2 RX2)"},
                            {wxID_ANY, "K / L (TX1 RX1 +TX2_L)"},
                            {wxID_ANY, "RS485 (TX3 RX3)"},
                            {wxID_ANY, "SCI (TX1 RX2)"}},
                           radios);
    m_PinK1 = radios[0];
    m_PinK2 = radios[1];
    left->Add(pins, 0, wxEXPAND | wxBOTTOM, 6);

    auto* modes = NewFrameModeBox(this, "001--ISO14230");
    left->Add(modes, 0, wxEXPAND | wxBOTTOM, 6);

    auto* line = NewSerialSettingsBox(this, kUartSerialSettingsIds, m_Serial);
    left->Add(line, 0, wxEXPAND);

    // --- middle column: engine timing, fast and 5-baud initialisation ---
    wxBoxSizer* middle = NewColumn();

    auto* timing = NewEditsBox(this, "时间参数",
                               {{"UTXP1T:", IDC_14230_UTXP1T, false, "ms"},
                                {"UFREET:", IDC_14230_UFREET, false, "ms"},
                                {"URXP1MAX:", IDC_14230_URXP1MAX, false, "ms"},
                                {"BITADJ", IDC_14230_BITADJ, true, nullptr}},
                               m_Edits);
    middle->Add(timing, 0, wxEXPAND | wxBOTTOM, 6);
    auto* fast = NewEditsBox(this, "快速初始化",
                             {{"低电平时间:", IDC_14230_FAST_LOW, false, "ms"},
                              {"高电平时间:", IDC_14230_FAST_HIGH, false, "ms"}},
                             m_Edits);
    middle->Add(fast, 0, wxEXPAND | wxBOTTOM, 6);

    auto* slow = NewFiveBaudBox(this, kUartFiveBaudIds, "自动波特率检测(ABAUD)", "触发地址(0x):", "W2MAX:",
                                "RLEN = 3\nENL = 0\nNKW2 = 1\nENKW2 = 1\nNADDR = 1", m_Edits, m_FiveBaud);
    middle->Add(slow, 0, wxEXPAND);

    // --- right column: the frame, cyclic sending and the keep-alive ---
    wxBoxSizer* right = NewColumn(1);

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
    auto* header = NewCaptionedEdits(frameBox,
                                     {{"Fmt", IDC_14230_FMT, true},
                                      {"Target", IDC_14230_TARGET, true},
                                      {"Source", IDC_14230_SOURCE, true},
                                      {"DLC", IDC_14230_DLC, false},
                                      {"CS", IDC_14230_CS, false}},
                                     m_Edits);
    frame->Add(header, 0, wxALL, 4);
    m_LengthByte = new wxCheckBox(frameBox, IDC_14230_LENGTH_BYTE, U8("使用附加长度字节"));
    frame->Add(m_LengthByte, 0, wxALL, 4);
    AddDataEdit(frameBox, frame, IDC_14230_DATA, m_Edits);
    frame->Add(NewCyclicRow(frameBox, IDC_14230_CYCLIC, IDC_14230_CYCLE_PERIOD, m_Edits, m_Timers),
               0, wxALL, 4);
    right->Add(frame, 1, wxEXPAND | wxBOTTOM, 6);

    auto* keep = NewKeepAliveBox(this, IDC_14230_KEEPALIVE_ENABLE, IDC_14230_KEEPALIVE_INTERVAL,
                                 IDC_14230_KEEPALIVE_DATA, "Header+数据:", IDC_14230_KEEPALIVE_CS,
                                 m_Edits, m_Timers);
    right->Add(keep, 0, wxEXPAND);

    // Edit limits.
    for (int id : {IDC_14230_FMT, IDC_14230_TARGET, IDC_14230_SOURCE})
        m_Edits[id]->SetMaxLength(2);

    FinishLayout({{IDC_14230_DEFAULTS, "设置为默认值"},
                  {IDC_14230_START, "设定并启动"},
                  {IDC_14230_STOP, "停止"},
                  {IDC_14230_SEND, "发送数据桢"},
                  {IDC_14230_SEND_INIT, "发送 初始化+数据桢"},
                  {IDC_14230_EXIT, "退出"}});
}
