#include "pages/can/ui/CanPageLayout.h"

#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>

#include "monitor/ui/CEditHex.h"
#include "pages/shared/ui/PageWindow.h"
#include "platform/ui/WxText.h"

namespace {

// Filter row ids: enable, 29-bit, 11-bit, EXIDE, MSKSEL, FxBP.
const int kFilterIds[kCanFiltersShown][6] = {
    {1052, 1058, 1099, 1152, 1037, 1038}, {1054, 1062, 1100, 1039, 1040, 1041},
    {1067, 1065, 1106, 1042, 1043, 1044}, {1070, 1068, 1107, 1045, 1046, 1047},
    {1073, 1071, 1108, 1048, 1049, 1050}, {1078, 1074, 1109, 1076, 1077, 1079},
    {1084, 1080, 1110, 1082, 1083, 1085}, {1093, 1086, 1111, 1091, 1092, 1094},
};
// Mask row ids: 29-bit, 11-bit, MIDE.
const int kMaskIds[kCanMasks][3] = {{1143, 1113, 1145}, {1146, 1114, 1148}, {1149, 1115, 1151}};

wxChoice* QuantaChoice(wxWindow* parent, int id, int count) {
    auto* choice = new wxChoice(parent, id);
    for (int q = 1; q <= count; ++q) choice->Append(wxString::Format("%dTQ", q));
    return choice;
}

wxTextCtrl* HexEdit(wxWindow* parent, int id, unsigned limit, int width) {
    auto* edit = new CEditHex(parent, id, wxString(), wxDefaultPosition, wxSize(width, -1));
    edit->SetMaxLength(limit);
    return edit;
}

std::string Text(wxTextCtrl* edit) { return edit->GetValue().utf8_string(); }

void OnText(wxTextCtrl* edit, std::function<void()> handler) {
    if (edit) OnEditText(edit, std::move(handler));
}
void OnLeave(wxTextCtrl* edit, std::function<void()> handler) {
    if (edit)
        edit->Bind(wxEVT_KILL_FOCUS, [handler](wxFocusEvent& event) {
            event.Skip();
            handler();
        });
}

}  // namespace

