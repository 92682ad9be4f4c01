#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/frame.h>
#include <wx/scrolbar.h>
#include <wx/timer.h>

#include <memory>
#include <string>
#include <vector>

#include "device/UsbOperation.h"
#include "monitor/HubLayout.h"
#include "monitor/MonitorRing.h"
#include "monitor/RecordFormat.h"
#include "monitor/ui/CDialogMainA.h"
#include "monitor/ui/CDialogShowMessageDetail.h"
#include "monitor/ui/CEditHex.h"
#include "monitor/ui/CListMessage.h"
#include "platform/Message.h"
#include "tests/support/GuiPump.h"

namespace {

// A page that records what the hub asks of it.
class FakePage : public HubPage {
public:
    FakePage(int id, std::vector<int>* refreshLog) : id_(id), refreshLog_(refreshLog) {}
    ~FakePage() override {
        if (window) window->Destroy();
    }
    bool WindowExists() const override { return window != nullptr; }
    void ShowPage(CDialogMainA*) override {
        ++shows;
        if (!window) {
            window = new wxDialog(nullptr, wxID_ANY, "page");
            ++creates;
        }
        window->Show();
    }
    void RefreshDeviceStatus() override { refreshLog_->push_back(id_); }

    wxDialog* window = nullptr;
    int shows = 0;
    int creates = 0;

private:
    int id_;
    std::vector<int>* refreshLog_;
};

void AppendUart(uint8_t direction, uint32_t timeMs, uint8_t firstByte) {
    const uint8_t data[3] = {firstByte, 0x22, 0x33};
    AppendMonitorRecord(direction, KindUart, 3, timeMs, data, sizeof data);
}

class HubTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_WorkerRunning = 0;
        frame = new wxFrame(nullptr, wxID_ANY, "hub", wxDefaultPosition, wxSize(1000, 700));
        hub = new CDialogMainA(frame);
        frame->Show();
        ResizeHub(1000, 700);
    }
    void TearDown() override {
        g_WorkerRunning = 0;
        frame->Destroy();
        PumpPending();
    }

    void ResizeHub(int cx, int cy) {
        hub->SetSize(0, 0, cx, cy);
        const uint32_t rows = HubRowsPerPage(cy, hub->RowPixels());
        ASSERT_TRUE(PumpUntil([&] { return hub->GetClientSize() == wxSize(cx, cy); }));
        hub->SendSizeEvent();
        ASSERT_TRUE(PumpUntil([&] { return g_MonitorRowsPerPage.load() == rows; }));
    }

    FakePage* Register(int id) {
        auto page = std::make_unique<FakePage>(id, &refreshLog);
        FakePage* raw = page.get();
        hub->RegisterPage(id, std::move(page));
        return raw;
    }

    std::vector<bool> EnabledStates() const {
        std::vector<bool> states;
        for (int id : kHubButtonOrder) states.push_back(hub->GetPageButton(id)->IsEnabled());
        return states;
    }

    platform::RecordingMessageSink messages;
    wxFrame* frame = nullptr;
    CDialogMainA* hub = nullptr;
    std::vector<int> refreshLog;
};

TEST_F(HubTest, ShowsTheListColumnsAndTheFourteenButtons) {
    CListMessage* list = hub->GetList();
    ASSERT_EQ(list->GetColumnCount(), 8);
    const char* titles[8] = {" 序号", "方向", "系统时间(ms)", " 相对时间", "总线", "长度(数据)", "    数据", " 状态"};
    const int widths[8] = {60, 60, 120, 100, 60, 80, 550, 200};
    for (int i = 0; i < 8; ++i) {
        wxListItem column;
        column.SetMask(wxLIST_MASK_TEXT | wxLIST_MASK_WIDTH);
        ASSERT_TRUE(list->GetColumn(i, column));
        EXPECT_EQ(column.GetText().utf8_string(), titles[i]) << i;
        EXPECT_EQ(list->GetColumnWidth(i), widths[i]) << i;
    }
    EXPECT_EQ(list->GetId(), 1001);
    EXPECT_EQ(hub->GetScrollBar()->GetId(), 1063);

    const std::vector<std::pair<int, const char*>> captions = {
        {1007, "J1850-VPW"}, {1008, "J1850-PWM"}, {1006, "ISO15765"}, {1009, "J1939"},
        {1010, "VW TP2.0"}, {1013, "SCI"}, {1003, "ISO14230(KWP2000)"}, {1004, "9141(USER MOD)"},
        {1005, "KW1281"}, {1011, "J1708"}, {1160, "LIN"}, {1014, "UART测试"},
        {1015, "OBD模拟"}, {1017, "逻辑分析"}};
    for (const auto& [id, caption] : captions) {
        wxButton* button = hub->GetPageButton(id);
        ASSERT_NE(button, nullptr) << id;
        EXPECT_EQ(button->GetLabel().utf8_string(), caption);
        EXPECT_FALSE(button->IsEnabled()) << id << " has no page yet";
    }
}

