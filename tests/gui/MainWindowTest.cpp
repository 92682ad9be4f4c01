#include <sys/stat.h>
#include <unistd.h>
#include <gtest/gtest.h>
#include <wx/choice.h>
#include <wx/filename.h>
#include <wx/menu.h>
#include <wx/scrolbar.h>
#include <wx/timer.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

#include "app/CChildView.h"
#include "app/CKM5804DemoApp.h"
#include "app/CMainFrame.h"
#include "app/CSelectDeive.h"
#include "app/ResourceIds.h"
#include "monitor/MonitorRing.h"
#include "monitor/ui/CDialogShowMessageDetail.h"
#include "monitor/ui/CEditHex.h"
#include "pages/kline/ui/CDialog14230.h"
#include "platform/ui/WxMessageSink.h"
#include "tests/support/BoardLog.h"
#include "tests/support/PageWindowFixture.h"

namespace {

using Texts = std::vector<std::string>;

class FakePage : public HubPage {
public:
    ~FakePage() override { if (window) window->Destroy(); }
    bool WindowExists() const override { return window != nullptr; }
    void ShowPage(CDialogMainA*) override {
        if (!window) window = new wxDialog(nullptr, wxID_ANY, "page"), ++creates;
        window->Show();
    }
    void RefreshDeviceStatus() override { ++refreshes; }
    wxDialog* window = nullptr;
    int creates = 0, refreshes = 0;
};

void AppendRecord(uint8_t direction, uint32_t timeMs, uint8_t kind = KindUart) {
    const uint8_t data[9] = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88, 0x99};
    AppendMonitorRecord(direction, kind, 3, timeMs, data, sizeof data);
}

std::string Contents(const std::string& path) {
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

// The main window as the program starts it, on the simulated board.
class GuiTest : public ::testing::Test {
protected:
    void SetUp() override {
        tb_reset();
        g_WorkerRunning = 0;
        g_DeviceOpen = 0;
        frame = CreateMainWindow();
        ASSERT_NE(frame, nullptr);
        hub = frame->GetHub();
        // Picks the last board.
        frame->SetDeviceChooser([](uint32_t count) { return static_cast<int>(count) - 1; });
        PumpPending();
    }
    void TearDown() override {
        g_WorkerRunning = 0;
        if (frame) frame->Destroy();
        PumpPending();
        g_DeviceOpen = 0;
        ResetMonitorRing();
    }
    void ResizeHub(int cy) {
        hub->SetSize(0, 0, 1000, cy);
        ASSERT_TRUE(PumpUntil([&] { return hub->GetClientSize() == wxSize(1000, cy); }));
        hub->SendSizeEvent();
        const uint32_t rows = HubRowsPerPage(cy, hub->RowPixels());
        ASSERT_TRUE(PumpUntil([&] { return g_MonitorRowsPerPage.load() == rows; }));
    }
    FakePage* Register(int id) {
        auto* page = new FakePage;
        hub->RegisterPage(id, std::unique_ptr<HubPage>(page));
        return page;
    }
    std::vector<bool> EnabledStates() const {
        std::vector<bool> states;
        for (int id : kHubButtonOrder) states.push_back(hub->GetPageButton(id)->IsEnabled());
        return states;
    }
    long Rows() const { return hub->GetList()->GetItemCount(); }
    bool MenuEnabled(int resourceId) {
        frame->UpdateWindowUI(wxUPDATE_UI_RECURSE);
        return frame->GetMenuBar()->IsEnabled(WxId(resourceId));
    }

    platform::RecordingMessageSink messages;
    CMainFrame* frame = nullptr;
    CDialogMainA* hub = nullptr;
};

// A page taller than the list would keep the newest rows, which the list follows, out of sight.
TEST_F(GuiTest, EveryRowOfAPageFitsInTheListAndTooLowShowsNone) {
    ResizeHub(700);
    EXPECT_EQ(hub->GetList()->GetRect(), wxRect(5, 0, 970, 610));
    for (int i = 0; i < 400; ++i) AppendRecord(1, 100u + i);
    for (int cy : {300, 700, 1200, 131}) {
        SCOPED_TRACE(cy);
        ResizeHub(cy);
        EXPECT_EQ(Rows(), static_cast<long>(g_MonitorRowsPerPage.load()));
        EXPECT_EQ(Rows() > 0, cy > 131);
        EXPECT_LE(Rows(), hub->GetList()->GetCountPerPage());
    }
}

TEST_F(GuiTest, PageButtonOpensOnePageOnceAndCloseIsRefusedWhileRunning) {
    FakePage* kwp = Register(IDC_BUTTON_14230);
    FakePage* logic = Register(IDC_BUTTON_LOGIC);
    Register(IDC_BUTTON_LIN);
    const std::vector<bool> idle = EnabledStates();

    hub->OnPageButton(IDC_BUTTON_LOGIC);  // runs modally: the buttons stay
    EXPECT_EQ(logic->creates, 1);
    EXPECT_EQ(EnabledStates(), idle);

    hub->OnPageButton(IDC_BUTTON_14230);
    hub->OnPageButton(IDC_BUTTON_14230);  // again: to the front, no second window
    EXPECT_EQ(kwp->creates, 1);
    EXPECT_TRUE(hub->GetPageButton(IDC_BUTTON_14230)->IsEnabled());
    EXPECT_FALSE(hub->GetPageButton(IDC_BUTTON_LIN)->IsEnabled());
    const std::vector<bool> open = EnabledStates();

    g_WorkerRunning = 1;
    EXPECT_FALSE(hub->ConfirmPageClose());
    EXPECT_EQ(EnabledStates(), open);
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"VR3526正在工作，请先停止VR3526工作"});

    g_WorkerRunning = 0;
    EXPECT_TRUE(hub->ConfirmPageClose());
    EXPECT_EQ(EnabledStates(), idle);
}