wxSizer* NewCanHeadPanel(wxWindow* parent, std::initializer_list<const char*> ptypeItems,
                         CanHeadControls& out) {
    auto* column = new wxBoxSizer(wxVERTICAL);
    const int gap = kPageLayoutGap;

    auto* bus = new wxStaticBoxSizer(wxHORIZONTAL, parent, U8("总线"));
    wxWindow* busBox = bus->GetStaticBox();
    out.twoWire = new wxRadioButton(busBox, IDC_CAN_TWO_WIRE, U8("双线CAN"), wxDefaultPosition,
                                    wxDefaultSize, wxRB_GROUP);
    out.singleWire = new wxRadioButton(busBox, IDC_CAN_SINGLE_WIRE, U8("单线CAN (SWC)"));
    out.en = new wxCheckBox(busBox, IDC_CAN_EN, U8("EN=1"));
    out.nstb = new wxCheckBox(busBox, IDC_CAN_NSTB, U8("NSTB=1"));
    for (wxWindow* w : std::initializer_list<wxWindow*>{out.twoWire, out.singleWire, out.en, out.nstb})
        bus->Add(w, 0, wxALL, 2);
    column->Add(bus, 0, wxEXPAND | wxBOTTOM, gap);

    auto* mode = new wxStaticBoxSizer(wxHORIZONTAL, parent, U8("CCTRL0"));
    const char* modeNames[] = {"正常<000>", "环回<010>", "仅监听<011>"};
    const int modeIds[] = {IDC_CAN_MODE_NORMAL, IDC_CAN_MODE_LOOPBACK, IDC_CAN_MODE_LISTEN};
    for (int i = 0; i < 3; ++i) {
        out.modes[i] = new wxRadioButton(mode->GetStaticBox(), modeIds[i], U8(modeNames[i]),
                                         wxDefaultPosition, wxDefaultSize, i == 0 ? wxRB_GROUP : 0);
        mode->Add(out.modes[i], 0, wxALL, 2);
    }
    column->Add(mode, 0, wxEXPAND | wxBOTTOM, gap);

    auto* timing = new wxStaticBoxSizer(wxVERTICAL, parent, U8("位时间"));
    wxWindow* tBox = timing->GetStaticBox();
    auto* grid = new wxFlexGridSizer(4, gap, 2 * gap);
    auto label = [&](const char* text) {
        grid->Add(new wxStaticText(tBox, wxID_ANY, U8(text)), 0, wxALIGN_CENTER_VERTICAL);
    };
    label("波特率:");
    out.baud = new wxChoice(tBox, IDC_CAN_BAUD);
    for (const CanBaudTableEntry& row : kCanBaudTable) out.baud->Append(U8(row.name));
    grid->Add(out.baud, 0, wxEXPAND);
    label("BRP:");
    out.brp = new wxTextCtrl(tBox, IDC_CAN_BRP, wxString(), wxDefaultPosition, wxSize(40, -1));
    out.brp->SetMaxLength(2);
    grid->Add(out.brp);
    label("SJW:");
    out.sjw = QuantaChoice(tBox, IDC_CAN_SJW, 4);
    grid->Add(out.sjw);
    label("SEG2PH:");
    out.seg2ph = QuantaChoice(tBox, IDC_CAN_SEG2PH, 8);
    grid->Add(out.seg2ph);
    label("SEG1PH:");
    out.seg1ph = QuantaChoice(tBox, IDC_CAN_SEG1PH, 8);
    grid->Add(out.seg1ph);
    label("PRSEG:");
    out.prseg = QuantaChoice(tBox, IDC_CAN_PRSEG, 8);
    grid->Add(out.prseg);
    label("SAM=1");
    label("SEG2PHTS=1");
    timing->Add(grid, 0, wxALL, gap);
    column->Add(timing, 0, wxEXPAND | wxBOTTOM, gap);

    auto* protocol = new wxStaticBoxSizer(wxVERTICAL, parent, U8("CPROCON"));
    wxWindow* pBox = protocol->GetStaticBox();
    auto* checks = new wxBoxSizer(wxHORIZONTAL);
    out.protocol = new wxCheckBox(pBox, IDC_CAN_PROTOCOL, U8("使能协议"));
    out.op0e = new wxCheckBox(pBox, IDC_CAN_OP0E, U8("OP0E Enable"));
    out.op1e = new wxCheckBox(pBox, IDC_CAN_OP1E, U8("OP1E Enable"));
    for (wxWindow* w : std::initializer_list<wxWindow*>{out.protocol, out.op0e, out.op1e})
        checks->Add(w, 0, wxALL, 2);
    protocol->Add(checks);
    auto* ptype = new wxBoxSizer(wxHORIZONTAL);
    ptype->Add(new wxStaticText(pBox, wxID_ANY, U8("PTYPE:")), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, gap);
    out.ptype = NewChoice(pBox, IDC_CAN_PTYPE, ptypeItems);
    ptype->Add(out.ptype, 1);
    protocol->Add(ptype, 0, wxEXPAND | wxALL, 2);
    column->Add(protocol, 0, wxEXPAND);
    return column;
}

wxSizer* NewCanFilterGrid(wxWindow* parent, bool with29, bool with11, CanFilterGridControls& out) {
    auto* box = new wxStaticBoxSizer(wxVERTICAL, parent, U8("验收滤波器与屏蔽器"));
    wxWindow* b = box->GetStaticBox();
    const int columns = 1 + (with29 ? 1 : 0) + (with11 ? 1 : 0) + 3;
    auto* grid = new wxFlexGridSizer(columns, 2, 6);
    auto head = [&](const char* text) { grid->Add(new wxStaticText(b, wxID_ANY, U8(text)), 0, wxALIGN_CENTER_VERTICAL); };
    head("");
    if (with29) head("SID+EID(29bits)");
    if (with11) head("SID-11bit");
    head("EXIDE");
    head("MSKSEL");
    head("FxBP");
    for (size_t n = 0; n < kCanFiltersShown; ++n) {
        const int* id = kFilterIds[n];
        CanFilterRow& row = out.filters[n];
        row.enable = new wxCheckBox(b, id[0], wxString::Format("F%zu", n));
        grid->Add(row.enable, 0, wxALIGN_CENTER_VERTICAL);
        if (with29) grid->Add(row.id29 = HexEdit(b, id[1], 8, 100));
        if (with11) grid->Add(row.sid11 = HexEdit(b, id[2], 3, 55));
        grid->Add(row.exide = NewChoice(b, id[3], {"0", "1"}));
        grid->Add(row.maskSelect = NewChoice(b, id[4], {"0", "1", "2", "None"}));
        row.bufferPointer = NewChoice(b, id[5], {"0", "1", "2", "3", "4", "5", "6", "7", "FIFO"});
        grid->Add(row.bufferPointer);
    }
    head("");
    if (with29) head("SID-EID(29bits)");
    if (with11) head("SID-11bit");
    head("MIDE");
    head("");
    head("");
    for (size_t m = 0; m < kCanMasks; ++m) {
        const int* id = kMaskIds[m];
        CanFilterRow& row = out.masks[m];
        head(m == 0 ? "MASK0" : m == 1 ? "MASK1" : "MASK2");
        if (with29) grid->Add(row.id29 = HexEdit(b, id[0], 8, 100));
        if (with11) grid->Add(row.sid11 = HexEdit(b, id[1], 3, 55));
        grid->Add(row.exide = NewChoice(b, id[2], {"0", "1"}));
        head("");
        head("");
    }
    box->Add(grid, 0, wxALL, kPageLayoutGap);
    box->Add(new wxStaticText(b, wxID_ANY, U8("注:本实例只使用16个过滤器中的8个，其他的用法相同")), 0,
             wxALL, kPageLayoutGap);
    return box;
}

