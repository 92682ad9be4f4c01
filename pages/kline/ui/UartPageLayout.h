#pragma once
// Builders of the controls that every page of the K-line family shows: the serial-settings
// group, the engine-mode group, the image's byte fields, pins, frame checks, the 5-baud
// group and the timer controls (the glue every family uses is pages/shared/ui/PageWindow.h). Each page places its
// own groups with them and keeps the controls it reads.
#include <functional>
#include <initializer_list>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "pages/kline/UartPageOps.h"
#include "pages/shared/ui/PageWindow.h"

class CDialogMainA;
class wxBoxSizer;
class wxButton;
class wxCheckBox;
class wxChoice;
class wxDialog;
class wxRadioButton;
class wxTopLevelWindow;
class wxFlexGridSizer;
class wxSizer;
class wxStaticBoxSizer;
class wxTextCtrl;
class wxWindow;

struct SerialSettingsIds {
    int baud, brg, dataFormat, stopBits;
    int actualBaud = -1;  // "实际波特率为:" (1064 on the user-mode and J1708 pages; -1 any)
};
// Every page of the family gives the group the same window ids.
enum UartSerialSettingsId : int {
    IDC_UART_BAUD = 1030,
    IDC_UART_DATA_FORMAT = 1033,
    IDC_UART_STOP_BITS = 1034,
    IDC_UART_BRG = 1111,
};
constexpr SerialSettingsIds kUartSerialSettingsIds{IDC_UART_BAUD, IDC_UART_BRG, IDC_UART_DATA_FORMAT,
                                                   IDC_UART_STOP_BITS};
constexpr int IDC_UART_ACTUAL_BAUD = 1064;
constexpr SerialSettingsIds kUartSerialSettingsIdsWithActual{IDC_UART_BAUD, IDC_UART_BRG, IDC_UART_DATA_FORMAT,
                                                             IDC_UART_STOP_BITS, IDC_UART_ACTUAL_BAUD};
struct SerialSettingsControls {
    wxChoice* baud = nullptr;
    wxTextCtrl* brg = nullptr;
    wxTextCtrl* actualBaud = nullptr;
    wxChoice* dataFormat = nullptr;
    wxChoice* stopBits = nullptr;
};
// "串口设置": the baud table's rows, BRG, the actual rate, data format and stop bits.
wxStaticBoxSizer* NewSerialSettingsBox(wxWindow* parent, const SerialSettingsIds& ids,
                                       SerialSettingsControls& out);

// "工作模式(FMOD)": the engine's first modeCount modes (of six), the page's own checked; all
// disabled, but for the checked one with checkedEnabled.
wxStaticBoxSizer* NewFrameModeBox(wxWindow* parent, const char* checkedMode, size_t modeCount = 6,
                                  bool checkedEnabled = false);

// A decimal edit of one image byte with its rule (the family's validators).
struct UartByteFieldControl {
    int id;
    size_t offset;
    UartFieldKind kind;
};
// Binds each edit to its byte: every change goes through changed, the bound and the message
// shown by ApplyEditResult (empty caption: the program's title).
void BindByteFields(const std::map<int, wxTextCtrl*>& edits, const UartByteFieldControl* fields,
                    size_t count,
                    const std::function<PageEditResult(size_t offset, UartFieldKind kind,
                                                       const std::string& text)>& changed,
                    const std::string& caption = std::string());
// Shows each byte in decimal.
void ShowByteFields(const std::map<int, wxTextCtrl*>& edits, const UartByteFieldControl* fields,
                    size_t count, const UartRegisterImage& image);

// What the serial-settings group changes in a page: the baud row (the page stores the row's
// BRG and remembers the row), the BRG edit, and the data format and stop bits in the image.
struct SerialSettingsPage {
    std::function<UartRegisterImage&()> image;
    std::function<BaudRowResult(size_t row)> selectBaud;
    std::function<PageEditResult(const std::string& text)> brgChanged;
    std::string messageCaption;  // of the BRG message; empty: the program's title
};
// Binds the group's four controls to the page.
void BindSerialSettings(const SerialSettingsControls& controls, const SerialSettingsPage& page);
// Selects the row (storing its BRG) and shows the image's data format and stop bits.
void ShowSerialSettings(const SerialSettingsControls& controls, const SerialSettingsPage& page,
                        size_t row);
// The baud combo's row chosen: its BRG in the BRG edit (enabled only for "User-defined") and
// the actual rate.
void OnSerialBaudSelected(const SerialSettingsControls& controls, const SerialSettingsPage& page);

// "物理总线选择(PINSEL)": one radio per entry (the first starts the group); an entry with
// id wxID_ANY is shown disabled. The radios come back in entry order.
struct PinRadioEntry {
    int id;
    const char* caption;
};
// The K-line radios have the same window ids on every page.
enum UartPinId : int {
    IDC_UART_PIN_KL = 1097,
    IDC_UART_PIN_K1 = 1106,
    IDC_UART_PIN_K2 = 1107,
};
wxStaticBoxSizer* NewPinBox(wxWindow* parent, std::initializer_list<PinRadioEntry> entries,
                            std::vector<wxRadioButton*>& out);