TEST_F(GuiTest, TimerFollowsNewRecordsAndStopsAndRefreshesOpenPagesWhenTheWorkerEnds) {
    FakePage* sci = Register(IDC_BUTTON_SCI);
    FakePage* lin = Register(IDC_BUTTON_LIN);
    sci->ShowPage(hub);
    g_WorkerRunning = 1;
    hub->StartMonitorTimer();
    for (int i = 0; i < 5; ++i) AppendRecord(i % 2, 1000u + 10 * i);

    ASSERT_TRUE(PumpUntil([&] { return Rows() == 5; }));
    EXPECT_EQ(hub->GetList()->GetItemText(4, 0), "5");
    EXPECT_TRUE(hub->MonitorTimerRunning());
    EXPECT_EQ(sci->refreshes, 0);

    // The worker's last record and its end in one tick: the record still shows.
    AppendRecord(1, 2000);
    g_WorkerRunning = 0;
    ASSERT_TRUE(PumpUntil([&] { return !hub->MonitorTimerRunning(); }));
    EXPECT_EQ(Rows(), 6);
    EXPECT_EQ(hub->m_nTimerId, 0);
    EXPECT_EQ(sci->refreshes, 1);
    EXPECT_EQ(lin->refreshes, 0) << "never opened";
}

TEST_F(GuiTest, FullRingStillFollowsNewRecords) {
    for (uint32_t i = 0; i < kMonitorCapacity + 10; ++i) AppendRecord(1, i);
    g_WorkerRunning = 1;
    for (uint32_t last : {kMonitorCapacity + 10, kMonitorCapacity + 11}) {
        if (last > kMonitorCapacity + 10) AppendRecord(1, 5);
        ASSERT_EQ(g_MonitorCount.load(), kMonitorCapacity);
        hub->OnTimer(kMonitorTimerId);
        ASSERT_GT(Rows(), 0);
        EXPECT_EQ(hub->GetList()->GetItemText(Rows() - 1, 0), wxString::Format("%u", last));
    }
}

