// One box per text and caption while it is up, through the recording sink the core tests use
// and through the wx sink that posts a worker's box to the UI thread.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/statbmp.h>

#include <algorithm>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/Message.h"
#include "platform/ui/WxMessageSink.h"
#include "tests/support/GuiPump.h"

#include <gtk/gtk.h>

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

// Every box shows its icon from the icon theme (none when it names none), its text and its
// buttons, and is at least as wide as its caption in a title bar (the caption plus 120 px of
// title-bar buttons); a short text does not cut "VR3526 Developer Kits V1.00".
TEST(MessageBoxes, ABoxShowsItsIconAndIsAsWideAsItsCaption) {
    const struct { platform::MessageIcon icon; const char* caption; long buttons; bool hasIcon; Texts labels; } cases[] = {
        {platform::MessageIcon::Exclamation, "", wxOK, true, {"OK"}},
        {platform::MessageIcon::Information, "Information", wxOK | wxCANCEL, true, {"OK", "Cancel"}},
        {platform::MessageIcon::Exclamation, "Confirm Save As", wxYES_NO | wxNO_DEFAULT, true, {"&Yes", "&No"}},
        {platform::MessageIcon::None, "", wxOK, false, {"OK"}},
    };
    for (const auto& c : cases) {
        platform::WxBox box(nullptr, platform::Message{"OK?", c.caption, c.icon}, c.buttons);
        const std::string caption = c.caption[0] ? c.caption : "VR3526 Developer Kits V1.00";
        SCOPED_TRACE(caption);
        EXPECT_EQ(box.GetTitle().utf8_string(), caption);
        int icons = 0;
        Texts labels;
        for (wxWindow* child : box.GetChildren()) {
            if (auto* icon = dynamic_cast<wxStaticBitmap*>(child)) {
                ++icons;
                EXPECT_TRUE(icon->GetBitmap().IsOk());
                EXPECT_GE(icon->GetBitmap().GetWidth(), 32) << "the theme's dialog icon";
            }
            if (auto* button = dynamic_cast<wxButton*>(child)) labels.push_back(button->GetLabel().utf8_string());
        }
        EXPECT_EQ(icons, c.hasIcon ? 1 : 0);
        EXPECT_EQ(labels, c.labels);
        EXPECT_GE(box.GetSize().x, box.GetTextExtent(wxString::FromUTF8(caption)).x + 120);
    }
}

// A repeat of a worker's box that is up brings that box up again instead of a second one.
TEST(MessageBoxes, ARepeatOfAWorkersBoxThatIsUpPresentsIt) {
    static Texts presented;
    platform::WxMessageSink sink(ShowModal, ShowPosted, [](const platform::Message& m) { presented.push_back(m.text); });
    const platform::ScopedMessageSink scope(&sink);
    g_shown.clear();
    std::thread([] { ShowMessage("fault"); }).join();
    ASSERT_TRUE(PumpUntil([] { return g_shown.size() == 1; }));
    std::thread([] { ShowMessage("fault"); }).join();
    EXPECT_TRUE(PumpUntil([] { return presented.size() == 1; }));
    EXPECT_EQ(g_shown, Texts{"fault"});
    EXPECT_EQ(presented, Texts{"fault"});
    g_up.clear();
}



// A screen reader announces an alert as it opens, a frame not: every box is an alert, with
// its caption as its name and its text readable among its parts; dialogs keep their role.
TEST(MessageBoxes, ABoxIsAnAlertToAssistiveTechnology) {
    // The text of every part under an accessible object.
    std::function<void(AtkObject*, std::vector<std::string>&)> texts = [&](AtkObject* object, std::vector<std::string>& out) {
        if (const char* name = atk_object_get_name(object)) out.push_back(name);
        for (int i = 0; i < atk_object_get_n_accessible_children(object); ++i) {
            AtkObject* child = atk_object_ref_accessible_child(object, i);
            texts(child, out);
            g_object_unref(child);
        }
    };
    const struct { const char* caption; long buttons; const char* title; } cases[] = {
        {"设备错误", wxOK, "设备错误"},
        {"Confirm Save As", wxYES_NO | wxNO_DEFAULT, "Confirm Save As"},
        {"", wxOK | wxCANCEL, "VR3526 Developer Kits V1.00"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        platform::WxBox box(nullptr, platform::Message{"设备通讯错误 !", c.caption, platform::MessageIcon::Exclamation},
                            c.buttons);
        box.Show();
        PumpPending();
        AtkObject* accessible = gtk_widget_get_accessible(GTK_WIDGET(box.GetHandle()));
        ASSERT_NE(accessible, nullptr);
        EXPECT_EQ(atk_object_get_role(accessible), ATK_ROLE_ALERT) << atk_role_get_name(atk_object_get_role(accessible));
        EXPECT_STREQ(atk_object_get_name(accessible), c.title);
        std::vector<std::string> parts;
        texts(accessible, parts);
        EXPECT_NE(std::find(parts.begin(), parts.end(), "设备通讯错误 !"), parts.end());
        box.Hide();
    }
    wxDialog dialog(nullptr, wxID_ANY, "Set ECU Simulation Parameter");
    dialog.Show();
    PumpPending();
    EXPECT_NE(atk_object_get_role(gtk_widget_get_accessible(GTK_WIDGET(dialog.GetHandle()))), ATK_ROLE_ALERT);
    dialog.Hide();
}

}  // namespace