void BindCanHead(CanHeadControls& c, const CanHeadBinding& b) {
    c.twoWire->Bind(wxEVT_RADIOBUTTON, [b](wxCommandEvent&) { b.head().singleWire = 0; });
    c.singleWire->Bind(wxEVT_RADIOBUTTON, [b](wxCommandEvent&) { b.head().singleWire = 1; });
    c.en->Bind(wxEVT_CHECKBOX, [b, &c](wxCommandEvent&) { SetCanBits(b.head().pinsel, 0x01, c.en->GetValue()); });
    c.nstb->Bind(wxEVT_CHECKBOX, [b, &c](wxCommandEvent&) { SetCanBits(b.head().pinsel, 0x02, c.nstb->GetValue()); });
    for (unsigned i = 0; i < 3; ++i)
        c.modes[i]->Bind(wxEVT_RADIOBUTTON, [b, i](wxCommandEvent&) { SetCanMode(b.head(), i); });
    c.baud->Bind(wxEVT_CHOICE, [b, &c](wxCommandEvent&) {
        ShowCanTiming(c, b.selectBaud(static_cast<size_t>(std::max(0, c.baud->GetSelection()))));
    });
    c.sjw->Bind(wxEVT_CHOICE, [b, &c](wxCommandEvent&) { SetCanSjw(b.head(), c.sjw->GetSelection()); });
    c.seg2ph->Bind(wxEVT_CHOICE, [b, &c](wxCommandEvent&) { SetCanSeg2ph(b.head(), c.seg2ph->GetSelection()); });
    c.seg1ph->Bind(wxEVT_CHOICE, [b, &c](wxCommandEvent&) { SetCanSeg1ph(b.head(), c.seg1ph->GetSelection()); });
    c.prseg->Bind(wxEVT_CHOICE, [b, &c](wxCommandEvent&) { SetCanPrseg(b.head(), c.prseg->GetSelection()); });
    OnText(c.brp, [b, &c] { b.apply(c.brp, CanBrpChanged(b.head(), Text(c.brp))); });
    c.protocol->Bind(wxEVT_CHECKBOX, [b, &c](wxCommandEvent&) { b.setProtocolBit(kCproconEnable, c.protocol->GetValue()); });
    c.op0e->Bind(wxEVT_CHECKBOX, [b, &c](wxCommandEvent&) { b.setProtocolBit(kCproconOp0e, c.op0e->GetValue()); });
    c.op1e->Bind(wxEVT_CHECKBOX, [b, &c](wxCommandEvent&) { b.setProtocolBit(kCproconOp1e, c.op1e->GetValue()); });
    c.ptype->Bind(wxEVT_CHOICE, [b, &c](wxCommandEvent&) { b.setPtype(std::max(0, c.ptype->GetSelection())); });
}