TEST_F(GuiTest, ScrollAndWheelStopAtTheEndsAndTheListPassesTheWheelOn) {
    for (int i = 0; i < 200; ++i) AppendRecord(1, i);
    hub->RefreshMonitorList();
    const uint32_t last = 200 - g_MonitorRowsPerPage.load();
    auto turn = [](wxWindow* target, int rotation, wxMouseWheelAxis axis = wxMOUSE_WHEEL_VERTICAL) {
        wxMouseEvent event(wxEVT_MOUSEWHEEL);
        event.m_wheelRotation = rotation;
        event.m_wheelAxis = axis;
        target->GetEventHandler()->ProcessEvent(event);
        return g_MonitorTop.load();
    };
    hub->ScrollByRows(1000);
    EXPECT_EQ(g_MonitorTop.load(), last);
    EXPECT_EQ(hub->GetScrollBar()->GetThumbPosition(), static_cast<int>(last));
    EXPECT_EQ(hub->GetList()->GetItemText(0, 0), wxString::Format("%u", last + 1));
    EXPECT_EQ(turn(hub, 120), last - 5);
    hub->ScrollByRows(-1000);
    EXPECT_EQ(turn(hub, 120), 0u);
    // The rows and the header of the list; a sideways turn never scrolls rows.
    uint32_t expected = 0;
    for (wxWindow* child : hub->GetList()->GetChildren()) {
        EXPECT_EQ(turn(child, -120), expected += 5);
        EXPECT_EQ(turn(child, 120, wxMOUSE_WHEEL_HORIZONTAL), expected);
    }
    EXPECT_EQ(hub->GetList()->GetItemText(0, 0), wxString::Format("%u", expected + 1));
}

TEST_F(GuiTest, DoubleClickOnARowShowsItsRecord) {
    for (uint8_t kind : {KindUart, KindUart, KindErrorFlags, KindUart}) AppendRecord(1, 10, kind);
    hub->RefreshMonitorList();
    CListMessage* list = hub->GetList();
    wxWindow* rows = nullptr;  // the inner window that draws the rows: the tallest child
    for (wxWindow* child : list->GetChildren())
        if (!rows || child->GetSize().y > rows->GetSize().y) rows = child;
    ASSERT_NE(rows, nullptr);

    wxString sequence, bus, data;
    wxTimer closer;
    closer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        for (wxWindow* w : wxTopLevelWindows)
            if (auto* detail = dynamic_cast<CDialogShowMessageDetail*>(w); detail && detail->IsModal()) {
                sequence = detail->FieldText(IDC_DETAIL_SEQUENCE);
                bus = detail->FieldText(IDC_DETAIL_BUS);
                data = detail->FieldText(IDC_DETAIL_DATA);
                detail->EndModal(wxID_CANCEL);
            }
    });
    closer.Start(20);
    wxRect item;
    ASSERT_TRUE(list->GetItemRect(2, item));
    wxMouseEvent click(wxEVT_LEFT_DCLICK);
    click.SetPosition(rows->ScreenToClient(list->ClientToScreen(item.GetPosition() + wxPoint(8, item.height / 2))));
    click.SetEventObject(rows);
    rows->GetEventHandler()->ProcessEvent(click);
    closer.Stop();

    EXPECT_EQ(sequence, "3");
    EXPECT_EQ(bus, "ERROR Flag");
    EXPECT_EQ(data.Freq('\n'), 4);
    EXPECT_EQ(data.Find('\r'), wxNOT_FOUND) << "a text control shows CR as a glyph";
    EXPECT_EQ(list->BuildDetailDialog(4), nullptr) << "no row there";
}

