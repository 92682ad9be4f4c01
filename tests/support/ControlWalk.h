#pragma once
// Walks every control of a page window a user can change, one at a time, as the user would
// (typed key by key and left, chosen, checked, picked), and tells what each change did: the
// bytes of the next Start's download and of the first frame Send puts on the wire that differ
// from before the change, and the message boxes it showed (text, caption, icon).
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/radiobut.h>
#include <wx/textctrl.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "pages/shared/BusWorker.h"
#include "platform/Message.h"
#include "tests/support/BoardLog.h"
#include "tests/support/UserInput.h"

namespace walk_detail {

// The controls a user can change, by id, in id order.
inline void Changeable(wxWindow* w, std::map<int, wxWindow*>& out) {
    for (wxWindow* c : w->GetChildren()) {
        if (c->IsTopLevel()) continue;
        const bool enabled = c->IsEnabled() && c->GetId() >= 0;
        if (auto* e = dynamic_cast<wxTextCtrl*>(c)) {
            if (enabled && e->IsEditable()) out[c->GetId()] = c;
        } else if (dynamic_cast<wxChoice*>(c) || dynamic_cast<wxCheckBox*>(c) || dynamic_cast<wxRadioButton*>(c)) {
            if (enabled) out[c->GetId()] = c;
        } else {
            Changeable(c, out);
        }
    }
}

inline std::string HexBytes(const Bytes& b) {
    std::string s;
    char buf[4];
    for (uint8_t x : b) std::snprintf(buf, sizeof buf, "%02X ", x), s += buf;
    return s;
}

// Start, the download (every packet up to the start command), Send's first frame, Stop.
inline std::vector<Bytes> RunOnce(wxWindow* page, int start, int stop, int send) {
    tb_log_clear();
    Press(dynamic_cast<wxButton*>(page->FindWindow(start)));
    std::vector<Bytes> packets;
    for (const Bytes& p : LoggedPackets()) {
        if (p.size() >= 2 && (p[0] == 0x50 || p[0] == 0x51 || (p[0] == 0xA0 && !(p[1] & 0x80)))) continue;  // reads, polls
        // A register write's fourth byte is whatever the command buffer held before.
        packets.push_back(p[0] == 0x52 && p.size() > 3 ? Bytes(p.begin(), p.begin() + 3) : p);
        if (p[0] == 0xB1) break;
    }
    auto* sendButton = dynamic_cast<wxButton*>(page->FindWindow(send));
    if (g_WorkerRunning.load() && sendButton && sendButton->IsEnabled()) {
        const unsigned from = tb_log_count();
        Press(sendButton);
        auto isFrame = [](const Bytes& p) { return p.size() > 4 && ((p[0] == 0xA0 && (p[1] & 0x80)) || (p[0] == 0x57 && p[1] == 0x3F) || p[0] == 0x60); };
        const int at = WaitForPacket(isFrame, from);
        if (at >= 0) packets.push_back(LoggedPacket(static_cast<unsigned>(at)));
    }
    Press(dynamic_cast<wxButton*>(page->FindWindow(stop)));
    return packets;
}

// Packet by packet: "<first two bytes> @<index>: <old> -> <new>" for each byte that changed.
inline std::string Diff(const std::vector<Bytes>& before, const std::vector<Bytes>& after) {
    std::string out;
    for (size_t i = 0; i < std::max(before.size(), after.size()); ++i) {
        const Bytes a = i < before.size() ? before[i] : Bytes{}, b = i < after.size() ? after[i] : Bytes{};
        if (a == b) continue;
        if (a.size() < 2 || b.size() < 2 || a[0] != b[0] || a[1] != b[1] || a.size() != b.size()) {
            out += " [" + HexBytes(a) + "-> " + HexBytes(b) + "]";
            continue;
        }
        char head[16];
        std::snprintf(head, sizeof head, " %02X %02X", a[0], a[1]);
        out += head;
        for (size_t k = 2; k < a.size(); ++k)
            if (a[k] != b[k]) {
                char cell[40];
                std::snprintf(cell, sizeof cell, " @%zu:%02X>%02X", k, static_cast<unsigned>(a[k]), static_cast<unsigned>(b[k]));
                out += cell;
            }
        out += ";";
    }
    return out;
}

// The boxes shown since message number seen: " | text [caption] icon" each.
inline std::string Shown(const platform::RecordingMessageSink& messages, size_t seen) {
    std::string out;
    const std::vector<platform::Message> shown = messages.Messages();
    for (size_t i = seen; i < shown.size(); ++i)
        out += " | " + shown[i].text + " [" + shown[i].caption + "] " + std::to_string(static_cast<int>(shown[i].icon));
    return out;
}

}  // namespace walk_detail

// One line a control: "<kind> <id> <what was done>:<wire differences> | <messages>".
inline std::string WalkControls(wxWindow* page, platform::RecordingMessageSink& messages, int start, int stop, int send,
                                const std::vector<int>& skip = {}) {
    std::map<int, wxWindow*> controls;
    walk_detail::Changeable(page, controls);
    std::vector<Bytes> before = walk_detail::RunOnce(page, start, stop, send);
    std::string out;
    for (auto [id, control] : controls) {
        if (std::find(skip.begin(), skip.end(), id) != skip.end()) continue;
        if (!control->IsEnabled()) continue;
        // An edit takes 0, then 300: each bound of its range, or a byte and a cut.
        if (auto* e = dynamic_cast<wxTextCtrl*>(control)) {
            for (const char* typed : {"0", "300"}) {
                const size_t seen = messages.Count();
                Retype(e, typed);
                Leave(e);
                std::string line = "edit " + std::to_string(id) + " " + typed + " -> \"" + e->GetValue().utf8_string() + "\"";
                const std::vector<Bytes> after = walk_detail::RunOnce(page, start, stop, send);
                line += ":" + walk_detail::Diff(before, after) + walk_detail::Shown(messages, seen);
                out += line + "\n";
                before = after;
            }
            continue;
        }
        const size_t seen = messages.Count();
        std::string line;
        if (false) {
        } else if (auto* c = dynamic_cast<wxChoice*>(control)) {
            const int next = (std::max(0, c->GetSelection()) + 1) % static_cast<int>(c->GetCount());
            Choose(c, next);
            line = "choice " + std::to_string(id) + " " + std::to_string(next);
        } else if (auto* c = dynamic_cast<wxCheckBox*>(control)) {
            SetCheck(c, !c->GetValue());
            line = "check " + std::to_string(id) + (c->GetValue() ? " on" : " off");
        } else if (auto* r = dynamic_cast<wxRadioButton*>(control)) {
            if (r->GetValue()) continue;
            Pick(r);
            line = "radio " + std::to_string(id);
        }
        const std::vector<Bytes> after = walk_detail::RunOnce(page, start, stop, send);
        line += ":" + walk_detail::Diff(before, after) + walk_detail::Shown(messages, seen);
        out += line + "\n";
        before = after;
    }
    return out;
}