TEST_F(HubTest, LaysOutByTheClientSizeAndShowsNoRowsWhenTooLow) {
    for (int i = 0; i < 50; ++i) AppendUart(1, 100u + i, 1);
    ResizeHub(1000, 700);
    EXPECT_EQ(hub->GetList()->GetPosition(), wxPoint(5, 0));
    EXPECT_EQ(hub->GetList()->GetSize(), wxSize(970, 610));
    EXPECT_EQ(hub->GetPageButton(1017)->GetPosition(), wxPoint(800, 630));
    EXPECT_EQ(hub->GetPageButton(1014)->GetPosition(), wxPoint(620, 660));
    EXPECT_EQ(hub->GetList()->GetItemCount(), static_cast<int>(HubRowsPerPage(700, hub->RowPixels())));

    ResizeHub(1000, 131);
    EXPECT_EQ(g_MonitorRowsPerPage.load(), 0u);
    EXPECT_EQ(hub->GetList()->GetItemCount(), 0);
}

// The list follows new records by showing the last page; a page taller than the list would
// keep the newest rows out of sight.
TEST_F(HubTest, EveryRowOfAPageFitsInTheList) {
    for (int i = 0; i < 400; ++i) AppendUart(1, 100u + i, 1);
    for (int cy : {300, 700, 1200}) {
        SCOPED_TRACE(cy);
        ResizeHub(1000, cy);
        hub->RefreshMonitorList();
        const int rows = static_cast<int>(g_MonitorRowsPerPage.load());
        EXPECT_GT(rows, 0);
        EXPECT_EQ(hub->GetList()->GetItemCount(), rows);
        EXPECT_LE(rows, hub->GetList()->GetCountPerPage());
    }
}

TEST_F(HubTest, PageButtonOpensOnePageAtATimeAndCloseIsRefusedWhileRunning) {
    FakePage* kwp = Register(IDC_BUTTON_14230);
    FakePage* lin = Register(IDC_BUTTON_LIN);
    const std::vector<bool> idle = EnabledStates();

    hub->OnPageButton(IDC_BUTTON_14230);
    EXPECT_EQ(kwp->creates, 1);
    EXPECT_TRUE(kwp->WindowExists());
    EXPECT_TRUE(hub->GetPageButton(IDC_BUTTON_14230)->IsEnabled());
    EXPECT_FALSE(hub->GetPageButton(IDC_BUTTON_LIN)->IsEnabled());

    // Again: to the front, no second window.
    hub->OnPageButton(IDC_BUTTON_14230);
    EXPECT_EQ(kwp->shows, 2);
    EXPECT_EQ(kwp->creates, 1);
    const std::vector<bool> open = EnabledStates();

    g_WorkerRunning = 1;
    EXPECT_FALSE(hub->ConfirmPageClose());
    EXPECT_EQ(EnabledStates(), open);
    ASSERT_EQ(messages.Count(), 1u);
    EXPECT_EQ(messages.Messages()[0].text, "VR3526正在工作，请先停止VR3526工作");
    EXPECT_EQ(messages.Messages()[0].caption, "请先停止");

    g_WorkerRunning = 0;
    EXPECT_TRUE(hub->ConfirmPageClose());
    EXPECT_EQ(EnabledStates(), idle);
    EXPECT_TRUE(hub->GetPageButton(IDC_BUTTON_LIN)->IsEnabled());
    EXPECT_FALSE(hub->GetPageButton(IDC_BUTTON_SCI)->IsEnabled()) << "no page behind it";
    EXPECT_EQ(lin->creates, 0);
}

