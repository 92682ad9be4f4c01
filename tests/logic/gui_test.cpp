// The logic analyser in its window, opened modally from the hub, against the simulated board
// serving a KWP2000 exchange.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/choice.h>
#include <wx/radiobut.h>
#include <wx/scrolbar.h>
#include <wx/stattext.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "logic/UartSynth.h"
#include "logic/ui/CDialogLogic.h"
#include "logic/ui/CViewLogicWave.h"
#include "logic/ui/Pages.h"
#include "monitor/MonitorRing.h"
#include "tests/support/PageWindowFixture.h"
#include "tests/support/UserInput.h"
#include "tests/support/TempFiles.h"

namespace {

namespace fs = std::filesystem;

// A fast init, the tester's StartCommunication and the ECU's answer.
const std::vector<uint8_t> kTester = {0xC1, 0x33, 0xF1, 0x81, 0x66};
const std::vector<uint8_t> kEcu = {0x83, 0xF1, 0x10, 0xC1, 0xEF, 0x8F, 0xC3};

std::vector<uint32_t> KwpExchange() {
    UartSynth line(10400, ParityNone, 123456);
    line.Idle(1000);
    line.Break(25000);
    line.Idle(25000);
    line.Bytes(kTester.data(), kTester.size(), 5000);
    line.Idle(25000);
    line.Bytes(kEcu.data(), kEcu.size(), 1000);
    line.Break(0);
    return line.Take();
}

// The labels of the tester's bytes and the ECU's, in order.
std::vector<std::string> ExchangeLabels() {
    std::vector<std::string> labels;
    for (const auto* bytes : {&kTester, &kEcu})
        for (uint8_t b : *bytes) labels.push_back(FormatByteLabel(b, false));
    return labels;
}

class LogicGuiTest : public PageWindowTest<CDialogLogic> {
protected:
    LogicGuiTest() : PageWindowTest(IDC_BUTTON_LOGIC, MakeDialogLogicPage) {}

    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(PageWindowTest::SetUp());
        ResetMonitorRing();
    }

    // Presses the hub's button and runs body inside the modal window it opens; the window is
    // closed afterwards whatever body did.
    void RunOpened(const std::function<void(CDialogLogic&)>& body) {
        bool ran = false;
        wxTheApp->CallAfter([&] {
            CDialogLogic* dialog = nullptr;
            for (wxWindow* window : wxTopLevelWindows)
                if (auto* d = dynamic_cast<CDialogLogic*>(window)) dialog = d;
            ASSERT_NE(dialog, nullptr);
            ASSERT_TRUE(dialog->IsModal());
            dialog_ = dialog;
            ASSERT_TRUE(hub_->GetPage(IDC_BUTTON_LOGIC)->WindowExists());
            body(*dialog);
            ran = true;
            if (g_WorkerRunning.load()) dialog->Page().Stop();
            if (dialog->IsModal()) dialog->EndModal(wxID_CANCEL);
        });
        hub_->OnPageButton(IDC_BUTTON_LOGIC);
        EXPECT_TRUE(ran);
        EXPECT_FALSE(hub_->GetPage(IDC_BUTTON_LOGIC)->WindowExists());
    }

    void Choose(int id, int row) {
        auto* choice = Control<wxChoice>(id);
        choice->SetSelection(row);
        wxCommandEvent event(wxEVT_CHOICE, id);
        event.SetInt(row);
        choice->ProcessWindowEvent(event);
    }
    // START, STOP, save and load: 1 for enabled, 0 for disabled.
    std::string Enabled() const {
        std::string flags;
        for (int id : {IDC_LOGIC_START, IDC_LOGIC_STOP, IDC_LOGIC_SAVE, IDC_LOGIC_LOAD}) flags += Button(id)->IsEnabled() ? '1' : '0';
        return flags;
    }
    // Baud, time scale and the parity radio that is on, as the window shows them.
    std::string Shown() const {
        std::string text = Control<wxChoice>(IDC_LOGIC_BAUD)->GetStringSelection().utf8_string() + " " +
                           Control<wxChoice>(IDC_LOGIC_TIME_SCALE)->GetStringSelection().utf8_string();
        for (auto [id, name] : {std::pair{IDC_LOGIC_NO_PARITY, " none"}, {IDC_LOGIC_ODD, " odd"}, {IDC_LOGIC_EVEN, " even"}, {IDC_LOGIC_LIN, " LIN"}})
            if (Control<wxRadioButton>(id)->GetValue()) text += name;
        return text;
    }
    std::string CountText() const { return Control<wxStaticText>(IDC_LOGIC_COUNT)->GetLabel().utf8_string(); }
    // The two-digit labels of the view's next paint.
    static std::vector<std::string> PaintedBytes(CDialogLogic& d) {
        CViewLogicWave* view = d.GetView();
        const unsigned before = view->PaintCount();
        view->Refresh();
        view->Update();
        EXPECT_TRUE(PumpUntil([&] { return view->PaintCount() > before; }));
        std::vector<std::string> labels;
        for (const WaveItem& item : view->LastPaint().items)
            if (item.kind == WaveItemKind::Text && item.text.size() == 2) labels.push_back(item.text);
        return labels;
    }

