// The example set-up file that `scripts/run.sh --simulated` starts the program with: every
// page, opened from the hub of the whole program, shows a sent and an answered row after its
// default Start and Send, so the file cannot rot as the pages or the set-up format change.
#include <gtest/gtest.h>
#include <wx/button.h>

#include <wx/app.h>

#include <chrono>
#include <fstream>
#include <sstream>

#include "logic/ui/CDialogLogic.h"
#include "simulator/ui/CDialogObdSimu.h"
#include "monitor/MonitorRing.h"
#include "monitor/RecordFormat.h"
#include "monitor/ui/CDialogMainA.h"
#include "testboard/SetupFile.h"
#include "tests/support/BoardLog.h"
#include "tests/support/PageWindowFixture.h"
#include "tests/support/ProgramFixture.h"

namespace {

// Whether a monitor record of that direction shows data starting with these bytes.
bool HasRow(uint8_t direction, const std::string& data = std::string()) {
    for (uint32_t i = 0; i < g_MonitorCount.load(); ++i) {
        const MonitorRecord record = CopyMonitorRecord(i);
        if (record.direction == direction && FormatData(record).find(data) == 0) return true;
    }
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

class ExampleSetupProgram : public ProgramTest {
protected:
    // 逻辑分析, 开始 until the set-up's capture is in, 停止, close: the samples it holds.
    std::vector<uint32_t> Capture() {
        std::vector<uint32_t> samples;
        wxTheApp->CallAfter([&] {
            CDialogLogic* dialog = ShownWindow<CDialogLogic>();
            if (!dialog) return;
            ClickButton(dialog, IDC_LOGIC_START);
            const WaveCapture& capture = dialog->Page().View().capture;
            PumpUntil([&] { return tb_capture_served() > 0 && tb_queued_replies() == 0 && capture.Count() >= 27; });
            ClickButton(dialog, IDC_LOGIC_STOP);
            samples.assign(capture.Samples(), capture.Samples() + capture.Count());
            dialog->EndModal(wxID_CANCEL);
        });
        frame_->GetHub()->OnPageButton(IDC_BUTTON_LOGIC);
        return samples;
    }
};

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

// A K-line page leaves its engine-frame bytes in the host's send buffer, and the CAN pages
// keep the high nibble of byte 1 from there (A0 B0 ..): the example's CAN peers answer all the
// same.
TEST_F(ExampleSetupProgram, TheCanPeersAnswerAfterAKLinePage) {
    StartProgram(EXAMPLE_SETUP);
    wxWindow* user = Open(1004);  // ISO 9141-2 user mode
    ASSERT_NE(user, nullptr);
    ClickButton(user, 1014);
    ClickButton(user, 1022);  // 发送 初始化+数据桢
    ASSERT_TRUE(PumpUntil([] { return HasRow(1); }));
    ClickButton(user, 1015);  // 发送数据桢
    ASSERT_TRUE(PumpUntil([] { return HasRow(1, "48 6B 10 41 00 BE 3F B8 13 CC"); }));
    ClickButton(user, 1003);
    ClickButton(user, 2);  // 退出
    ASSERT_FALSE(user->IsShown());

    const struct { const char* name; int button; const char* answer; } pages[] = {
        {"ISO 15765", 1006, "ID:      7E8    DATA: 06 41 00 BE 1F B8 10"},
        {"J1939", 1009, "ID: 18FEE000    DATA: 01 02 03 04 05 06 07 08"},
        {"TP2.0", 1010, "ID:      300    DATA: 10 00 03 5A 9B 01"},
    };
    for (const auto& p : pages) {
        SCOPED_TRACE(p.name);
        ResetMonitorRing();
        const unsigned logged = tb_log_count();
        wxWindow* page = Open(p.button);
        ASSERT_NE(page, nullptr);
        ClickButton(page, 1014);
        ClickButton(page, 1015);
        const int sent = WaitForPacket([](const Bytes& b) { return b.size() > 4 && b[0] == 0xA0 && (b[1] & 0x80); }, logged);
        ASSERT_GE(sent, 0);
        EXPECT_EQ(LoggedPacket(static_cast<unsigned>(sent))[1], 0xB0) << "the K-line page's nibble is still there";
        EXPECT_TRUE(PumpUntil([&] { return HasRow(0) && HasRow(1, p.answer); }));
        ClickButton(page, 1003);
        ClickButton(page, 2);
    }
}

// The example table, beside this test program as "Obd2DeFault.DAT" (the build puts it there,
// as scripts/run.sh --simulated does beside the program): the simulator page opens without a
// message, and its Start answers the example tester's 68 6A F1 01 00. Stopped, and a capture
// taken after it holds what a fresh capture holds: no frame the tester sent later leaks in.
TEST_F(ExampleSetupProgram, TheSimulatorAnswersFromTheExampleTableAndACaptureAfterItIsClean) {
    StartProgram(EXAMPLE_SETUP);
    const std::vector<uint32_t> fresh = Capture();
    ASSERT_FALSE(fresh.empty());

    ResetMonitorRing();
    wxWindow* page = Open(1015);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(messages_.Texts(), std::vector<std::string>{});
    ClickButton(page, 1200);
    ASSERT_TRUE(PumpUntil([] { return HasRow(0, "48 6B 10 41 00 BE 3F B8 13 CC"); }));
    // The tester asks again one second after each answer: stop while that request is due.
    const auto answered = std::chrono::steady_clock::now();
    ClickButton(page, 1200);
    ASSERT_EQ(g_WorkerRunning.load(), 0u);
    ClickButton(page, IDC_OBD_EXIT);
    PumpUntil([&] { return std::chrono::steady_clock::now() > answered + std::chrono::milliseconds(1300); },
              std::chrono::milliseconds(3000));

    EXPECT_EQ(Capture(), fresh);
}

}  // namespace
