#pragma once
// Builders of the controls that every page of the K-line family shows: labelled edits in
// grids, choices, the serial-settings group and the engine-mode group. Each page places its
// own groups with them and keeps the controls it reads.
#include <functional>
#include <initializer_list>
#include <map>
#include <string>

#include "pages/shared/PageStatus.h"
#include "platform/Message.h"

#include "pages/kline/UartPageOps.h"

class CDialogMainA;
class wxButton;
class wxChoice;
class wxRadioButton;
class wxTopLevelWindow;
class wxFlexGridSizer;
class wxStaticBoxSizer;
class wxTextCtrl;
class wxWindow;

constexpr int kUartLayoutGap = 4;

// Two columns: labels, then edits.
wxFlexGridSizer* NewFieldGrid();

// A label and its edit in one grid row, the unit after the edit; hex edits are CEditHex.
wxTextCtrl* AddFieldRow(wxWindow* parent, wxFlexGridSizer* grid, const char* label, int id,
                        bool hex, int width, const char* unit = nullptr);

wxChoice* NewChoice(wxWindow* parent, int id, std::initializer_list<const char*> items);

struct SerialSettingsIds {
    int baud, brg, dataFormat, stopBits;
};
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

// "工作模式(FMOD)": the engine's six modes, shown and disabled, the page's own checked.
wxStaticBoxSizer* NewFrameModeBox(wxWindow* parent, const char* checkedMode);

// Shows a field handler's result: the text written back (without running the edit's handler
// again) and the message with the page's caption and icon.
void ApplyEditResult(wxTextCtrl* edit, const PageEditResult& result, const std::string& caption,
                     platform::MessageIcon icon);

// A field handler's result as the family's pages show it: exclamation icon, the caption given
// (empty: the program's title).
void ShowFieldEdit(wxTextCtrl* edit, const PageEditResult& result,
                   const std::string& caption = std::string());

// An edit's handler for every change of its text, and for leaving it (focus goes elsewhere).
void OnEditText(wxTextCtrl* edit, std::function<void()> handler);
void OnEditLeft(wxTextCtrl* edit, std::function<void()> handler);

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
                    const std::function<UartEditResult(size_t offset, UartFieldKind kind,
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
    std::function<UartEditResult(const std::string& text)> brgChanged;
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

// The caption and the Start / Stop / Send buttons by the device status.
void ShowDeviceStatus(wxTopLevelWindow* page, const UartDeviceStatus& status, wxButton* start,
                      wxButton* stop, std::initializer_list<wxButton*> send);
// After a Start the hub's monitor timer runs; true when a worker runs for the page now (the
// page refreshes its status).
bool StartedForPage(UartStartResult result, CDialogMainA* hub);
// Exit: the hub refuses while a worker runs, else re-enables its buttons.
bool PageMayClose(CDialogMainA* hub);
