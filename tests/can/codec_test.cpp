// The CAN layouts, the shared handlers and the ISO 15765 framing, without a device.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "pages/can/CanFrame.h"
#include "pages/can/CanImage.h"
#include "pages/can/Iso15765Frame.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Of(const CanFilterEntry& e) { return Bytes(e.bytes, e.bytes + 4); }
Bytes Of(const EcanMessageBuffer& b) { return Bytes(b.bytes, b.bytes + 16); }
// Bytes as "C8 FC AD ", to show several stored fields in one expected text.
std::string Hx(const Bytes& bytes) {
    std::string text;
    char byte[4];
    for (uint8_t b : bytes) text += (std::snprintf(byte, sizeof byte, "%02X ", b), byte);
    return text;
}

TEST(CanCodec, FieldsLandInTheirBits) {
    // Each row edits a fresh image or slot and shows what was stored and what is displayed.
    struct Case { const char* name; std::function<std::string(CanRegisterImage&, EcanMessageBuffer&)> act; const char* shown; };
    const CanEntryRef f0{false, 0}, m1{true, 1};
    const Case cases[] = {
        {"125 KBPS keeps BRP 8 and cfg3 bits 7:3", [](CanRegisterImage& im, EcanMessageBuffer&) {
             im.cfg3 = 0xA8;
             const bool editable = SelectCanBaudRow(im, 4).editable;
             return Hx({im.cfg1, im.cfg2, im.cfg3}) + (editable ? "editable" : "fixed");
         }, "C8 FC AD fixed"},
        {"User-defined opens the timing controls on BRP 1", [](CanRegisterImage& im, EcanMessageBuffer&) {
             const CanTimingView v = SelectCanBaudRow(im, kCanBaudRowUser);
             return Hx({im.cfg1}) + (v.editable ? "editable " : "fixed ") + v.brpText + " " + std::to_string(v.sjw) +
                    std::to_string(v.seg2ph) + std::to_string(v.seg1ph) + std::to_string(v.prseg);
         }, "C1 editable 1 3574"},
        {"18DAF100 in filter 0 with EXIDE kept", [f0](CanRegisterImage& im, EcanMessageBuffer&) {
             SetCanFilterExide(im.filters[0], true);
             const std::string sid = CanId29Changed(im, f0, "18DA F100");
             return Hx(Of(im.filters[0])) + sid + " " + CanId29Text(im, f0);
         }, "CA C6 00 F1 636 18DAF100"},
        {"7E8 in an 11-bit mask edit keeps the EID and the unnamed bits", [m1](CanRegisterImage& im, EcanMessageBuffer&) {
             for (uint8_t& b : im.masks[1].bytes) b = 0xFF;
             CanSid11Changed(im, m1, "7E8");
             return Hx(Of(im.masks[1])) + CanSid11Text(im, m1) + " " + CanId29Text(im, m1);
         }, "1F FD FF FF 7E8 1FA3FFFF"},
        {"FIFO on F7 fills the top nibble, a nibble of 10 reads back as FIFO too", [](CanRegisterImage& im, EcanMessageBuffer&) {
             SetCanBufferPointer(im, 7, 8);
             SetCanBufferPointer(im, 6, 3);
             im.bufferPointer[0] |= 0x00A00000;
             return std::to_string(im.bufferPointer[0] == 0xF3A00000u) + std::to_string(CanBufferPointerSelection(im, 7)) +
                    std::to_string(CanBufferPointerSelection(im, 6)) + std::to_string(CanBufferPointerSelection(im, 5));
         }, "1838"},
        {"MSKSEL of filter 5 in byte 1 bits 3:2", [](CanRegisterImage& im, EcanMessageBuffer&) {
             im.mskSel[1] = 0xFF;
             SetCanMaskSelect(im, 5, 1);
             return Hx({im.mskSel[1]}) + std::to_string(CanMaskSelect(im, 5)) + std::to_string(CanMaskSelect(im, 4));
         }, "F7 13"},
        {"a standard RTR slot sets SRR and RTR", [](CanRegisterImage&, EcanMessageBuffer& slot) {
             SingleFrameIdChanged(slot, "7DF");
             SetSingleFrameFormat(slot, 1);
             return Hx(Of(slot)) + (EcanIsRemote(slot) ? "RTR " : "") + EcanIdText(slot);
         }, "7E 1F 00 00 00 02 00 00 00 00 00 00 00 00 00 00 RTR 7DF"},
        {"id FFFFFFFF keeps 29 bits, w0 bits 15:13 untouched", [](CanRegisterImage&, EcanMessageBuffer& slot) {
             SetSingleFrameType(slot, 1);
             SingleFrameIdChanged(slot, "FFFFFFFF");
             return Hx(Bytes(slot.bytes, slot.bytes + 6)) + EcanIdText(slot);
         }, "FD 1F FF 0F 00 FC 1FFFFFFF"},
        {"18DB33F1 as a 29-bit slot", [](CanRegisterImage&, EcanMessageBuffer& slot) {
             SetSingleFrameType(slot, 1);
             SingleFrameIdChanged(slot, "18DB33F1");
             SingleFrameDataChanged(slot, "02 01 00");
             return Hx(Of(slot));
         }, "D9 18 CF 0C 03 C4 02 01 00 00 00 00 00 00 00 00 "},
        {"switching the slot to 11-bit shows the SID alone", [](CanRegisterImage&, EcanMessageBuffer& slot) {
             SetSingleFrameType(slot, 1);
             SingleFrameIdChanged(slot, "18DB33F1");
             const std::string shown = SetSingleFrameType(slot, 0);
             return shown + (EcanIsExtended(slot) ? " extended" : "");
         }, "636"},
        {"mode radios keep CCTRL0's other bits", [](CanRegisterImage& im, EcanMessageBuffer&) {
             im.cctrl0Mode = 0xF0;
             SetCanMode(im, 2);
             return Hx({im.cctrl0Mode}) + std::to_string(CanModeRadio(im));
         }, "F3 2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CanRegisterImage image;
        EcanMessageBuffer slot;
        EXPECT_EQ(c.act(image, slot), c.shown);
    }
}

TEST(CanCodec, SharedEditsAnswerWithTheirMessages) {
    // Each row: what the edit writes back ("" for nothing), its message, and what it stored.
    using Edit = std::function<std::pair<PageEditResult, std::string>(CanRegisterImage&, EcanMessageBuffer&)>;
    auto brp = [](const char* typed) -> Edit {
        return [typed](CanRegisterImage& im, EcanMessageBuffer&) {
            const PageEditResult r = CanBrpChanged(im, typed);
            return std::pair(r, Hx({im.cfg1}));
        };
    };
    auto data = [](const char* typed) -> Edit {
        return [typed](CanRegisterImage&, EcanMessageBuffer& s) {
            const PageEditResult r = SingleFrameDataChanged(s, typed);
            return std::pair(r, std::to_string(EcanDlc(s)) + ": " + CanFrameDataText(s));
        };
    };
    struct Case { const char* name; Edit edit; const char* text; const char* message; const char* stored; };
    const Case cases[] = {
        {"BRP 70 stores 6", brp("70"), "6", "BRP 最大值为63", "C6 "},
        {"BRP 63 silently", brp("63"), "", "", "FF "},
        {"BRP negative reads 0", brp("-5"), "0", "", "C0 "},
        {"nine data bytes keep eight", data("0201000000000000FF"), "02 01 00 00 00 00 00 00 ", "数据桢的总长度不可大于8字节!", "8: 02 01 00 00 00 00 00 00 "},
        {"odd digits make a last byte alone", data("A B C"), "", "", "2: AB 0C "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CanRegisterImage image;
        SelectCanBaudRow(image, 1);
        EcanMessageBuffer slot;
        const auto [r, stored] = c.edit(image, slot);
        EXPECT_EQ(r.rewrite, *c.text != '\0');
        EXPECT_EQ(r.text, c.text);
        EXPECT_EQ(r.message, c.message);
        EXPECT_EQ(stored, c.stored);
    }
}

Bytes Message(size_t n) {
    Bytes m(n);
    for (size_t i = 0; i < n; ++i) m[i] = static_cast<uint8_t>(i * 7 + 3);
    return m;
}

TEST(Iso15765Framing, MessagesSplitAndComeBackWhole) {
    struct Case { size_t length; uint8_t ptype; size_t frames; uint8_t lastDlc; };
    const Case cases[] = {
        {8, 0, 2, 3},       // 6 in the first frame, 2 in one consecutive frame
        {7, 1, 2, 4},       // N_AE, PCI and 2 bytes in the consecutive frame
        {258, 0, 37, 8},    // the page's default: 6 + 36 x 7
        {257, 1, 43, 8},    // 5 + 42 x 6
        {4095, 0, 586, 2},  // 6 + 584 x 7 + 1: sequence numbers wrap many times
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.length);
        const Bytes message = Message(c.length);
        const std::vector<CanPayload> frames = SegmentIso15765(message.data(), message.size(), c.ptype, 0x61);
        ASSERT_EQ(frames.size(), c.frames);
        EXPECT_EQ(frames.back().dlc, c.lastDlc);
        const size_t pciAt = c.ptype == 1 ? 1 : 0;
        EXPECT_EQ(frames[0].data[pciAt], 0x10 | (c.length >> 8));
        EXPECT_EQ(frames[0].data[pciAt + 1], c.length & 0xFF);
        for (size_t i = 1; i < frames.size(); ++i) {
            EXPECT_EQ(frames[i].data[pciAt], 0x20 | (i & 0x0F)) << i;
            if (c.ptype == 1) {
                EXPECT_EQ(frames[i].data[0], 0x61);
            }
        }
        Iso15765Reassembler r(c.ptype);
        for (const CanPayload& f : frames) r.Feed(f.data, f.dlc);
        EXPECT_EQ(r.GetState(), Iso15765Reassembler::State::Complete);
        EXPECT_EQ(r.Message(), message);
    }
}

TEST(Iso15765Framing, TooShortOrTooLongMessagesNeedNoFirstFrame) {
    const Bytes m = Message(4096);
    EXPECT_TRUE(SegmentIso15765(m.data(), 7, 0, 0).empty());  // a single frame holds 7
    EXPECT_TRUE(SegmentIso15765(m.data(), 6, 1, 0).empty());
    EXPECT_TRUE(SegmentIso15765(m.data(), 4096, 0, 0).empty());
}

TEST(Iso15765Framing, ReassemblyRefusesBrokenSequences) {
    const Bytes message = Message(40);
    struct Case {
        const char* name;
        uint8_t ptype;
        std::function<void(std::vector<CanPayload>&)> spoil;
    };
    const Case cases[] = {
        {"a consecutive frame skipped", 0, [](std::vector<CanPayload>& f) { f.erase(f.begin() + 2); }},
        {"two frames swapped", 0, [](std::vector<CanPayload>& f) { std::swap(f[1], f[2]); }},
        {"no first frame", 0, [](std::vector<CanPayload>& f) { f.erase(f.begin()); }},
        {"a middle frame cut short", 0, [](std::vector<CanPayload>& f) { f[2].dlc = 5; }},
        {"another N_AE midway", 1, [](std::vector<CanPayload>& f) { f[3].data[0] = 0x62; }},
        {"a flow control in the stream", 0, [](std::vector<CanPayload>& f) { f[1].data[0] = 0x30; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<CanPayload> frames = SegmentIso15765(message.data(), message.size(), c.ptype, 0x61);
        c.spoil(frames);
        Iso15765Reassembler r(c.ptype);
        for (const CanPayload& f : frames)
            if (r.Feed(f.data, f.dlc) == Iso15765Reassembler::State::Error) break;
        EXPECT_EQ(r.GetState(), Iso15765Reassembler::State::Error);
    }
}

}  // namespace