// A page of the list as the user sees it: the eight columns of every row and its colours.
TEST_F(GuiTest, ListPageShowsEveryColumnAndRowColour) {
    using Cells = std::array<const char*, 8>;
    const wxColour black(0, 0, 0), red(255, 0, 0), white(255, 255, 255), pink(255, 220, 220);
    const std::string j1850 = "VPW: 68 6A F1 01 " + std::string(22, ' ') + "CRC:C4";
    const struct { uint8_t direction, kind; uint16_t word; uint32_t timeMs; std::vector<uint8_t> data; Cells cells; wxColour text, background; } rows[] = {
        {0, KindUart, 0x0003, 0xFFFFFFFA, {0x81, 0x10, 0xF1}, {"1", "发送", "-6", " +0", "UART", "3", "81 10 F1 ", " "}, red, white},
        {1, KindUart, 0x0802, 4, {0x12, 0xAB}, {"2", "接收", "4", " +10", "UART", "2", "12 AB ", " CS:1"}, black, white},
        {1, KindErrorFlags, 0, 4, {0, 0, 0, 0x30, 1, 2, 3, 4, 5}, {"3", "接收", "4", " +0", "-", "-", "ERROR FLAG:01 02 03 04 05 ", ""}, black, pink},
        {0, KindErrorFlags, 0, 1, {0, 0, 0, 0x30, 1, 2, 3, 4, 5}, {"4", "发送", "1", " +-3", "-", "-", "ERROR FLAG:01 02 03 04 05 ", ""}, black, pink},
        {1, KindCan, 0, 2000000000, {0xA0, 0x1F, 0, 0, 0x08, 0, 0x02, 0x01, 0x0C}, {"5", "接收", "2000000000", " +1999999999", "CAN", "8", "ID:      7E8    DATA: 02 01 0C 00 00 00 00 00 ", ""}, black, white},
        {0, KindJ1850, 0, 0x80000000, {0, 0x05, 0, 0x20, 0x68, 0x6A, 0xF1, 0x01, 0xC4}, {"6", "发送", "-2147483648", " +147483648", "J1850", "5(1)", j1850.c_str(), ""}, red, white},
        {1, 7, 0, 0x80000000, {1, 2, 3}, {"7", "接收", "-2147483648", " +0", "-", "-", "-", ""}, black, white},
    };
    const Cells titles = {" 序号", "方向", "系统时间(ms)", " 相对时间", "总线", "长度(数据)", "    数据", " 状态"};
    const int widths[] = {60, 60, 120, 100, 60, 80, 550, 200};
    ResizeHub(700);
    for (const auto& r : rows) {
        std::vector<uint8_t> record(16, 0);
        std::copy(r.data.begin(), r.data.end(), record.begin());
        AppendMonitorRecord(r.direction, r.kind, r.word, r.timeMs, record.data(), record.size());
    }
    hub->RefreshMonitorList();
    CListMessage* list = hub->GetList();
    ASSERT_EQ(list->GetColumnCount(), 8);
    for (int c = 0; c < 8; ++c) {
        wxListItem column;
        column.SetMask(wxLIST_MASK_TEXT | wxLIST_MASK_WIDTH);
        ASSERT_TRUE(list->GetColumn(c, column));
        EXPECT_EQ(column.GetText().utf8_string(), titles[c]);
        EXPECT_EQ(column.GetWidth(), widths[c]) << c;
    }
    ASSERT_EQ(Rows(), static_cast<long>(std::size(rows)));
    for (long i = 0; i < Rows(); ++i) {
        SCOPED_TRACE(i);
        for (int c = 0; c < 8; ++c) EXPECT_EQ(list->GetItemText(i, c).utf8_string(), rows[i].cells[c]) << c;
        EXPECT_EQ(list->GetItemTextColour(i), rows[i].text);
        EXPECT_EQ(list->GetItemBackgroundColour(i), rows[i].background);
    }
}

TEST_F(GuiTest, HexEditFiltersAndUpperCasesTypedCharacters) {
    auto* edit = new CEditHex(hub, wxID_ANY);
    // passedOn: left to the control's own handling; text: what the filter itself wrote.
    struct Case { int key, unicode; bool editable, passedOn; const char* text; } cases[] = {
        {'a', 'a', true, false, "A"}, {'f', 'f', true, false, "F"}, {'7', '7', true, true, ""},
        {'C', 'C', true, true, ""},   {'g', 'g', true, false, ""},  {'-', '-', true, false, ""},
        {' ', ' ', true, true, ""},   {8, 8, true, true, ""},       {22, 22, true, true, ""},
        {1, 1, true, false, ""},      {WXK_TAB, WXK_TAB, true, true, ""}, {WXK_DELETE, WXK_DELETE, true, true, ""},
        {WXK_LEFT, WXK_NONE, true, true, ""}, {'a', 'a', false, true, ""},  // read-only: no upper case either
    };
    for (const Case& c : cases) {
        edit->ChangeValue(wxString());
        edit->SetEditable(c.editable);
        wxKeyEvent event(wxEVT_CHAR);
        event.m_keyCode = c.key;
        event.m_uniChar = c.unicode;
        edit->OnChar(event);
        EXPECT_EQ(event.GetSkipped(), c.passedOn) << c.key;
        EXPECT_EQ(edit->GetValue().utf8_string(), c.text) << c.key;
    }
}