    TempDir temp_;
    const fs::path& dir_ = temp_.path;
};

TEST_F(LogicGuiTest, CaptureAnExchangeSeeItsBytesStopSaveAndLoad) {
    const std::vector<uint32_t> exchange = KwpExchange();
    tb_set_capture(exchange.data(), static_cast<unsigned>(exchange.size()));
    tb_set_read_latency(1);
    const std::string total = std::to_string(exchange.size());
    RunOpened([&](CDialogLogic& d) {
        EXPECT_EQ(d.GetTitle().utf8_string(), "K1 Logic Analysis-- Device( 0 ) Connected");
        EXPECT_EQ(Shown(), "10400 50us none");
        EXPECT_EQ(d.Page().View().capture.Count(), 0u);
        EXPECT_EQ(Enabled(), "1011");

        Click(IDC_LOGIC_START);
        EXPECT_TRUE(d.TimerRunning());
        EXPECT_EQ(Enabled(), "0110") << "save stays, load waits for the end";
        // A save while the samples arrive writes what had arrived, whole.
        ASSERT_TRUE(PumpUntil([&] { return d.Page().View().capture.Count() > 0; }));
        d.SaveToPath((dir_ / "during.klg").string());
        KlgContents during;
        ASSERT_EQ(LoadKlg((dir_ / "during.klg").string(), during), KlgResult::Ok);
        ASSERT_GT(during.samples.size(), 0u);
        ASSERT_LE(during.samples.size(), exchange.size());
        EXPECT_EQ(during.samples, std::vector<uint32_t>(exchange.begin(), exchange.begin() + during.samples.size()));
        // The count blinks: shown, then hidden, while the samples arrive.
        bool shown = false, hidden = false;
        ASSERT_TRUE(PumpUntil([&] {
            const std::string text = CountText();
            shown |= text == total;
            hidden |= shown && text.empty();
            return shown && hidden;
        }, std::chrono::seconds(10)));
        const std::vector<std::string> firstScreen = PaintedBytes(d);
        ASSERT_FALSE(firstScreen.empty());
        const std::vector<std::string> all = ExchangeLabels();
        ASSERT_LE(firstScreen.size(), all.size());
        EXPECT_EQ(firstScreen, std::vector<std::string>(all.begin(), all.begin() + firstScreen.size()));

        Click(IDC_LOGIC_CANCEL);
        wxKeyEvent esc(wxEVT_CHAR_HOOK);  // Esc presses "取消"
        esc.m_keyCode = WXK_ESCAPE;
        d.ProcessWindowEvent(esc);
        EXPECT_TRUE(d.IsModal()) << "no close while capturing";
        ASSERT_EQ(messages_.Count(), 2u);
        EXPECT_EQ(messages_.Texts()[0], "VR3526正在工作，请先停止VR3526工作");
        EXPECT_EQ(messages_.Messages()[0].caption, "请先停止");
        EXPECT_EQ(messages_.Texts()[1], messages_.Texts()[0]);

        Click(IDC_LOGIC_STOP);
        ASSERT_TRUE(PumpUntil([&] { return !d.TimerRunning(); }));
        EXPECT_EQ(CountText(), total);
        EXPECT_EQ(Enabled(), "1011");
        EXPECT_EQ(g_MonitorCount.load(), 0u) << "nothing goes to the monitor";

        Choose(IDC_LOGIC_TIME_SCALE, 3);  // "200" µs: the whole exchange on one screen
        EXPECT_EQ(PaintedBytes(d), all);

        d.SaveToPath((dir_ / "wave").string());
        ASSERT_EQ(fs::file_size(dir_ / "wave.klg"), 20 + 4 * exchange.size());

        const std::vector<uint32_t> other = {10, 700, 760};
        ASSERT_EQ(SaveKlg((dir_ / "other.KLG").string(), KlgSettings{0, 6, ParityLin}, other.data(), 3), KlgResult::Ok);
        d.LoadFromPath((dir_ / "other.KLG").string());
        EXPECT_EQ(CountText(), "3");
        EXPECT_EQ(Shown(), "19200 10us LIN");

        d.LoadFromPath((dir_ / "wave.klg").string());
        const WaveCapture& c = d.Page().View().capture;
        EXPECT_EQ(std::vector<uint32_t>(c.Samples(), c.Samples() + c.Count()), exchange);
        EXPECT_EQ(Shown(), "10400 200 none");
        EXPECT_EQ(messages_.Count(), 2u);

        Click(IDC_LOGIC_CANCEL);
        EXPECT_FALSE(d.IsModal());
    });
}

