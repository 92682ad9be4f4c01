#pragma once
// Builders of the controls that every page of the K-line family shows: labelled edits in
// grids, choices, the serial-settings group and the engine-mode group. Each page places its
// own groups with them and keeps the controls it reads.
#include <initializer_list>
#include <string>

#include "pages/shared/PageStatus.h"
#include "platform/Message.h"

class wxChoice;
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
