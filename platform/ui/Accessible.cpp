#include "platform/ui/Accessible.h"

#include <gtk/gtk.h>

namespace platform {

void MakeAlert(wxTopLevelWindow* window) {
    AtkObject* accessible = gtk_widget_get_accessible(GTK_WIDGET(window->GetHandle()));
    if (!accessible) return;
    atk_object_set_role(accessible, ATK_ROLE_ALERT);
    atk_object_set_name(accessible, window->GetTitle().utf8_str());
}

}  // namespace platform
