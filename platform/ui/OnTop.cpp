#include "platform/ui/OnTop.h"

#include <wx/app.h>
#include <wx/dialog.h>
#include <wx/display.h>
#include <wx/modalhook.h>

#include <algorithm>
#include <vector>

#include <gdk/gdkx.h>
#include <gtk/gtk.h>

namespace platform {

namespace {

constexpr const char* kOnTopKey = "vr3526-on-top";
constexpr const char* kModalKey = "vr3526-modal";        // depth of wx's modal loops for it
constexpr const char* kMadeModalKey = "vr3526-made-modal";
constexpr const char* kGroupKey = "vr3526-group-transient";
constexpr const char* kOwnerKey = "vr3526-owner";
constexpr const char* kHandledKey = "vr3526-handled";

// The program's window the user worked in last: set as each top-level window takes the focus.
GtkWindow* g_lastActive = nullptr;

// The modal windows that are up, in the order they opened: the innermost last.
std::vector<GtkWindow*> g_modalUp;

void Forget(gpointer, GObject* gone) {
    if (reinterpret_cast<GObject*>(g_lastActive) == gone) g_lastActive = nullptr;
}

void SetLastActive(GtkWindow* window) {
    if (window == g_lastActive) return;
    if (g_lastActive) g_object_weak_unref(G_OBJECT(g_lastActive), Forget, nullptr);
    g_lastActive = window;
    if (window) g_object_weak_ref(G_OBJECT(window), Forget, nullptr);
}

gboolean OnFocusIn(GSignalInvocationHint*, guint, const GValue* params, gpointer) {
    GObject* object = static_cast<GObject*>(g_value_get_object(&params[0]));
    if (GTK_IS_WINDOW(object)) SetLastActive(GTK_WINDOW(object));
    return TRUE;
}

void DropModal(GtkWindow* window) {
    g_modalUp.erase(std::remove(g_modalUp.begin(), g_modalUp.end(), window), g_modalUp.end());
}

void ForgetModal(gpointer, GObject* gone) { DropModal(reinterpret_cast<GtkWindow*>(gone)); }

// A window of the program that is still there and on the screen.
bool Shown(GtkWindow* window) {
    if (!window) return false;
    GList* all = gtk_window_list_toplevels();
    const bool there = g_list_find(all, window) != nullptr;
    g_list_free(all);
    return there && gtk_widget_get_visible(GTK_WIDGET(window)) && !gtk_widget_in_destruction(GTK_WIDGET(window));
}

bool Usable(GtkWindow* owner, GtkWindow* window) {
    if (owner == window || !Shown(owner) || gtk_window_get_window_type(owner) != GTK_WINDOW_TOPLEVEL) return false;
    // Never a window that is itself on top of this one.
    for (GtkWindow* w = owner; w; w = gtk_window_get_transient_for(w))
        if (w == window) return false;
    return true;
}

GtkWindow* InnermostModal(GtkWindow* window) {
    for (auto it = g_modalUp.rbegin(); it != g_modalUp.rend(); ++it)
        if (Usable(*it, window)) return *it;
    return nullptr;
}

GtkWindow* GtkOf(wxWindow* window) { return window ? GTK_WINDOW(window->GetHandle()) : nullptr; }

// The window the user works in, for a window that names none.
GtkWindow* CurrentFor(GtkWindow* window) {
    if (GtkWindow* modal = InnermostModal(window)) return modal;
    if (Usable(g_lastActive, window)) return g_lastActive;
    GtkWindow* active = nullptr;
    GList* all = gtk_window_list_toplevels();
    for (GList* l = all; l && !active; l = l->next) {
        GtkWindow* w = GTK_WINDOW(l->data);
        if (Usable(w, window) && gtk_window_is_active(w)) active = w;
    }
    g_list_free(all);
    if (active) return active;
    GtkWindow* main = wxTheApp && wxTheApp->GetTopWindow() ? GtkOf(wxTheApp->GetTopWindow()) : nullptr;
    return Usable(main, window) ? main : nullptr;
}

void Present(GtkWindow* window) {
    SetLastActive(window);
    gtk_window_present_with_time(window, gtk_get_current_event_time());
}

gboolean PresentWhenMapped(GtkWidget* widget, GdkEvent*, gpointer) {
    Present(GTK_WINDOW(widget));
    return FALSE;
}

// Transient for the root window is transient for the whole window group (every window of the
// program shares the toolkit's one group): above all of them, raising none of them. The
// toolkit keeps its own parent for the window; only what the window manager reads changes.
void ApplyGroupTransient(GtkWidget* widget, gpointer = nullptr) {
    if (!g_object_get_data(G_OBJECT(widget), kGroupKey)) return;
    GdkWindow* gdk = gtk_widget_get_window(widget);
    if (!gdk || !GDK_IS_X11_WINDOW(gdk)) return;
    Display* display = GDK_DISPLAY_XDISPLAY(gdk_window_get_display(gdk));
    XSetTransientForHint(display, GDK_WINDOW_XID(gdk), DefaultRootWindow(display));
}

// Closed, the window that opened it comes back on top and active: the window manager alone
// would give the focus to the window used last, which may be another.
void OnUnmapped(GtkWidget* widget, gpointer) {
    GObject* object = G_OBJECT(widget);
    DropModal(GTK_WINDOW(widget));
    auto* owner = static_cast<GtkWindow*>(g_object_get_data(object, kOwnerKey));
    g_object_set_data(object, kOwnerKey, nullptr);
    if (Shown(owner)) Present(owner);
}

gboolean OnShow(GSignalInvocationHint*, guint, const GValue* params, gpointer) {
    GObject* object = static_cast<GObject*>(g_value_get_object(&params[0]));
    if (!GTK_IS_WINDOW(object)) return TRUE;
    GtkWindow* window = GTK_WINDOW(object);
    // Dialogs and boxes (pages are ordinary windows); not menus, tips or lists.
    if (gtk_window_get_window_type(window) != GTK_WINDOW_TOPLEVEL) return TRUE;
    if (gtk_window_get_type_hint(window) != GDK_WINDOW_TYPE_HINT_DIALOG && !g_object_get_data(object, kOnTopKey))
        return TRUE;

    // Made modal for its last showing only (while hidden this drops no grab).
    if (g_object_get_data(object, kMadeModalKey)) {
        g_object_set_data(object, kMadeModalKey, nullptr);
        gtk_window_set_modal(window, FALSE);
    }
    const bool modal = g_object_get_data(object, kModalKey) || gtk_window_get_modal(window);
    GtkWindow* named = gtk_window_get_transient_for(window);
    GtkWindow* owner = nullptr;
    bool group = false;
    if (GtkWindow* over = InnermostModal(window)) {
        // Over the modal window the user is held in; modal itself, or its clicks would go to
        // the other (the toolkit's grab) and its keys end the other.
        owner = over;
        if (!modal) {
            g_object_set_data(object, kMadeModalKey, GINT_TO_POINTER(1));
            gtk_window_set_modal(window, TRUE);
        }
    } else {
        owner = Usable(named, window) ? named : CurrentFor(window);
        group = modal;
    }
    if (owner) gtk_window_set_transient_for(window, owner);
    g_object_set_data(object, kGroupKey, GINT_TO_POINTER(group ? 1 : 0));
    g_object_set_data(object, kOwnerKey, owner);
    if (modal || g_object_get_data(object, kMadeModalKey)) {
        DropModal(window);
        g_modalUp.push_back(window);
    }
    if (!g_object_get_data(object, kHandledKey)) {
        g_object_set_data(object, kHandledKey, GINT_TO_POINTER(1));
        g_signal_connect(object, "map-event", G_CALLBACK(PresentWhenMapped), nullptr);
        g_signal_connect_after(object, "realize", G_CALLBACK(ApplyGroupTransient), nullptr);
        g_signal_connect_after(object, "unmap", G_CALLBACK(OnUnmapped), nullptr);
        g_object_weak_ref(object, ForgetModal, nullptr);
    }
    if (gtk_widget_get_realized(GTK_WIDGET(window))) ApplyGroupTransient(GTK_WIDGET(window));
    return TRUE;
}

// wx makes a dialog modal only after it is shown; this tells the show rule before.
class ModalMark : public wxModalDialogHook {
    // Nested for one dialog: a file dialog's ShowModal enters twice.
    static void Add(wxDialog* dialog, int step) {
        GObject* w = G_OBJECT(GtkOf(dialog));
        if (!w) return;
        const int depth = GPOINTER_TO_INT(g_object_get_data(w, kModalKey)) + step;
        g_object_set_data(w, kModalKey, GINT_TO_POINTER(depth > 0 ? depth : 0));
    }
    int Enter(wxDialog* dialog) override {
        Add(dialog, 1);
        return wxID_NONE;
    }
    void Exit(wxDialog* dialog) override { Add(dialog, -1); }
};

}  // namespace

void InstallOnTopDialogs() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    g_type_class_ref(GTK_TYPE_WINDOW);  // the signals exist once the class does
    g_signal_add_emission_hook(g_signal_lookup("show", GTK_TYPE_WIDGET), 0, OnShow, nullptr, nullptr);
    g_signal_add_emission_hook(g_signal_lookup("focus-in-event", GTK_TYPE_WIDGET), 0, OnFocusIn, nullptr,
                               nullptr);
    static ModalMark mark;
    mark.Register();
}