TEST_F(GuiTest, StartsWithCaptionHubAndMenu) {
    EXPECT_EQ(frame->GetTitle(), "VR3526 Developer Kits V1.00");
    ASSERT_NE(hub, nullptr);
    EXPECT_EQ(hub->GetParent(), frame->GetView());
    EXPECT_TRUE(UsbLibraryLoaded());

    wxMenuBar* bar = frame->GetMenuBar();
    ASSERT_EQ(bar->GetMenuCount(), 3u);
    EXPECT_EQ(bar->GetMenuLabel(0).utf8_string() + bar->GetMenuLabel(1).utf8_string() + bar->GetMenuLabel(2).utf8_string(), "操作查看(&V)帮助(&H)");
    const std::vector<std::pair<int, const char*>> items = {{ID_CONNECT, "连接[&C]"}, {ID_DISCONNECT, "断开[Q]"}, {ID_SAVE_TO_FILE, "保存到文件 "},
        {ID_OPEN_FILE, "打开文件 "}, {ID_CLEAR_ITEMS, "清空数据项"}, {ID_APP_EXIT, "退出(&X)"}, {ID_VIEW_TOOLBAR, "工具栏(&T)"}, {ID_VIEW_STATUS_BAR, "状态栏(&S)"}, {ID_APP_ABOUT, "关于 VR3526Kits(&A)..."}};
    for (const auto& [id, label] : items) {
        const wxMenuItem* item = bar->FindItem(WxId(id));
        EXPECT_EQ(item ? item->GetItemLabel().utf8_string() : "", label) << id;
    }

    // Connect or disconnect by the connection; the file commands not while a worker runs.
    EXPECT_TRUE(MenuEnabled(ID_CONNECT));
    EXPECT_FALSE(MenuEnabled(ID_DISCONNECT));
    g_DeviceOpen = 1;
    EXPECT_FALSE(MenuEnabled(ID_CONNECT));
    EXPECT_TRUE(MenuEnabled(ID_DISCONNECT));
    for (int running : {0, 1}) {
        g_WorkerRunning = running;
        for (int id : {ID_SAVE_TO_FILE, ID_OPEN_FILE, ID_CLEAR_ITEMS}) EXPECT_EQ(MenuEnabled(id), !running) << id;
    }
    g_DeviceOpen = 0;
}

TEST_F(GuiTest, ConnectShowsTheChipAndAWorkerRefusesDisconnectAndClose) {
    tb_set_board_count(2);
    tb_set_chip(0x41, 0x12);
    frame->OnConnect();
    EXPECT_EQ(frame->GetTitle(), "VR3526Kits -- Device(1) Connected. VR3526 ID: 0x41 VER: 0x12");

    g_WorkerRunning = 1;
    frame->OnDisconnect();  // refused: the connection's own test checks the pipes stay
    EXPECT_FALSE(frame->Close());
    PumpPending();
    EXPECT_FALSE(frame->IsBeingDeleted());
    EXPECT_EQ(messages.Texts(), Texts(2, "VR3526正在工作，请先停止VR3526工作"));

    g_WorkerRunning = 0;
    frame->OnDisconnect();
    EXPECT_EQ(frame->GetTitle(), "VR3526Kits - None Device");
    EXPECT_EQ(tb_open_pipes(), 0u);
    frame->OnConnect();
    EXPECT_TRUE(frame->Close());
    frame = nullptr;
    PumpPending();
    EXPECT_EQ(tb_open_pipes(), 0u) << "the pipes close with the main window";
}

