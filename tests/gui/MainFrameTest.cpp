#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/choice.h>
#include <wx/filename.h>
#include <wx/menu.h>
#include <wx/scrolbar.h>
#include <wx/toolbar.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/CChildView.h"
#include "app/CKM5804DemoApp.h"
#include "app/CMainFrame.h"
#include "app/CSelectDeive.h"
#include "app/ResourceIds.h"
#include "device/UsbOperation.h"
#include "monitor/MonitorRing.h"
#include "monitor/ui/CDialogMainA.h"
#include "monitor/ui/CListMessage.h"
#include "platform/Message.h"
#include "testboard/testboard.h"
#include "tests/support/GuiPump.h"

namespace {

class MainFrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        tb_reset();
        g_WorkerRunning = 0;
        g_DeviceOpen = 0;
        frame = CreateMainWindow();
        ASSERT_NE(frame, nullptr);
        frame->SetDeviceChooser([this](uint32_t count) {
            offered.push_back(count);
            return choice;
        });
    }
    void TearDown() override {
        g_WorkerRunning = 0;
        if (frame) frame->Destroy();
        PumpPending();
        g_DeviceOpen = 0;
    }

    bool MenuEnabled(int resourceId) {
        frame->UpdateWindowUI(wxUPDATE_UI_RECURSE);
        return frame->GetMenuBar()->IsEnabled(WxId(resourceId));
    }

    platform::RecordingMessageSink messages;
    CMainFrame* frame = nullptr;
    int choice = 0;
    std::vector<uint32_t> offered;
};

TEST_F(MainFrameTest, StartsWithTitleHubMenuToolBarAndStatusBar) {
    EXPECT_EQ(frame->GetTitle(), "VR3526 Developer Kits V1.00");
    EXPECT_EQ(frame->GetSize(), wxSize(1300, 760));
    ASSERT_NE(frame->GetHub(), nullptr);
    EXPECT_EQ(frame->GetHub()->GetParent(), frame->GetView());
    EXPECT_TRUE(UsbLibraryLoaded());

    wxMenuBar* bar = frame->GetMenuBar();
    ASSERT_EQ(bar->GetMenuCount(), 3u);
    EXPECT_EQ(bar->GetMenuLabel(0).utf8_string(), "操作");
    EXPECT_EQ(bar->GetMenuLabel(1).utf8_string(), "查看(&V)");
    EXPECT_EQ(bar->GetMenuLabel(2).utf8_string(), "帮助(&H)");
    const std::vector<std::pair<int, const char*>> items = {
        {ID_CONNECT, "连接[&C]"},       {ID_DISCONNECT, "断开[Q]"},
        {ID_SAVE_TO_FILE, "保存到文件 "}, {ID_OPEN_FILE, "打开文件 "},
        {ID_CLEAR_ITEMS, "清空数据项"},   {ID_APP_EXIT, "退出(&X)"},
        {ID_VIEW_TOOLBAR, "工具栏(&T)"},  {ID_VIEW_STATUS_BAR, "状态栏(&S)"},
        {ID_APP_ABOUT, "关于 VR3526Kits(&A)..."}};
    for (const auto& [id, label] : items) {
        wxMenuItem* item = bar->FindItem(WxId(id));
        ASSERT_NE(item, nullptr) << id;
        EXPECT_EQ(item->GetItemLabel().utf8_string(), label);
        EXPECT_LT(WxId(id), 32767);
    }
    EXPECT_EQ(bar->FindItem(WxId(ID_OPEN_FILE))->GetHelp(), "Open a Item file");

    wxToolBar* tools = frame->GetToolBar();
    ASSERT_NE(tools, nullptr);
    for (int id : {wxID_CUT, wxID_COPY, wxID_PASTE, wxID_PRINT}) EXPECT_FALSE(tools->GetToolEnabled(id)) << id;
    ASSERT_NE(frame->GetStatusBar(), nullptr);
    EXPECT_EQ(frame->GetStatusBar()->GetFieldsCount(), 4);
}

