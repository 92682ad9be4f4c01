#include <gtest/gtest.h>
#include <wx/msgdlg.h>

#include "platform/Message.h"
#include "platform/ui/WxMessageSink.h"

namespace {

// The boxes of the file commands and of connect are plain: no icon at all. wx puts an
// information icon on a box that names none, so "no icon" must be asked for.
TEST(WxMessageBox, IconFollowsTheMessage) {
    const struct {
        platform::MessageIcon icon;
        long shown;
    } cases[] = {
        {platform::MessageIcon::None, wxICON_NONE},
        {platform::MessageIcon::Exclamation, wxICON_EXCLAMATION},
        {platform::MessageIcon::Information, wxICON_INFORMATION},
        {platform::MessageIcon::Question, wxICON_QUESTION},
    };
    for (const auto& c : cases) {
        const long style = platform::WxMessageBoxStyle(c.icon);
        EXPECT_EQ(style & (wxOK | wxCANCEL | wxYES_NO), wxOK) << static_cast<int>(c.icon);
        wxMessageDialog dialog(nullptr, "text", "caption", style);
        EXPECT_EQ(dialog.GetEffectiveIcon(), c.shown) << static_cast<int>(c.icon);
    }
}

}  // namespace