void MarkOnTop(wxTopLevelWindow* window) {
    g_object_set_data(G_OBJECT(GtkOf(window)), kOnTopKey, GINT_TO_POINTER(1));
}

void PresentOnTop(wxTopLevelWindow* window) { Present(GtkOf(window)); }

void MakeIndependentWindow(wxTopLevelWindow* window) {
    gtk_window_set_type_hint(GtkOf(window), GDK_WINDOW_TYPE_HINT_NORMAL);
}

void CentreOver(wxWindow* window, wxWindow* over) {
    const wxRect at = over->GetScreenRect();
    const wxSize size = window->GetSize();
    const int index = wxDisplay::GetFromWindow(over);
    const wxRect screen = wxDisplay(index == wxNOT_FOUND ? 0u : static_cast<unsigned>(index)).GetClientArea();
    wxPoint corner(at.x + (at.width - size.x) / 2, at.y + (at.height - size.y) / 2);
    corner.x = std::max(screen.x, std::min(corner.x, screen.GetRight() + 1 - size.x));
    corner.y = std::max(screen.y, std::min(corner.y, screen.GetBottom() + 1 - size.y));
    window->Move(corner);
}

wxWindow* CurrentProgramWindow() {
    GtkWindow* current = CurrentFor(nullptr);
    for (wxWindow* window : wxTopLevelWindows)
        if (GtkOf(window) == current) return window;
    return wxTheApp ? wxTheApp->GetTopWindow() : nullptr;
}

}  // namespace platform
