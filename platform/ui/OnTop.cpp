#include "platform/ui/OnTop.h"

#include <gtk/gtk.h>

namespace platform {

namespace {

constexpr const char* kOnTopKey = "vr3526-on-top";

// The program's window the user worked in last: set as each top-level window takes the focus.
GtkWindow* g_lastActive = nullptr;

void Forget(gpointer, GObject* gone) {
    if (reinterpret_cast<GObject*>(g_lastActive) == gone) g_lastActive = nullptr;
}

gboolean OnFocusIn(GSignalInvocationHint*, guint, const GValue* params, gpointer) {
    GObject* object = static_cast<GObject*>(g_value_get_object(&params[0]));
    if (!GTK_IS_WINDOW(object)) return TRUE;
    GtkWindow* window = GTK_WINDOW(object);
    if (window == g_lastActive) return TRUE;
    if (g_lastActive) g_object_weak_unref(G_OBJECT(g_lastActive), Forget, nullptr);
    g_lastActive = window;
    g_object_weak_ref(object, Forget, nullptr);
    return TRUE;
}

bool Usable(GtkWindow* owner, GtkWindow* window) {
    if (!owner || owner == window || !gtk_widget_get_visible(GTK_WIDGET(owner))) return false;
    // Never under a window that is itself on top of this one.
    for (GtkWindow* w = owner; w; w = gtk_window_get_transient_for(w))
        if (w == window) return false;
    return true;
}

// The active window of the program, else the one active last, else its first shown window.
GtkWindow* OwnerFor(GtkWindow* window) {
    GtkWindow* active = nullptr;
    GtkWindow* any = nullptr;
    GList* all = gtk_window_list_toplevels();
    for (GList* l = all; l; l = l->next) {
        GtkWindow* w = GTK_WINDOW(l->data);
        if (!Usable(w, window) || gtk_window_get_window_type(w) != GTK_WINDOW_TOPLEVEL) continue;
        if (gtk_window_is_active(w)) active = w;
        if (!any) any = w;
    }
    g_list_free(all);
    if (active) return active;
    if (Usable(g_lastActive, window)) return g_lastActive;
    return any;
}

gboolean PresentWhenMapped(GtkWidget* widget, GdkEvent*, gpointer) {
    gtk_window_present_with_time(GTK_WINDOW(widget), gtk_get_current_event_time());
    return FALSE;
}

gboolean OnShow(GSignalInvocationHint*, guint, const GValue* params, gpointer) {
    GObject* object = static_cast<GObject*>(g_value_get_object(&params[0]));
    if (!GTK_IS_WINDOW(object)) return TRUE;
    GtkWindow* window = GTK_WINDOW(object);
    // Dialogs and boxes (pages are ordinary windows); not menus, tips or lists.
    if (gtk_window_get_window_type(window) != GTK_WINDOW_TOPLEVEL) return TRUE;
    if (gtk_window_get_type_hint(window) != GDK_WINDOW_TYPE_HINT_DIALOG && !g_object_get_data(object, kOnTopKey))
        return TRUE;
    if (GtkWindow* owner = OwnerFor(window)) gtk_window_set_transient_for(window, owner);
    if (!g_object_get_data(object, "vr3526-present-connected")) {
        g_object_set_data(object, "vr3526-present-connected", GINT_TO_POINTER(1));
        g_signal_connect(object, "map-event", G_CALLBACK(PresentWhenMapped), nullptr);
    }
    return TRUE;
}

GtkWindow* GtkOf(wxTopLevelWindow* window) { return GTK_WINDOW(window->GetHandle()); }

}  // namespace

void InstallOnTopDialogs() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    g_type_class_ref(GTK_TYPE_WINDOW);  // the signals exist once the class does
    g_signal_add_emission_hook(g_signal_lookup("show", GTK_TYPE_WIDGET), 0, OnShow, nullptr, nullptr);
    g_signal_add_emission_hook(g_signal_lookup("focus-in-event", GTK_TYPE_WIDGET), 0, OnFocusIn, nullptr,
                               nullptr);
}

void MarkOnTop(wxTopLevelWindow* window) {
    g_object_set_data(G_OBJECT(GtkOf(window)), kOnTopKey, GINT_TO_POINTER(1));
}

void PresentOnTop(wxTopLevelWindow* window) {
    GtkWindow* w = GtkOf(window);
    if (GtkWindow* owner = OwnerFor(w)) gtk_window_set_transient_for(w, owner);
    gtk_window_present_with_time(w, gtk_get_current_event_time());
}

void MakeIndependentWindow(wxTopLevelWindow* window) {
    gtk_window_set_type_hint(GtkOf(window), GDK_WINDOW_TYPE_HINT_NORMAL);
}

}  // namespace platform