// The UFRMV / UFLENCON group: per-byte and last-byte checks, OFFSET, length control, LRR,
// LENP, CHKSUM and CHKMOD.
struct FrameCheckIds {
    int checkRx, checkTx, invert, checkLast, offset, lengthControl, lrr, lenp, chksum, chkmod;
};
struct FrameCheckControls {
    wxCheckBox* checkRx = nullptr;     // UFRMV bit 7
    wxCheckBox* checkTx = nullptr;     // UFRMV bit 6
    wxCheckBox* invert = nullptr;      // UFRMV bit 5
    wxCheckBox* checkLast = nullptr;   // UFRMV bit 4
    wxChoice* offset = nullptr;        // UFRMV bits 0-2
    wxCheckBox* lengthControl = nullptr;  // UFLENCON bit 7
    wxChoice* lrr = nullptr;           // UFLENCON bits 4-6
    wxChoice* lenp = nullptr;          // UFLENCON bits 0-2
    wxCheckBox* chksum = nullptr;      // UFRMV bit 3
    wxChoice* chkmod = nullptr;        // UFLENCON bit 3
};
wxStaticBoxSizer* NewFrameCheckBox(wxWindow* parent, const FrameCheckIds& ids,
                                   FrameCheckControls& out);

// The U5BAUDCON group: ABAUD, the trigger address and the four wait times. conbText, when
// given, shows the fixed CONB bits under "<CONB>"; the labels name the address and W2MAX.
struct FiveBaudIds {
    int autoBaud, address, w1max, w2max, w4send, w4max;
};
// Every page with the group gives it the same window ids.
enum UartFiveBaudId : int {
    IDC_UART_W4SEND = 1161,
    IDC_UART_TRIGGER_ADDRESS = 1162,
    IDC_UART_W1MAX = 1163,
    IDC_UART_W2MAX = 1164,
    IDC_UART_W4MAX = 1165,
    IDC_UART_AUTO_BAUD = 1700,
};
constexpr FiveBaudIds kUartFiveBaudIds{IDC_UART_AUTO_BAUD, IDC_UART_TRIGGER_ADDRESS, IDC_UART_W1MAX,
                                       IDC_UART_W2MAX,     IDC_UART_W4SEND,          IDC_UART_W4MAX};
struct FiveBaudControls {
    wxStaticBoxSizer* box = nullptr;
    wxCheckBox* autoBaud = nullptr;
    FiveBaudIds ids{};
};
wxStaticBoxSizer* NewFiveBaudBox(wxWindow* parent, const FiveBaudIds& ids, const char* autoBaudCaption,
                                 const char* addressLabel, const char* w2Label, const char* conbText,
                                 std::map<int, wxTextCtrl*>& edits, FiveBaudControls& out);

// Choice items "0" .. "n-1".
wxChoice* NewNumberChoice(wxWindow* parent, int id, int n);

// Edits with their captions above them, side by side (frame header fields); hex ones are
// CEditHex, the others read-only.
struct CaptionedEdit {
    const char* caption;
    int id;
    bool hex;
};
wxSizer* NewCaptionedEdits(wxWindow* parent, std::initializer_list<CaptionedEdit> entries,
                           std::map<int, wxTextCtrl*>& edits);

// "数据:" and the multi-line hex data edit.
void AddDataEdit(wxWindow* parent, wxSizer* sizer, int id, std::map<int, wxTextCtrl*>& edits);

// The keep-alive and cyclic controls of a page with page timers.
struct TimerControls {
    wxCheckBox* cyclic = nullptr;
    wxCheckBox* keepAlive = nullptr;
    int periodId = 0;
    int intervalId = 0;
};
// "循环发送", its period edit (4 characters) and "ms", as one row.
wxSizer* NewCyclicRow(wxWindow* parent, int checkId, int periodId,
                      std::map<int, wxTextCtrl*>& edits, TimerControls& out);
// "链路保持(由应用程序发送):": "启用", "间隔时间:" (4 characters), the keep-alive bytes under
// dataLabel and, with csId, their read-only checksum "CS".
wxStaticBoxSizer* NewKeepAliveBox(wxWindow* parent, int checkId, int intervalId, int dataId,
                                  const char* dataLabel, int csId,
                                  std::map<int, wxTextCtrl*>& edits, TimerControls& out);

// A group of labelled edits, one row each.
struct LabelledEdit {
    const char* label;
    int id;
    bool hex;
    const char* unit;
};
wxStaticBoxSizer* NewEditsBox(wxWindow* parent, const char* caption,
                              std::initializer_list<LabelledEdit> rows,
                              std::map<int, wxTextCtrl*>& edits);