TEST_F(HubTest, LogicAnalyserLeavesTheButtonsAsTheyWere) {
    FakePage* logic = Register(IDC_BUTTON_LOGIC);
    Register(IDC_BUTTON_SCI);
    const std::vector<bool> before = EnabledStates();
    hub->OnPageButton(IDC_BUTTON_LOGIC);
    EXPECT_EQ(logic->shows, 1);
    EXPECT_EQ(EnabledStates(), before);
}

TEST_F(HubTest, RefreshPagesCallsEveryOpenPageInConnectOrder) {
    for (int id : kHubButtonOrder) Register(id);
    for (int id : {IDC_BUTTON_J1939, IDC_BUTTON_SCI, IDC_BUTTON_VPW, IDC_BUTTON_14230})
        static_cast<FakePage*>(hub->GetPage(id))->ShowPage(hub);
    hub->RefreshPages();
    EXPECT_EQ(refreshLog,
              (std::vector<int>{IDC_BUTTON_VPW, IDC_BUTTON_14230, IDC_BUTTON_SCI, IDC_BUTTON_J1939}));
}

TEST_F(HubTest, TimerFollowsNewRecordsAndStopsAfterTheWorkerEnds) {
    FakePage* sci = Register(IDC_BUTTON_SCI);  // a page the timer once forgot
    sci->ShowPage(hub);
    g_WorkerRunning = 1;
    hub->StartMonitorTimer();
    EXPECT_EQ(hub->m_nTimerId, 1);
    for (int i = 0; i < 5; ++i) AppendUart(i % 2, 1000u + 10 * i, 1);

    ASSERT_TRUE(PumpUntil([&] { return hub->GetList()->GetItemCount() == 5; }));
    EXPECT_EQ(hub->GetList()->GetItemText(4, 0), "5");
    // Records 1, 3, 5 were sent (red), 2 and 4 received (black).
    EXPECT_EQ(hub->GetList()->GetItemTextColour(0).GetRGB(), wxColour(255, 0, 0).GetRGB());
    EXPECT_EQ(hub->GetList()->GetItemTextColour(1).GetRGB(), wxColour(0, 0, 0).GetRGB());
    EXPECT_TRUE(hub->MonitorTimerRunning());
    EXPECT_TRUE(refreshLog.empty());

    // The worker's last record and its end in one tick: the record still shows.
    AppendUart(1, 2000, 1);
    g_WorkerRunning = 0;
    ASSERT_TRUE(PumpUntil([&] { return !hub->MonitorTimerRunning(); }));
    EXPECT_EQ(hub->GetList()->GetItemCount(), 6);
    EXPECT_EQ(hub->m_nTimerId, 0);
    EXPECT_EQ(refreshLog, std::vector<int>{IDC_BUTTON_SCI});
}

TEST_F(HubTest, FullRingStillFollowsNewRecords) {
    for (uint32_t i = 0; i < kMonitorCapacity + 10; ++i) AppendUart(1, i, 1);
    ASSERT_EQ(g_MonitorCount.load(), kMonitorCapacity);
    g_WorkerRunning = 1;
    hub->OnTimer(1);
    const int rows = hub->GetList()->GetItemCount();
    ASSERT_GT(rows, 0);
    EXPECT_EQ(hub->GetList()->GetItemText(rows - 1, 0), wxString::Format("%u", kMonitorCapacity + 10));

    AppendUart(1, 5, 1);  // the count stays at 100000
    hub->OnTimer(1);
    EXPECT_EQ(hub->GetList()->GetItemText(rows - 1, 0), wxString::Format("%u", kMonitorCapacity + 11));
}

