#include "pages/shared/ui/CompactControls.h"

#include <gtk/gtk.h>
#include <wx/window.h>

namespace {

constexpr const char* kCompactClass = "vr-compact";

// Once, on the default screen, for every window that carries the class. A choice's text view
// asks for less height than its text takes: below 20 pixels inside the button its text is cut.
void InstallCompactStyle() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    GtkCssProvider* provider = gtk_css_provider_new();
    gtk_css_provider_load_from_data(provider,
                                    "window.vr-compact entry, window.vr-compact button {"
                                    " min-height: 0; padding-top: 3px; padding-bottom: 3px; }"
                                    "window.vr-compact combobox button {"
                                    " min-height: 20px; padding-top: 1px; padding-bottom: 1px; }",
                                    -1, nullptr);
    gtk_style_context_add_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(provider),
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    g_object_unref(provider);
}

}  // namespace

void UseCompactControls(wxWindow* topLevel) {
    InstallCompactStyle();
    gtk_style_context_add_class(gtk_widget_get_style_context(topLevel->GetHandle()), kCompactClass);
}
