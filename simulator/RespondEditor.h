#pragma once
// The response-entry editor's rules without widgets: the four hex edits and their limits,
// the message layout, the frame-length warnings, the closing checks and the import hand-back.
#include <cstdint>
#include <optional>
#include <string>

#include "simulator/MonitorImport.h"
#include "simulator/RespondTable.h"

constexpr uint32_t kEditorRequestBytes = 7;
constexpr uint32_t kEditorAckBytes = 7;
constexpr size_t kEditorNoteChars = 126;

// What a typed text did besides writing its field: the edit's new text when the text was
// cut (request, ACK), the messages to re-layout (a message cut at 256) and the message box.
struct EditorEdit {
    bool rewrite = false;
    std::string text;
    bool formatMessages = false;
    std::string message;
    std::string then;  // a second message, shown after the first
};
EditorEdit EditRequest(OBDRespondEntry& entry, const std::string& text);
EditorEdit EditAck(OBDRespondEntry& entry, const std::string& text);
// which: 1 or 2. messageCount follows the lengths.
EditorEdit EditMessage(OBDRespondEntry& entry, int which, const std::string& text);
// bytesPerFrame from list item 0-7; the warning when it is shorter than the ACK.
EditorEdit EditBytesPerFrame(OBDRespondEntry& entry, int item);
// The note as typed (UTF-8), cut at a character boundary to what the record holds (127 bytes
// and the terminator). Returns the note as stored.
std::string EditNote(OBDRespondEntry& entry, const std::string& text);

uint32_t MessageCountOf(const OBDRespondEntry& entry);
std::string RequestLengthLabel(const OBDRespondEntry& entry);  // "Request All Data Length: %d"

// Message bytes as the edits show them: groups of n = bytesPerFrame - ackLength bytes (one
// frame each), four blanks between the two groups of a line. Nothing when n < 1: no message
// byte fits a frame after the ACK, and the edits keep what they show.
struct FormattedMessages {
    std::string text[2];
    std::string length[2];
};
std::optional<FormattedMessages> FormatMessages(const OBDRespondEntry& entry);

enum class EditorClose { SaveChanges, AddNew };
// nullptr when the entry may be stored, else the refusal of the first check that fails.
const char* EditorClosingCheck(const OBDRespondEntry& entry, EditorClose button);

// An import that ended: its ACK and Message1 replace the entry's, Message2 stays.
void ApplyImport(OBDRespondEntry& entry, const ImportState& state);