TEST_F(HubTest, ScrollAndWheelStopAtTheEnds) {
    for (int i = 0; i < 200; ++i) AppendUart(1, i, 1);
    hub->RefreshMonitorList();
    const uint32_t page = g_MonitorRowsPerPage.load();
    ASSERT_GT(page, 10u);

    hub->ScrollByRows(1000);
    EXPECT_EQ(g_MonitorTop.load(), 200 - page);
    EXPECT_EQ(hub->GetScrollBar()->GetThumbPosition(), static_cast<int>(200 - page));
    EXPECT_EQ(hub->GetList()->GetItemText(0, 0), wxString::Format("%u", 200 - page + 1));

    wxMouseEvent up(wxEVT_MOUSEWHEEL);
    up.m_wheelRotation = 120;
    hub->OnMouseWheel(up);
    EXPECT_EQ(g_MonitorTop.load(), 200 - page - 5);

    hub->ScrollByRows(-1000);
    EXPECT_EQ(g_MonitorTop.load(), 0u);
    wxMouseEvent down(wxEVT_MOUSEWHEEL);
    down.m_wheelRotation = -120;
    hub->OnMouseWheel(down);
    EXPECT_EQ(g_MonitorTop.load(), 5u);
    EXPECT_EQ(hub->GetList()->GetItemText(0, 0), "6");

    // A turn over the rows or the header reaches the hub through the list.
    uint32_t expected = 5;
    for (wxWindow* child : hub->GetList()->GetChildren()) {
        wxMouseEvent turn(wxEVT_MOUSEWHEEL);
        turn.m_wheelRotation = -120;
        turn.SetEventObject(child);
        child->GetEventHandler()->ProcessEvent(turn);
        expected += 5;
        EXPECT_EQ(g_MonitorTop.load(), expected);
    }

    // A sideways turn (a tilted wheel, a touchpad swipe) is not a row scroll.
    std::vector<wxWindow*> targets = {hub, hub->GetList()};
    for (wxWindow* child : hub->GetList()->GetChildren()) targets.push_back(child);
    for (wxWindow* target : targets) {
        for (int rotation : {120, -120}) {
            wxMouseEvent sideways(wxEVT_MOUSEWHEEL);
            sideways.m_wheelAxis = wxMOUSE_WHEEL_HORIZONTAL;
            sideways.m_wheelRotation = rotation;
            sideways.SetEventObject(target);
            target->GetEventHandler()->ProcessEvent(sideways);
            EXPECT_EQ(g_MonitorTop.load(), expected) << target->GetName() << " " << rotation;
        }
    }
}

TEST_F(HubTest, DoubleClickPathOpensTheRowsRecord) {
    const uint8_t can[16] = {0xA0, 0x1F, 0, 0, 0x02, 0, 0xAB, 0xCD};  // standard id 7E8, 2 bytes
    AppendUart(1, 10, 1);
    AppendMonitorRecord(1, KindCan, 16, 20, can, sizeof can);
    AppendUart(0, 30, 7);
    hub->RefreshMonitorList();
    ASSERT_EQ(hub->GetList()->GetItemCount(), 3);

    for (long row = 0; row < 3; ++row) {
        auto dialog = hub->GetList()->BuildDetailDialog(row);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->GetTitle(), "Show Message Detail");
        EXPECT_EQ(dialog->Record().sequence, static_cast<uint32_t>(row + 1));
        const RecordDetail expected = DecodeRecordDetail(CopyMonitorRecord(static_cast<uint32_t>(row)));
        EXPECT_EQ(dialog->FieldText(IDC_DETAIL_SEQUENCE).utf8_string(), expected.sequence);
        EXPECT_EQ(dialog->FieldText(IDC_DETAIL_BUS).utf8_string(), expected.bus);
        EXPECT_EQ(dialog->FieldText(IDC_DETAIL_HEADER).utf8_string(), expected.header);
        EXPECT_EQ(dialog->FieldText(IDC_DETAIL_DLC).utf8_string(), expected.dlc);
    }
    auto can_dialog = hub->GetList()->BuildDetailDialog(1);
    EXPECT_EQ(can_dialog->FieldText(IDC_DETAIL_BUS), "CAN");
    EXPECT_EQ(can_dialog->FieldText(IDC_DETAIL_HEADER), " 7E8");
    EXPECT_EQ(can_dialog->FieldText(IDC_DETAIL_DIRECTION).utf8_string(), "接收");
    EXPECT_EQ(hub->GetList()->BuildDetailDialog(3), nullptr) << "no row there";
}