TEST_F(GuiTest, SaveOpenAndClearTheList) {
    CListMessage* list = hub->GetList();
    frame->OnSaveToFile();
    EXPECT_EQ(messages.Texts(), Texts{"无监控数据需要保存!"});

    const uint8_t data[2] = {0x55, 0xAA};
    for (int i = 0; i < 3; ++i) AppendMonitorRecord(1, KindUart, 2, 100u + i, data, 2);
    const std::string base = wxFileName::CreateTempFileName("shell").utf8_string();
    frame->SaveToPath(base, 0);
    frame->SaveToPath(base, 1);
    EXPECT_NE(Contents(base + ".txt"), "");

    frame->OnClearItems();
    EXPECT_EQ(g_MonitorCount.load(), 0u);
    EXPECT_EQ(list->GetItemCount(), 0);
    frame->OpenPath(base + ".rec");
    EXPECT_EQ(g_MonitorCount.load(), 3u);
    EXPECT_EQ(list->GetItemCount(), 3);
    EXPECT_EQ(hub->GetScrollBar()->GetRange(), 3);

    messages.Clear();
    frame->OpenPath(base + ".missing");
    frame->OpenPath(base);  // empty: no magic
    EXPECT_EQ(messages.Texts(), (Texts{"打开文件出错！", "文件格式错误！"}));
    EXPECT_EQ(g_MonitorCount.load(), 3u);

    // The dialog asked about the name as chosen; one the extension leads to is asked about here.
    std::vector<std::string> asked;
    bool agree = false;
    frame->SetReplaceConfirmer([&](const std::string& path) { return asked.push_back(path), agree; });
    std::ofstream(base + ".rec") << "old";
    frame->SaveToPath(base, 0);
    EXPECT_EQ(asked, Texts{base + ".rec"});
    EXPECT_EQ(Contents(base + ".rec"), "old");
    agree = true;
    frame->SaveToPath(base, 0);
    EXPECT_NE(Contents(base + ".rec"), "old");
    EXPECT_EQ(messages.Count(), 2u) << "saves succeed silently";
    // A name that ends on a pipe: each format's box at once, the pipe left as it was.
    for (const char* suffix : {"", ".rec", ".txt"}) std::remove((base + suffix).c_str());
    ASSERT_EQ(mkfifo((base + ".rec").c_str(), 0644), 0);
    ASSERT_EQ(mkfifo((base + ".txt").c_str(), 0644), 0);
    messages.Clear();
    alarm(5);  // a save that blocks ends the test instead of hanging it
    frame->SaveToPath(base + ".rec", 0);
    frame->SaveToPath(base + ".txt", 1);
    alarm(0);
    EXPECT_EQ(messages.Texts(), (Texts{"Save data record file error!", "Save Txt  file error!"}));
    struct stat st {};
    EXPECT_TRUE(stat((base + ".rec").c_str(), &st) == 0 && S_ISFIFO(st.st_mode));
    for (const char* suffix : {".rec", ".txt"}) std::remove((base + suffix).c_str());
}

// Every register read comes back with two bytes (a failure) while polls still answer.
void ShortRegisterReplies(void*, const uint8_t* packet, unsigned) {
    if (packet[0] == CmdReadRegister) tb_short_next_reply(2);
}

uint32_t LoggedTime(unsigned index) {
    uint32_t time = 0;
    tb_log_packet(index, nullptr, 0, &time);
    return time;
}

// The worker's boxes as the user sees them.
std::vector<platform::WxWorkerBox*> WorkerBoxes() {
    std::vector<platform::WxWorkerBox*> boxes;
    for (wxWindow* window : wxTopLevelWindows)
        if (auto* box = dynamic_cast<platform::WxWorkerBox*>(window); box && !box->IsBeingDeleted()) boxes.push_back(box);
    return boxes;
}

Texts WorkerBoxTexts() {
    Texts texts;
    for (platform::WxWorkerBox* box : WorkerBoxes()) texts.push_back(box->Text());
    return texts;
}

