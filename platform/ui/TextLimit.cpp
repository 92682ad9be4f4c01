#include "platform/ui/TextLimit.h"

#include <gtk/gtk.h>
#include <wx/textctrl.h>

#include <algorithm>

namespace platform {

namespace {

constexpr const char* kHeldLimit = "vr-held-text-limit";

// Runs at the start of every insertion into an editable, before any handler: wx's handler
// refuses a text that does not fit whole. The part that fits goes in here, through the
// insertion GTK offers for a changed text (its handlers, wx's change event included, see a
// text that fits); wx's handler then refuses the original, which leaves the field full, and
// reports the caret after the part inserted.
gboolean InsertWhatFits(GSignalInvocationHint*, guint count, const GValue* params, gpointer) {
    if (count < 4 || !GTK_IS_ENTRY(g_value_get_object(&params[0]))) return TRUE;
    GtkEntry* entry = GTK_ENTRY(g_value_get_object(&params[0]));
    const gint max = gtk_entry_get_max_length(entry);
    if (max <= 0) return TRUE;  // no limit, or a text the program sets under none
    const gint length = static_cast<gint>(gtk_entry_get_text_length(entry));
    // A held limit under a longer text: the text never grows past the limit or its length.
    const gint held = GPOINTER_TO_INT(g_object_get_data(G_OBJECT(entry), kHeldLimit));
    const gint limit = held > 0 ? std::max(held, length) : max;
    if (limit != max) gtk_entry_set_max_length(entry, limit);

    const gchar* text = g_value_get_string(&params[1]);
    gint* position = static_cast<gint*>(g_value_get_pointer(&params[3]));
    if (!text || !position) return TRUE;
    const gint bytes = g_value_get_int(&params[2]);
    const glong chars = g_utf8_strlen(text, bytes);
    const gint room = limit - length;
    if (chars <= room || room <= 0) return TRUE;
    // A text of its own: wx's handler reads the text up to its end, not up to the length.
    gchar* fits = g_strndup(text, static_cast<gsize>(g_utf8_offset_to_pointer(text, room) - text));
    gtk_editable_insert_text(GTK_EDITABLE(entry), fits, -1, position);
    g_free(fits);
    gtk_editable_set_position(GTK_EDITABLE(entry), *position);
    return TRUE;
}

}  // namespace

void InstallTextLimits() {
    static const bool installed = [] {
        // The interface's signals exist once its default vtable does; kept for the program.
        g_type_default_interface_ref(GTK_TYPE_EDITABLE);
        const guint signal = g_signal_lookup("insert-text", GTK_TYPE_EDITABLE);
        g_signal_add_emission_hook(signal, 0, InsertWhatFits, nullptr, nullptr);
        return true;
    }();
    (void)installed;
}

void HoldTextLimit(wxTextCtrl* edit, unsigned limit) {
    g_object_set_data(G_OBJECT(edit->GetHandle()), kHeldLimit, GINT_TO_POINTER(static_cast<gint>(limit)));
}

}  // namespace platform