TEST_F(HubTest, DoubleClickOnARowShowsItsRecordModally) {
    for (int i = 0; i < 4; ++i) AppendUart(1, 10u * i, static_cast<uint8_t>(i));
    hub->RefreshMonitorList();
    CListMessage* list = hub->GetList();
    ASSERT_EQ(list->GetItemCount(), 4);
    wxWindow* rows = nullptr;
    for (wxWindow* child : list->GetChildren())
        if (!rows || child->GetSize().y > rows->GetSize().y) rows = child;
    ASSERT_NE(rows, nullptr);

    wxString shownSequence;
    wxTimer closer;
    closer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        for (wxWindow* w : wxTopLevelWindows) {
            auto* detail = dynamic_cast<CDialogShowMessageDetail*>(w);
            if (detail && detail->IsModal()) {
                shownSequence = detail->FieldText(IDC_DETAIL_SEQUENCE);
                detail->EndModal(wxID_CANCEL);
            }
        }
    });
    closer.Start(20);

    wxRect item;
    ASSERT_TRUE(list->GetItemRect(2, item));
    const wxPoint inRows = rows->ScreenToClient(list->ClientToScreen(item.GetPosition() + wxPoint(8, item.height / 2)));
    wxMouseEvent click(wxEVT_LEFT_DCLICK);
    click.SetPosition(inRows);
    click.SetEventObject(rows);
    rows->GetEventHandler()->ProcessEvent(click);
    closer.Stop();
    EXPECT_EQ(shownSequence, "3");
}

TEST_F(HubTest, DetailDialogShowsLinesWithoutCarriageReturns) {
    MonitorRecord flags{};
    flags.kind = KindErrorFlags;
    flags.sequence = 9;
    for (int i = 0; i < 5; ++i) flags.data[4 + i] = static_cast<uint8_t>(0x10 + i);
    CDialogShowMessageDetail dialog(frame, flags);
    const wxString data = dialog.FieldText(IDC_DETAIL_DATA);
    EXPECT_EQ(data.Freq('\n'), 4);
    EXPECT_EQ(data.Find('\r'), wxNOT_FOUND);
    EXPECT_EQ(dialog.FieldText(IDC_DETAIL_HEADER), "-");
    EXPECT_EQ(dialog.FieldText(IDC_DETAIL_CRC), "-");
    EXPECT_EQ(dialog.FieldText(IDC_DETAIL_BUS), "ERROR Flag");
}

TEST_F(HubTest, HexEditFiltersAndUpperCasesTypedCharacters) {
    auto* edit = new CEditHex(hub, wxID_ANY);
    struct Case {
        int key;
        bool passedOn;     // left to the control's own handling
        const char* text;  // what the handler itself wrote
    } cases[] = {
        {'a', false, "A"}, {'f', false, "F"}, {'7', true, ""},  {'C', true, ""},
        {'g', false, ""},  {'-', false, ""},  {' ', true, ""},  {8, true, ""},
        {22, true, ""},    {3, true, ""},     {1, false, ""},   {WXK_TAB, true, ""},
        {WXK_DELETE, true, ""},
    };
    for (const Case& c : cases) {
        edit->ChangeValue(wxString());
        wxKeyEvent event(wxEVT_CHAR);
        event.m_keyCode = c.key;
        event.m_uniChar = c.key;
        edit->OnChar(event);
        EXPECT_EQ(event.GetSkipped(), c.passedOn) << c.key;
        EXPECT_EQ(edit->GetValue().utf8_string(), c.text) << c.key;
    }
    for (int key : {WXK_LEFT, WXK_RIGHT, WXK_HOME, WXK_END}) {
        wxKeyEvent event(wxEVT_CHAR);
        event.m_keyCode = key;
        event.m_uniChar = WXK_NONE;
        edit->OnChar(event);
        EXPECT_TRUE(event.GetSkipped()) << key;
    }

    // A read-only field takes nothing, also not the letters the filter itself writes.
    edit->ChangeValue("12");
    edit->SetEditable(false);
    for (int key : {'a', 'f', '7'}) {
        wxKeyEvent event(wxEVT_CHAR);
        event.m_keyCode = key;
        event.m_uniChar = key;
        edit->OnChar(event);
        EXPECT_EQ(edit->GetValue(), "12") << key;
    }
}

}  // namespace