// A frame waits for the engine while every register read fails, for a second of passes: one
// box while nobody answers it, the frame still held back, and the page's Stop still usable.
TEST_F(GuiTest, AFailingRegisterReadShowsOneBoxAndStopStillWorks) {
    platform::WxMessageSink boxes;
    const platform::ScopedMessageSink scope(&boxes);
    frame->OnConnect();
    hub->OnPageButton(IDC_BUTTON_14230);
    auto* page = ShownWindow<CDialog14230>();
    ASSERT_NE(page, nullptr);
    tb_set_read_latency(1);  // a real board's pace
    tb_set_responder(ShortRegisterReplies, nullptr);
    ASSERT_NO_FATAL_FAILURE(ClickButton(page, IDC_14230_START));
    const unsigned sendAt = tb_log_count();
    ASSERT_NO_FATAL_FAILURE(ClickButton(page, IDC_14230_SEND));
    const int firstRead = WaitForPacket(IsRead31, sendAt);
    ASSERT_GE(firstRead, 0);
    ASSERT_TRUE(PumpUntil([&] { return LoggedTime(tb_log_count() - 1) >= LoggedTime(firstRead) + 1000; }, std::chrono::seconds(30)));
    PumpPending();
    EXPECT_EQ(WorkerBoxTexts(), Texts{"设备出现通信错误停止!"});
    EXPECT_EQ(g_TxPending.load(), 1u);
    EXPECT_LT(WaitForPacket(IsEngineFrame, sendAt, 0), 0) << "the frame went out";

    EXPECT_TRUE(page->IsEnabled()) << "the box must leave the page usable";
    ASSERT_NO_FATAL_FAILURE(ClickButton(page, IDC_14230_STOP));
    EXPECT_EQ(g_WorkerRunning.load(), 0u);
    EXPECT_FALSE(g_WorkerThread.HasThread());
    EXPECT_TRUE(IsStop(LoggedPacket(tb_log_count() - 1)));

    // Another text shows beside the box that is still up; OK closes each.
    ASSERT_NO_FATAL_FAILURE(ClickButton(page, IDC_14230_START));
    tb_set_fault(1);
    ASSERT_TRUE(PumpUntil([&] { return WorkerBoxes().size() == 2; }));
    EXPECT_EQ(WorkerBoxTexts(), (Texts{"设备出现通信错误停止!", "VR3526故障保护动作，设备停止!"}));
    g_WorkerThread.JoinEnded();
    for (platform::WxWorkerBox* box : WorkerBoxes()) ClickButton(box, wxID_OK);
    PumpPending();
    EXPECT_TRUE(WorkerBoxes().empty());
}

// Esc on every page presses its "退出": refused while a worker runs, else the page goes.
TEST_F(GuiTest, EscOnEveryPageActsAsItsExitButton) {
    const std::vector<bool> idle = EnabledStates();
    int pages = 0;
    for (int id : kHubButtonOrder) {
        if (id == IDC_BUTTON_LOGIC) continue;  // modal, no 退出 of its own
        hub->OnPageButton(id);
        wxDialog* page = nullptr;
        for (wxWindow* window : wxTopLevelWindows)
            if (auto* dialog = dynamic_cast<wxDialog*>(window); dialog && dialog->IsShown()) page = dialog;
        if (!page) continue;
        ++pages;
        for (uint32_t running : {1u, 0u}) {
            g_WorkerRunning = running;
            messages.Clear();
            wxKeyEvent esc(wxEVT_CHAR_HOOK);
            esc.m_keyCode = WXK_ESCAPE;
            page->ProcessWindowEvent(esc);
            EXPECT_EQ(messages.Count(), running) << id;
            EXPECT_EQ(page->IsShown(), running != 0) << id;
        }
        EXPECT_EQ(EnabledStates(), idle) << id;
    }
    EXPECT_GT(pages, 1);
}

TEST_F(GuiTest, DeviceChoiceListsEveryBoardAndTakesTheSelection) {
    tb_set_board_count(3);
    CSelectDeive dialog(frame);
    wxChoice* choice = dialog.GetDeviceChoice();
    ASSERT_EQ(choice->GetCount(), 3u);
    for (unsigned i = 0; i < 3; ++i) EXPECT_EQ(choice->GetString(i), wxString::Format("VR3526 USB Device %u", i));
    EXPECT_EQ(choice->GetSelection(), 0);
    choice->SetSelection(2);
    dialog.OnSelchangeDevice();
    EXPECT_EQ(g_DeviceNumber.load(), 2u);
    // Wide enough for "Please Select Device Number" in a title bar beside its buttons.
    EXPECT_EQ(dialog.GetTitle(), "Please Select Device Number");
    EXPECT_GE(dialog.GetSize().x, dialog.GetTextExtent(dialog.GetTitle()).x + 100);
}

}  // namespace
