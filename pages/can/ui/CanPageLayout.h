#pragma once
// The panels every CAN page shows the same way: the head panel (bus, operating mode, bit
// timing, protocol control) and the acceptance-filter grid (F0-F7 and the three masks), with
// their handlers bound to a page through CanHeadBinding. Ids are the same on the three pages.
#include <array>
#include <functional>

#include "pages/can/CanImage.h"

class wxCheckBox;
class wxChoice;
class wxRadioButton;
class wxSizer;
class wxTextCtrl;
class wxWindow;

enum CanHeadId : int {
    IDC_CAN_EN = 1010,
    IDC_CAN_PROTOCOL = 1011,
    IDC_CAN_OP0E = 1012,
    IDC_CAN_OP1E = 1013,
    IDC_CAN_BAUD = 1030,
    IDC_CAN_SJW = 1031,
    IDC_CAN_SEG2PH = 1032,
    IDC_CAN_SEG1PH = 1033,
    IDC_CAN_PRSEG = 1034,
    IDC_CAN_PTYPE = 1035,
    IDC_CAN_NSTB = 1051,
    IDC_CAN_BRP = 1056,
    IDC_CAN_MODE_NORMAL = 1087,
    IDC_CAN_MODE_LOOPBACK = 1088,
    IDC_CAN_MODE_LISTEN = 1089,
    IDC_CAN_SINGLE_WIRE = 1096,
    IDC_CAN_TWO_WIRE = 1101,
};

struct CanHeadControls {
    wxRadioButton* twoWire = nullptr;
    wxRadioButton* singleWire = nullptr;
    wxCheckBox* en = nullptr;
    wxCheckBox* nstb = nullptr;
    std::array<wxRadioButton*, 3> modes{};
    wxChoice* baud = nullptr;
    wxChoice* sjw = nullptr;
    wxChoice* seg2ph = nullptr;
    wxChoice* seg1ph = nullptr;
    wxChoice* prseg = nullptr;
    wxTextCtrl* brp = nullptr;
    wxCheckBox* protocol = nullptr;
    wxCheckBox* op0e = nullptr;
    wxCheckBox* op1e = nullptr;
    wxChoice* ptype = nullptr;
};

struct CanFilterRow {
    wxCheckBox* enable = nullptr;     // filters only
    wxTextCtrl* id29 = nullptr;       // absent on pages with 11-bit edits only
    wxTextCtrl* sid11 = nullptr;      // absent on pages with 29-bit edits only
    wxChoice* exide = nullptr;        // EXIDE, or MIDE on a mask row
    wxChoice* maskSelect = nullptr;   // filters only
    wxChoice* bufferPointer = nullptr;
};
struct CanFilterGridControls {
    std::array<CanFilterRow, kCanFiltersShown> filters;
    std::array<CanFilterRow, kCanMasks> masks;
};

// The head panel; ptypeItems are the PTYPE choices the page offers.
wxSizer* NewCanHeadPanel(wxWindow* parent, std::initializer_list<const char*> ptypeItems,
                         CanHeadControls& out);
// The filter grid with the 29-bit and / or the 11-bit edits.
wxSizer* NewCanFilterGrid(wxWindow* parent, bool with29, bool with11, CanFilterGridControls& out);

// What the panels call on the page.
struct CanHeadBinding {
    std::function<CanRegisterImage&()> head;          // fields the worker never reads
    std::function<CanTimingView(size_t)> selectBaud;  // the row, stored by the page
    std::function<void(uint8_t, bool)> setProtocolBit;
    std::function<void(unsigned)> setPtype;
    // Shows a handler's rewrite and message (default caption).
    std::function<void(wxTextCtrl*, const PageEditResult&)> apply;
};
void BindCanHead(CanHeadControls& c, const CanHeadBinding& b);
void BindCanFilterGrid(CanFilterGridControls& c, const CanHeadBinding& b);

// Writes the controls from the image (programmatic writes never run the handlers).
void ShowCanTiming(CanHeadControls& c, const CanTimingView& view);
void ShowCanHead(CanHeadControls& c, const CanRegisterImage& image, size_t baudRow);
void ShowCanFilterGrid(CanFilterGridControls& c, const CanRegisterImage& image);