TEST_F(LogicGuiTest, TheScrollBarStepsThroughTheCaptureWithoutLosingAByte) {
    // 200 distinct bytes with 2 ms between them: several screens at 50 µs per 5 px.
    UartSynth line(10400, ParityNone, 77);
    line.Idle(1000);
    std::vector<std::string> all;
    for (int i = 0; i < 200; ++i) {
        const uint8_t byte = static_cast<uint8_t>(i);
        line.Byte(byte);
        line.Idle(2000);
        all.push_back(FormatByteLabel(byte, false));
    }
    line.Break(0);
    const std::vector<uint32_t> samples = line.Take();
    ASSERT_EQ(SaveKlg((dir_ / "bytes.klg").string(), KlgSettings{1, 3, ParityNone}, samples.data(),
                      static_cast<uint32_t>(samples.size())),
              KlgResult::Ok);
    // Where a screen's labels lie in the whole run: -1 unless they are a run of it.
    const auto runStart = [&](const std::vector<std::string>& shown) -> long {
        if (shown.empty()) return -1;
        const auto at = std::find(all.begin(), all.end(), shown.front());
        if (at == all.end() || all.end() - at < static_cast<long>(shown.size())) return -1;
        return std::equal(shown.begin(), shown.end(), at) ? at - all.begin() : -1;
    };
    RunOpened([&](CDialogLogic& d) {
        d.LoadFromPath((dir_ / "bytes.klg").string());
        EXPECT_EQ(Shown(), "10400 50us none");
        wxScrollBar* bar = d.GetScrollBar();
        const std::vector<std::string> first = PaintedBytes(d);
        ASSERT_EQ(runStart(first), 0);
        ASSERT_LT(first.size(), all.size());

        // Page by page to the end: each screen goes on at most one byte after the last one
        // shown (a byte cut by the screen's top edge is labelled on the screen before).
        std::vector<std::string> previous = first;
        long previousStart = 0;
        for (int page = 0; page < 50 && previous.back() != all.back(); ++page) {
            ScrollBy(bar, wxEVT_SCROLL_PAGEDOWN);
            const std::vector<std::string> shown = PaintedBytes(d);
            const long start = runStart(shown);
            ASSERT_GE(start, 0) << "page " << page;
            EXPECT_GT(start, previousStart) << "page " << page;
            EXPECT_LE(start, previousStart + static_cast<long>(previous.size())) << "page " << page << ": a byte lost";
            previous = shown;
            previousStart = start;
        }
        EXPECT_EQ(previous.back(), all.back());

        ScrollBy(bar, wxEVT_SCROLL_THUMBTRACK, 0);
        EXPECT_EQ(PaintedBytes(d), first);
        ScrollBy(bar, wxEVT_SCROLL_LINEDOWN);
        ScrollBy(bar, wxEVT_SCROLL_LINEUP);
        EXPECT_EQ(PaintedBytes(d), first);
        Click(IDC_LOGIC_CANCEL);
    });
}

TEST_F(LogicGuiTest, EachOpeningStartsEmptyWithTheDefaults) {
    const std::vector<uint32_t> samples = {1, 2, 3, 4};
    ASSERT_EQ(SaveKlg((dir_ / "a.klg").string(), KlgSettings{7, 0, ParityOdd}, samples.data(), 4), KlgResult::Ok);
    RunOpened([&](CDialogLogic& d) {
        d.LoadFromPath((dir_ / "a.klg").string());
        EXPECT_EQ(d.Page().View().capture.Count(), 4u);
        Click(IDC_LOGIC_CANCEL);
    });
    RunOpened([&](CDialogLogic& d) {
        EXPECT_EQ(d.Page().View().capture.Count(), 0u);
        EXPECT_EQ(CountText(), "0");
        EXPECT_EQ(Shown(), "10400 50us none");
    });
    g_DeviceOpen = 0;
    RunOpened([&](CDialogLogic& d) {
        EXPECT_EQ(d.GetTitle().utf8_string(), "K1 Logic Analysis -- No device Connected ");
        EXPECT_EQ(Enabled(), "0011");
    });
}

}  // namespace