void BindCanFilterGrid(CanFilterGridControls& c, const CanHeadBinding& b) {
    auto bindRow = [b](CanFilterRow& row, CanEntryRef ref) {
        CanFilterRow* r = &row;
        OnText(r->id29, [b, r, ref] {
            const std::string sid = CanId29Changed(b.head(), ref, Text(r->id29));
            if (r->sid11) r->sid11->ChangeValue(U8(sid));
        });
        OnLeave(r->id29, [b, r, ref] { r->id29->ChangeValue(U8(CanId29Text(b.head(), ref))); });
        OnText(r->sid11, [b, r, ref] { CanSid11Changed(b.head(), ref, Text(r->sid11)); });
        OnLeave(r->sid11, [b, r, ref] {
            r->sid11->ChangeValue(U8(CanSid11Text(b.head(), ref)));
            if (r->id29) r->id29->ChangeValue(U8(CanId29Text(b.head(), ref)));
        });
        r->exide->Bind(wxEVT_CHOICE, [b, r, ref](wxCommandEvent&) {
            SetCanFilterExide(CanEntry(b.head(), ref), r->exide->GetSelection() == 1);
        });
        if (r->enable)
            r->enable->Bind(wxEVT_CHECKBOX, [b, r, ref](wxCommandEvent&) {
                SetCanFilterEnabled(b.head(), ref.n, r->enable->GetValue());
            });
        if (r->maskSelect)
            r->maskSelect->Bind(wxEVT_CHOICE, [b, r, ref](wxCommandEvent&) {
                SetCanMaskSelect(b.head(), ref.n, std::max(0, r->maskSelect->GetSelection()));
            });
        if (r->bufferPointer)
            r->bufferPointer->Bind(wxEVT_CHOICE, [b, r, ref](wxCommandEvent&) {
                SetCanBufferPointer(b.head(), ref.n, std::max(0, r->bufferPointer->GetSelection()));
            });
    };
    for (unsigned n = 0; n < kCanFiltersShown; ++n) bindRow(c.filters[n], CanEntryRef{false, n});
    for (unsigned m = 0; m < kCanMasks; ++m) bindRow(c.masks[m], CanEntryRef{true, m});
}

void ShowCanTiming(CanHeadControls& c, const CanTimingView& v) {
    c.sjw->SetSelection(static_cast<int>(v.sjw));
    c.seg2ph->SetSelection(static_cast<int>(v.seg2ph));
    c.seg1ph->SetSelection(static_cast<int>(v.seg1ph));
    c.prseg->SetSelection(static_cast<int>(v.prseg));
    c.brp->ChangeValue(U8(v.brpText));
    for (wxWindow* w : std::initializer_list<wxWindow*>{c.sjw, c.seg2ph, c.seg1ph, c.prseg, c.brp})
        w->Enable(v.editable);
}

void ShowCanHead(CanHeadControls& c, const CanRegisterImage& image, size_t baudRow) {
    c.twoWire->SetValue(image.singleWire == 0);
    c.singleWire->SetValue(image.singleWire != 0);
    c.en->SetValue(image.pinsel & 0x01);
    c.nstb->SetValue(image.pinsel & 0x02);
    c.modes[CanModeRadio(image)]->SetValue(true);
    c.baud->SetSelection(static_cast<int>(baudRow));
    ShowCanTiming(c, CanTiming(image, baudRow));
    c.protocol->SetValue(image.cprocon & kCproconEnable);
    c.op0e->SetValue(image.cprocon & kCproconOp0e);
    c.op1e->SetValue(image.cprocon & kCproconOp1e);
    const unsigned ptype = CanPtype(image);
    if (ptype < c.ptype->GetCount()) c.ptype->SetSelection(static_cast<int>(ptype));
}

void ShowCanFilterGrid(CanFilterGridControls& c, const CanRegisterImage& image) {
    auto showRow = [&image](CanFilterRow& row, CanEntryRef ref) {
        if (row.id29) row.id29->ChangeValue(U8(CanId29Text(image, ref)));
        if (row.sid11) row.sid11->ChangeValue(U8(CanSid11Text(image, ref)));
        row.exide->SetSelection(CanFilterExide(CanEntry(image, ref)) ? 1 : 0);
        if (row.enable) row.enable->SetValue(CanFilterEnabled(image, ref.n));
        if (row.maskSelect) row.maskSelect->SetSelection(static_cast<int>(CanMaskSelect(image, ref.n)));
        if (row.bufferPointer)
            row.bufferPointer->SetSelection(static_cast<int>(CanBufferPointerSelection(image, ref.n)));
    };
    for (unsigned n = 0; n < kCanFiltersShown; ++n) showRow(c.filters[n], CanEntryRef{false, n});
    for (unsigned m = 0; m < kCanMasks; ++m) showRow(c.masks[m], CanEntryRef{true, m});
}