TEST_F(MainFrameTest, MenuFollowsConnectionAndWorker) {
    EXPECT_TRUE(MenuEnabled(ID_CONNECT));
    EXPECT_FALSE(MenuEnabled(ID_DISCONNECT));
    g_DeviceOpen = 1;
    EXPECT_FALSE(MenuEnabled(ID_CONNECT));
    EXPECT_TRUE(MenuEnabled(ID_DISCONNECT));
    for (int id : {ID_SAVE_TO_FILE, ID_OPEN_FILE, ID_CLEAR_ITEMS}) EXPECT_TRUE(MenuEnabled(id)) << id;
    g_WorkerRunning = 1;
    for (int id : {ID_SAVE_TO_FILE, ID_OPEN_FILE, ID_CLEAR_ITEMS}) EXPECT_FALSE(MenuEnabled(id)) << id;
    g_DeviceOpen = 0;
}

TEST_F(MainFrameTest, ConnectWithTwoBoardsChoosingTheSecond) {
    tb_set_board_count(2);
    tb_set_chip(0x41, 0x12);
    choice = 1;
    frame->OnConnect();
    EXPECT_EQ(offered, std::vector<uint32_t>{2});
    EXPECT_EQ(frame->GetTitle(), "VR3526Kits -- Device(1) Connected. VR3526 ID: 0x41 VER: 0x12");
    EXPECT_EQ(tb_last_open_index(), 1);
    EXPECT_EQ(g_DeviceOpen.load(), 1u);
    EXPECT_EQ(messages.Count(), 0u);

    frame->OnDisconnect();
    EXPECT_EQ(frame->GetTitle(), "VR3526Kits - None Device");
    EXPECT_EQ(tb_open_pipes(), 0u);
    EXPECT_EQ(g_DeviceOpen.load(), 0u);
}

TEST_F(MainFrameTest, VersionReadFailureKeepsTheCaption) {
    tb_short_next_reply(1);
    frame->OnConnect();
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"读取版本信息失败!"});
    EXPECT_EQ(frame->GetTitle(), "VR3526 Developer Kits V1.00");
    EXPECT_EQ(g_DeviceOpen.load(), 1u);
    EXPECT_EQ(tb_open_pipes(), 2u);
}

TEST_F(MainFrameTest, NoBoardShowsTheBoxAndTheNoneCaption) {
    tb_set_board_count(0);
    frame->OnConnect();
    EXPECT_TRUE(offered.empty());
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"无法找到 MCP USB device!"});
    EXPECT_EQ(frame->GetTitle(), "VR3526Kits - None Device");
    EXPECT_EQ(tb_open_count(), 0u);
}

TEST_F(MainFrameTest, DisconnectAndCloseAreRefusedWhileAWorkerRuns) {
    frame->OnConnect();
    ASSERT_EQ(g_DeviceOpen.load(), 1u);
    const wxString connected = frame->GetTitle();
    g_WorkerRunning = 1;

    frame->OnDisconnect();
    EXPECT_EQ(tb_open_pipes(), 2u);
    EXPECT_EQ(frame->GetTitle(), connected);
    EXPECT_FALSE(frame->Close());
    PumpPending();
    EXPECT_FALSE(frame->IsBeingDeleted());
    const auto shown = messages.Messages();
    ASSERT_EQ(shown.size(), 2u);
    for (const auto& m : shown) {
        EXPECT_EQ(m.text, "VR3526正在工作，请先停止VR3526工作");
        EXPECT_EQ(m.caption, "请先停止");
    }

    g_WorkerRunning = 0;
    EXPECT_TRUE(frame->Close());
    frame = nullptr;
    PumpPending();
    EXPECT_EQ(tb_open_pipes(), 0u) << "the pipes close with the main window";
}

