// The detail dialog's data field on the screen: every line of a record's text whole, with no
// sideways scrolling, and the dialog within a laptop screen.
#include <gtk/gtk.h>
#include <gtest/gtest.h>
#include <wx/frame.h>
#include <wx/textctrl.h>
#include <wx/tokenzr.h>

#include <cstring>
#include <memory>
#include <vector>

#include "monitor/MonitorRing.h"
#include "monitor/ui/CDialogShowMessageDetail.h"
#include "tests/support/GuiPump.h"

namespace {

MonitorRecord Record(uint8_t direction, uint8_t kind, uint16_t word, const std::vector<uint8_t>& data) {
    MonitorRecord r{};
    r.sequence = 7;
    r.direction = direction;
    r.kind = kind;
    r.lengthWord = word;
    std::memcpy(r.data, data.data(), data.size());
    return r;
}

std::vector<uint8_t> Counting(size_t n) {
    std::vector<uint8_t> bytes(n);
    for (size_t i = 0; i < n; ++i) bytes[i] = static_cast<uint8_t>(0xA0 + i);
    return bytes;
}

struct Shown {
    int visibleWidth;  // of the text, inside the field's margins
    double sideways;   // how far the field can scroll sideways
};

// What the field shows once the toolkit has laid it out.
Shown Measure(wxTextCtrl* field) {
    GtkTextView* view = GTK_TEXT_VIEW(field->GetConnectWidget());
    GdkRectangle visible;
    gtk_text_view_get_visible_rect(view, &visible);
    GtkAdjustment* h = gtk_scrollable_get_hadjustment(GTK_SCROLLABLE(view));
    return {visible.width - gtk_text_view_get_left_margin(view) - gtk_text_view_get_right_margin(view),
            gtk_adjustment_get_upper(h) - gtk_adjustment_get_page_size(h)};
}

class DetailDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        frame_ = new wxFrame(nullptr, wxID_ANY, "hub", wxDefaultPosition, wxSize(600, 400));
        frame_->Show();
    }
    void TearDown() override {
        frame_->Destroy();
        PumpPending();
    }
    wxFrame* frame_ = nullptr;
};

TEST_F(DetailDialogTest, EveryLineShowsWholeWithoutScrollingSideways) {
    MonitorRecord fastInit = Record(0, KindUart, 0x1000 | 60, Counting(60));
    fastInit.fastInitLowMs = 255;
    fastInit.fastInitHighMs = 255;
    MonitorRecord slowInitShort = Record(0, KindUart, 0x2000 | 64, Counting(64));
    slowInitShort.slowInitAddress = 0x33;
    slowInitShort.reserved = kMonitorShortFrame;
    const struct {
        const char* what;
        MonitorRecord record;
        size_t lines;
    } cases[] = {
        {"60-byte UART", Record(1, KindUart, 60, Counting(60)), 2},
        {"260-byte UART", Record(1, KindUart, 260, Counting(260)), 9},
        {"fast init, 60 bytes", fastInit, 2},
        {"slow init, cut short", slowInitShort, 3},
        {"CAN extended", Record(1, KindCan, 0, {0x43, 0x60, 0xF1, 0x10, 0x08, 0x00, 1, 2, 3, 4, 5, 6, 7, 8}), 1},
        {"J1850 with IFR", Record(1, KindJ1850, 0, {0x00, 0x48, 0, 0, 0x68, 0x6A, 0xF1, 1, 2, 3, 4, 5, 6, 7, 8, 9}), 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto dialog = std::make_unique<CDialogShowMessageDetail>(frame_, c.record);
        auto* field = dynamic_cast<wxTextCtrl*>(dialog->FindWindow(IDC_DETAIL_DATA));
        ASSERT_NE(field, nullptr);
        dialog->Show();
        ASSERT_TRUE(PumpUntil([&] { return Measure(field).visibleWidth > 1; }));
        PumpPending();

        const wxArrayString lines = wxStringTokenize(field->GetValue(), "\n", wxTOKEN_RET_EMPTY_ALL);
        EXPECT_EQ(lines.size(), c.lines);
        const Shown shown = Measure(field);
        for (const wxString& line : lines)
            EXPECT_LE(field->GetTextExtent(line).x, shown.visibleWidth) << line.utf8_string();
        EXPECT_LE(shown.sideways, 0.0) << "the field scrolls sideways";
        const wxSize size = dialog->GetSize();
        EXPECT_LE(size.x, 1366);
        EXPECT_LE(size.y, 768 - 40) << "with the window manager's title bar";
        dialog->Hide();
    }
}

}  // namespace
