// The example set-up file that `scripts/run.sh --simulated` starts the program with: every
// page, opened from the hub of the whole program, shows a sent and an answered row after its
// default Start and Send, so the file cannot rot as the pages or the set-up format change.
#include <gtest/gtest.h>
#include <wx/button.h>

#include <fstream>
#include <sstream>

#include "monitor/MonitorRing.h"
#include "monitor/ui/CDialogMainA.h"
#include "testboard/SetupFile.h"
#include "tests/support/PageWindowFixture.h"
#include "tests/support/ProgramFixture.h"

namespace {

bool HasRow(uint8_t direction) {
    for (uint32_t i = 0; i < g_MonitorCount.load(); ++i)
        if (CopyMonitorRecord(i).direction == direction) return true;
    return false;
}

TEST(ExampleSetup, EveryLineIsReadAndTheCaptureIsThere) {
    std::ostringstream text;
    text << std::ifstream(EXAMPLE_SETUP).rdbuf();
    const testboard::Setup setup = testboard::ParseSetup(text.str());
    EXPECT_EQ(setup.notes, std::vector<std::string>{});
    EXPECT_FALSE(setup.capture.empty());
    EXPECT_TRUE(setup.echo && setup.kw1281Ack && setup.init5);
}

class ExampleSetupProgram : public ProgramTest {};

TEST_F(ExampleSetupProgram, EveryPagesDefaultStartAndSendAreAnswered) {
    StartProgram(EXAMPLE_SETUP);
    // Start 1014, Send 1015, Stop 1003; the simulator's one button starts and stops it.
    const struct { const char* name; int button, start; } pages[] = {
        {"ISO 14230", 1003, 1014}, {"KW1281", 1005, 1014}, {"SCI", 1013, 1014}, {"user mode", 1004, 1014},
        {"J1708", 1011, 1014},     {"LIN", 1160, 1014},    {"UART test", 1014, 1014}, {"ISO 15765", 1006, 1014},
        {"J1939", 1009, 1014},     {"TP2.0", 1010, 1014},  {"J1850 VPW", 1007, 1014}, {"J1850 PWM", 1008, 1014},
        {"ECU simulator", 1015, 1200},
    };
    for (const auto& p : pages) {
        SCOPED_TRACE(p.name);
        ResetMonitorRing();
        wxWindow* page = Open(p.button);
        ASSERT_NE(page, nullptr);
        ClickButton(page, p.start);
        if (auto* send = dynamic_cast<wxButton*>(page->FindWindow(1015)); send && p.start == 1014) ClickButton(page, 1015);
        EXPECT_TRUE(PumpUntil([] { return HasRow(0) && HasRow(1); }));
        ClickButton(page, p.start == 1014 ? 1003 : p.start);
        page->Hide();
    }
}

}  // namespace
