// One box per text and caption while it is up, through the recording sink the core tests use
// and through the wx sink that posts a worker's box to the UI thread.
#include <gtest/gtest.h>
#include <wx/app.h>

#include <string>
#include <thread>
#include <vector>

#include "platform/Message.h"
#include "platform/ui/WxMessageSink.h"
#include "tests/support/GuiPump.h"

namespace {

using platform::ShowMessage;
using Texts = std::vector<std::string>;

TEST(MessageBoxes, ARepeatOfABoxThatIsUpIsDropped) {
    struct Step {
        const char* text;
        const char* caption;  // nullptr: the user answers every box that is up
    };
    const struct { const char* name; bool hold; std::vector<Step> steps; Texts shown; } cases[] = {
        {"repeat while up", true, {{"a", ""}, {"a", ""}, {"a", ""}}, {"a"}},
        {"other caption", true, {{"a", ""}, {"a", "x"}, {"a", "x"}}, {"a", "a"}},
        {"other text", true, {{"a", "x"}, {"b", "x"}, {"a", "x"}}, {"a", "b"}},
        {"shown again once answered", true, {{"a", ""}, {nullptr, nullptr}, {"a", ""}}, {"a", "a"}},
        {"answered at once", false, {{"a", ""}, {"a", ""}}, {"a", "a"}},
    };
    for (const auto& c : cases) {
        platform::RecordingMessageSink messages;
        messages.HoldBoxes(c.hold);
        for (const Step& s : c.steps) {
            if (s.text)
                ShowMessage(s.text, s.caption);
            else
                messages.CloseBoxes();
        }
        EXPECT_EQ(messages.Texts(), c.shown) << c.name;
    }
}

Texts g_shown;
std::vector<platform::OpenBox> g_up;  // posted boxes nobody has closed yet

void ShowModal(const platform::Message& m) { g_shown.push_back(m.text); }
void ShowPosted(const platform::Message& m, platform::OpenBox box) {
    g_shown.push_back(m.text);
    g_up.push_back(std::move(box));
}

// A worker's box is up from its post until it is closed; one on the UI thread until it returns.
TEST(MessageBoxes, AWorkersBoxIsUpFromItsPostUntilItIsClosed) {
    platform::WxMessageSink sink(ShowModal, ShowPosted);
    const platform::ScopedMessageSink scope(&sink);
    auto fromWorker = [](const Texts& texts) {
        std::thread([&] { for (const std::string& t : texts) ShowMessage(t); }).join();
    };
    fromWorker({"a", "a", "b", "a"});
    EXPECT_TRUE(g_shown.empty()) << "nothing is shown on the worker";
    EXPECT_TRUE(PumpUntil([] { return g_shown.size() >= 2; }));
    fromWorker({"a"});
    ShowMessage("a");
    ShowMessage("c");
    ShowMessage("c");
    PumpPending();
    EXPECT_EQ(g_shown, (Texts{"a", "b", "c", "c"}));
    g_up.clear();
    fromWorker({"a"});
    EXPECT_TRUE(PumpUntil([] { return g_shown.size() >= 5; }));
    EXPECT_EQ(g_shown.back(), "a");
    g_up.clear();
}

// A worker's status reaches windows through PostToUi; wx may only be touched on the UI thread.
TEST(UiPoster, WhatAWorkerPostsRunsOnTheUiThread) {
    const std::thread::id ui = std::this_thread::get_id();
    std::thread::id ranOn;
    std::thread worker([&] { platform::PostToUi([&] { ranOn = std::this_thread::get_id(); }); });
    worker.join();
    ASSERT_TRUE(PumpUntil([&] { return ranOn != std::thread::id(); }));
    EXPECT_EQ(ranOn, ui);
}

}  // namespace
