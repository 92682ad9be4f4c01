#include "simulator/RespondEditor.h"

#include <algorithm>
#include <cstring>

#include "monitor/HexText.h"

namespace {

const char* const kTextRequestTooLong = "数据桢长度不可大于7字节!";
const char* const kTextAckTooLong = "数据长度不可大于7字节!";
const char* const kTextMessageTooLong = "数据长度不可大于256字节!";
const char* const kTextAckFillsFrame = "应答的服务SID/DATA的长度已达到设置的数据桢长度，无法处理消息分帧!";
const char* const kTextFrameTooShort = "帧长度设置太小";
const char* const kTextNoRequest = "设置不合规则：\n诊断仪请求的内容必须设置！";
const char* const kTextMessage1FirstSave = "设置不合规则：\n首先赢设置消息1（Message1）!";
const char* const kTextMessage1FirstAdd = "设置不合规则：\n首先应设置消息1（Message1）!";
const char* const kTextAckTooLongForMessages =
    "设置不符合数据规则:\n 当有设置Message1、Message2消息后,\nACK.SID/PID/DATA中的字节数据最多3个。";

// The text's bytes into out (at most limit); true when text remained past the limit.
bool TakeBytes(const std::string& text, uint8_t* out, uint32_t limit, uint32_t& count) {
    std::string digits = text;
    count = static_cast<uint32_t>(HexStringToBytes(digits, out, limit));
    return HexTextByteCount(digits) > limit;
}

std::string Grouped(const uint8_t* bytes, uint32_t count, int32_t n) {
    std::string text;
    for (uint32_t i = 1; i <= count; ++i) {
        text += HexByteText(bytes[i - 1]);
        text += ' ';
        if (i % (2 * n) == 0) text += "\r\n";
        else if (i % n == 0) text += "    ";
    }
    return text;
}

// A seven-byte edit: its bytes, and when text was left over, the kept bytes written back.
EditorEdit EditSevenBytes(const std::string& text, uint8_t* bytes, uint32_t& count, const char* message) {
    EditorEdit edit;
    if (TakeBytes(text, bytes, kEditorRequestBytes, count)) {
        edit.rewrite = true;
        edit.text = HexBytesText(bytes, count);
        edit.message = message;
    }
    return edit;
}

}  // namespace

uint32_t MessageCountOf(const OBDRespondEntry& e) {
    if (e.message1Length == 0) return 0;
    return e.message2Length == 0 ? 1 : 2;
}

std::string RequestLengthLabel(const OBDRespondEntry& e) {
    return "Request All Data Length: " + std::to_string(e.requestLength);
}

EditorEdit EditRequest(OBDRespondEntry& e, const std::string& text) {
    return EditSevenBytes(text, e.request, e.requestLength, kTextRequestTooLong);
}

EditorEdit EditAck(OBDRespondEntry& e, const std::string& text) {
    EditorEdit edit = EditSevenBytes(text, e.ack, e.ackLength, kTextAckTooLong);
    if (e.ackLength >= e.bytesPerFrame && e.messageCount != 0) {
        // Follows every ACK change, also one that was cut.
        (edit.message.empty() ? edit.message : edit.then) = kTextAckFillsFrame;
    } else {
        edit.formatMessages = true;
    }
    return edit;
}

EditorEdit EditMessage(OBDRespondEntry& e, int which, const std::string& text) {
    EditorEdit edit;
    uint8_t* bytes = which == 1 ? e.message1 : e.message2;
    uint32_t& length = which == 1 ? e.message1Length : e.message2Length;
    if (TakeBytes(text, bytes, kMaxMessageBytes, length)) {
        edit.formatMessages = true;
        edit.message = kTextMessageTooLong;
    }
    e.messageCount = MessageCountOf(e);
    return edit;
}

EditorEdit EditBytesPerFrame(OBDRespondEntry& e, int item) {
    EditorEdit edit;
    e.bytesPerFrame = static_cast<uint32_t>(std::clamp(item, 0, 7) + 1);
    if (e.bytesPerFrame < e.ackLength) edit.message = kTextFrameTooShort;
    edit.formatMessages = true;
    return edit;
}

std::string EditNote(OBDRespondEntry& e, const std::string& text) {
    size_t n = std::min<size_t>(text.size(), kNoteBytes - 1);
    // Never half a character: the list and the editor would show the note as empty.
    while (n > 0 && n < text.size() && (static_cast<uint8_t>(text[n]) & 0xC0) == 0x80) --n;
    std::memcpy(e.note, text.data(), n);
    e.note[n] = '\0';
    return text.substr(0, n);
}

std::optional<FormattedMessages> FormatMessages(const OBDRespondEntry& e) {
    const int32_t n = static_cast<int32_t>(e.bytesPerFrame) - static_cast<int32_t>(e.ackLength);
    if (n < 1) return std::nullopt;
    FormattedMessages out;
    const uint8_t* bytes[2] = {e.message1, e.message2};
    const uint32_t lengths[2] = {std::min(e.message1Length, kMaxMessageBytes),
                                 std::min(e.message2Length, kMaxMessageBytes)};
    for (int m = 0; m < 2; ++m) {
        out.length[m] = std::to_string(lengths[m]);
        out.text[m] = Grouped(bytes[m], lengths[m], n);
    }
    return out;
}

const char* EditorClosingCheck(const OBDRespondEntry& e, EditorClose button) {
    if (e.requestLength == 0) return kTextNoRequest;
    if (e.message1Length == 0 && e.message2Length != 0)
        return button == EditorClose::SaveChanges ? kTextMessage1FirstSave : kTextMessage1FirstAdd;
    if (e.messageCount != 0 && e.ackLength >= 4) return kTextAckTooLongForMessages;
    return nullptr;
}

void ApplyImport(OBDRespondEntry& e, const ImportState& s) {
    e.ackLength = std::min(s.ackLength, kEditorAckBytes);
    std::memcpy(e.ack, s.ack, sizeof e.ack);
    e.message1Length = std::min(s.message1Length, kMaxMessageBytes);
    std::memcpy(e.message1, s.message1, e.message1Length);
    e.messageCount = MessageCountOf(e);
}
