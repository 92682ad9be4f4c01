// One box per text and caption while it is up, through the recording sink the core tests use
// and through the wx sink that posts a worker's box to the UI thread.
#include <gtest/gtest.h>
#include <wx/app.h>

#include <mutex>
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

std::mutex g_boxesMutex;
Texts g_boxes;

void RecordBox(const platform::Message& m) {
    std::lock_guard<std::mutex> lock(g_boxesMutex);
    g_boxes.push_back(m.text);
}

Texts Boxes() {
    std::lock_guard<std::mutex> lock(g_boxesMutex);
    return g_boxes;
}

// A box posted by a worker counts as up until the UI thread has shown and closed it.
TEST(MessageBoxes, AWorkersBoxIsUpFromItsPostUntilItIsClosed) {
    platform::WxMessageSink sink(RecordBox);
    platform::MessageSink* previous = platform::GetMessageSink();
    platform::SetMessageSink(&sink);
    auto fromWorker = [](const Texts& texts) {
        std::thread([&] { for (const std::string& t : texts) ShowMessage(t); }).join();
    };
    fromWorker({"a", "a", "b", "a"});
    EXPECT_TRUE(Boxes().empty()) << "nothing is shown on the worker";
    EXPECT_TRUE(PumpUntil([] { return Boxes().size() >= 2; }));
    fromWorker({"a"});
    EXPECT_TRUE(PumpUntil([] { return Boxes().size() >= 3; }));
    PumpPending();
    EXPECT_EQ(Boxes(), (Texts{"a", "b", "a"}));
    platform::SetMessageSink(previous);
}

}  // namespace