TEST_F(MainFrameTest, FileCommandsSaveOpenAndClearTheList) {
    CListMessage* list = frame->GetHub()->GetList();
    frame->OnSaveToFile();
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"无监控数据需要保存!"});

    const uint8_t data[2] = {0x55, 0xAA};
    for (int i = 0; i < 3; ++i) AppendMonitorRecord(1, KindUart, 2, 100u + i, data, 2);
    const std::string base = wxFileName::CreateTempFileName("shell").utf8_string();
    frame->SaveToPath(base, 0);
    ASSERT_TRUE(wxFileExists(base + ".rec"));

    frame->OnClearItems();
    EXPECT_EQ(g_MonitorCount.load(), 0u);
    EXPECT_EQ(list->GetItemCount(), 0);

    frame->OpenPath(base + ".rec");
    EXPECT_EQ(g_MonitorCount.load(), 3u);
    EXPECT_EQ(list->GetItemCount(), 3);
    EXPECT_EQ(frame->GetHub()->GetScrollBar()->GetRange(), 3);

    messages.Clear();
    frame->OpenPath(base + ".missing");
    frame->OpenPath(base);  // an empty file: no magic
    EXPECT_EQ(messages.Texts(), (std::vector<std::string>{"打开文件出错！", "文件格式错误！"}));
    EXPECT_EQ(g_MonitorCount.load(), 3u);

    frame->SaveToPath(base + ".txt", 1);
    EXPECT_TRUE(wxFileExists(base + ".txt"));
    for (const char* suffix : {"", ".rec", ".txt"}) std::remove((base + suffix).c_str());
    ResetMonitorRing();
}

// The save dialog asked about the name as typed; a name that gains its extension afterwards
// may hit another file, which is then only replaced when the user agrees.
TEST_F(MainFrameTest, SaveAsksBeforeReplacingAFileThatTheExtensionLeadsTo) {
    const uint8_t data[2] = {0x55, 0xAA};
    AppendMonitorRecord(1, KindUart, 2, 100, data, 2);
    const std::string base = wxFileName::CreateTempFileName("replace").utf8_string();
    std::vector<std::string> asked;
    bool agree = false;
    frame->SetReplaceConfirmer([&](const std::string& path) {
        asked.push_back(path);
        return agree;
    });
    auto contents = [](const std::string& path) {
        std::string text;
        if (FILE* f = std::fopen(path.c_str(), "rb")) {
            char buf[64];
            size_t n;
            while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) text.append(buf, n);
            std::fclose(f);
        }
        return text;
    };
    auto writeOld = [](const std::string& path) {
        FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fputs("old", f);
        std::fclose(f);
    };

    for (const auto& [filter, extension] : {std::pair<int, const char*>{0, ".rec"}, {1, ".txt"}}) {
        SCOPED_TRACE(extension);
        const std::string target = base + extension;
        writeOld(target);
        asked.clear();
        agree = false;
        frame->SaveToPath(base, filter);
        EXPECT_EQ(asked, std::vector<std::string>{target});
        EXPECT_EQ(contents(target), "old");

        agree = true;
        frame->SaveToPath(base, filter);
        EXPECT_NE(contents(target), "old");

        // The name as chosen in the dialog was asked about there already.
        writeOld(target);
        asked.clear();
        agree = false;
        frame->SaveToPath(target, filter);
        EXPECT_TRUE(asked.empty());
        EXPECT_NE(contents(target), "old");
        std::remove(target.c_str());
    }
    // Nothing there: nothing to ask.
    asked.clear();
    frame->SaveToPath(base, 0);
    EXPECT_TRUE(asked.empty());
    EXPECT_TRUE(messages.Texts().empty());
    for (const char* suffix : {"", ".rec"}) std::remove((base + suffix).c_str());
    ResetMonitorRing();
}

TEST_F(MainFrameTest, DeviceChoiceListsEveryBoardAndTakesTheSelection) {
    tb_set_board_count(3);
    g_DeviceNumber = 7;
    CSelectDeive dialog(frame);
    EXPECT_EQ(dialog.GetTitle(), "Please Select Device Number");
    wxChoice* choiceCtrl = dialog.GetDeviceChoice();
    EXPECT_EQ(choiceCtrl->GetId(), 1026);
    ASSERT_EQ(choiceCtrl->GetCount(), 3u);
    for (unsigned i = 0; i < 3; ++i)
        EXPECT_EQ(choiceCtrl->GetString(i), wxString::Format("VR3526 USB Device %u", i));
    EXPECT_EQ(choiceCtrl->GetSelection(), 0);
    EXPECT_EQ(g_DeviceNumber.load(), 0u);

    choiceCtrl->SetSelection(2);
    dialog.OnSelchangeDevice();
    EXPECT_EQ(g_DeviceNumber.load(), 2u);
}

}  // namespace
