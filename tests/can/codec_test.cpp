// The CAN layouts, the shared handlers and the ISO 15765 framing, without a device.
#include <gtest/gtest.h>

#include <functional>
#include <numeric>
#include <string>
#include <vector>

#include "pages/can/CanFrame.h"
#include "pages/can/CanImage.h"
#include "pages/can/Iso15765Frame.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Of(const CanFilterEntry& e) { return Bytes(e.bytes, e.bytes + 4); }
Bytes Of(const EcanMessageBuffer& b) { return Bytes(b.bytes, b.bytes + 16); }

TEST(CanCodec, FieldsLandInTheirBits) {
    struct Case {
        const char* name;
        std::function<void(CanRegisterImage&, EcanMessageBuffer&, std::string&)> act;
        std::function<void(const CanRegisterImage&, const EcanMessageBuffer&, const std::string&)> check;
    };
    const CanEntryRef f0{false, 0}, m1{true, 1};
    const Case cases[] = {
        {"125 KBPS keeps BRP 8",
         [](CanRegisterImage& im, EcanMessageBuffer&, std::string& shown) {
             im.cfg3 = 0xA8;  // bits 7:3 are not the row's
             shown = SelectCanBaudRow(im, 4).editable ? "editable" : "fixed";
         },
         [](const CanRegisterImage& im, const EcanMessageBuffer&, const std::string& shown) {
             EXPECT_EQ(im.cfg1, 0xC8);
             EXPECT_EQ(im.cfg2, 0xFC);
             EXPECT_EQ(im.cfg3, 0xAD);
             EXPECT_EQ(shown, "fixed");
         }},
        {"User-defined opens the timing controls on BRP 1",
         [](CanRegisterImage& im, EcanMessageBuffer&, std::string& shown) {
             const CanTimingView v = SelectCanBaudRow(im, kCanBaudRowUser);
             shown = (v.editable ? "editable " : "fixed ") + v.brpText + " " + std::to_string(v.sjw) +
                     std::to_string(v.seg2ph) + std::to_string(v.seg1ph) + std::to_string(v.prseg);
         },
         [](const CanRegisterImage& im, const EcanMessageBuffer&, const std::string& shown) {
             EXPECT_EQ(im.cfg1, 0xC1);
             EXPECT_EQ(shown, "editable 1 3574");
         }},
        {"18DAF100 in filter 0 with EXIDE kept",
         [f0](CanRegisterImage& im, EcanMessageBuffer&, std::string& shown) {
             SetCanFilterExide(im.filters[0], true);
             shown = CanId29Changed(im, f0, "18DA F100");
         },
         [f0](const CanRegisterImage& im, const EcanMessageBuffer&, const std::string& shown) {
             EXPECT_EQ(Of(im.filters[0]), (Bytes{0xCA, 0xC6, 0x00, 0xF1}));
             EXPECT_EQ(shown, "636");
             EXPECT_EQ(CanId29Text(im, f0), "18DAF100");
         }},
        {"7E8 in an 11-bit mask edit keeps the EID and the unnamed bits",
         [m1](CanRegisterImage& im, EcanMessageBuffer&, std::string& shown) {
             for (uint8_t& b : im.masks[1].bytes) b = 0xFF;
             CanSid11Changed(im, m1, "7E8");
             shown = CanSid11Text(im, m1) + " " + CanId29Text(im, m1);
         },
         [](const CanRegisterImage& im, const EcanMessageBuffer&, const std::string& shown) {
             EXPECT_EQ(Of(im.masks[1]), (Bytes{0x1F, 0xFD, 0xFF, 0xFF}));
             EXPECT_EQ(shown, "7E8 1FA3FFFF");
         }},
        {"FIFO on F7 fills the top nibble and reads back as FIFO",
         [](CanRegisterImage& im, EcanMessageBuffer&, std::string& shown) {
             SetCanBufferPointer(im, 7, 8);
             SetCanBufferPointer(im, 6, 3);
             im.bufferPointer[0] |= 0x00A00000;  // a nibble of 10 shows as FIFO too
             shown = std::to_string(CanBufferPointerSelection(im, 7)) +
                     std::to_string(CanBufferPointerSelection(im, 6)) +
                     std::to_string(CanBufferPointerSelection(im, 5));
         },
         [](const CanRegisterImage& im, const EcanMessageBuffer&, const std::string& shown) {
             EXPECT_EQ(im.bufferPointer[0], 0xF3A00000u);
             EXPECT_EQ(shown, "838");
         }},
        {"MSKSEL of filter 5 in byte 1 bits 3:2",
         [](CanRegisterImage& im, EcanMessageBuffer&, std::string& shown) {
             im.mskSel[1] = 0xFF;
             SetCanMaskSelect(im, 5, 1);
             shown = std::to_string(CanMaskSelect(im, 5)) + std::to_string(CanMaskSelect(im, 4));
         },
         [](const CanRegisterImage& im, const EcanMessageBuffer&, const std::string& shown) {
             EXPECT_EQ(im.mskSel[1], 0xF7);
             EXPECT_EQ(shown, "13");
         }},
        {"a standard RTR slot sets SRR and RTR",
         [](CanRegisterImage&, EcanMessageBuffer& slot, std::string& shown) {
             SingleFrameIdChanged(slot, "7DF");
             SetSingleFrameFormat(slot, 1);
             shown = EcanIdText(slot);
         },
         [](const CanRegisterImage&, const EcanMessageBuffer& slot, const std::string& shown) {
             EXPECT_EQ(Of(slot), (Bytes{0x7E, 0x1F, 0, 0, 0x00, 0x02, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
             EXPECT_TRUE(EcanIsRemote(slot));
             EXPECT_EQ(shown, "7DF");
         }},
        {"id FFFFFFFF keeps 29 bits, w0 bits 15:13 untouched",
         [](CanRegisterImage&, EcanMessageBuffer& slot, std::string& shown) {
             SetSingleFrameType(slot, 1);
             SingleFrameIdChanged(slot, "FFFFFFFF");
             shown = EcanIdText(slot);
         },
         [](const CanRegisterImage&, const EcanMessageBuffer& slot, const std::string& shown) {
             EXPECT_EQ(EcanWord(slot, 0), 0x1FFD);
             EXPECT_EQ(EcanWord(slot, 1), 0x0FFF);
             EXPECT_EQ(EcanWord(slot, 2), 0xFC00);
             EXPECT_EQ(shown, "1FFFFFFF");
         }},
        {"18DB33F1 as a 29-bit slot",
         [](CanRegisterImage&, EcanMessageBuffer& slot, std::string& shown) {
             shown = SetSingleFrameType(slot, 1);
             SingleFrameIdChanged(slot, "18DB33F1");
             SingleFrameDataChanged(slot, "02 01 00");
         },
         [](const CanRegisterImage&, const EcanMessageBuffer& slot, const std::string&) {
             EXPECT_EQ(Of(slot), (Bytes{0xD9, 0x18, 0xCF, 0x0C, 0x03, 0xC4, 2, 1, 0, 0, 0, 0, 0, 0, 0, 0}));
         }},
        {"switching the slot to 11-bit shows the SID alone",
         [](CanRegisterImage&, EcanMessageBuffer& slot, std::string& shown) {
             SetSingleFrameType(slot, 1);
             SingleFrameIdChanged(slot, "18DB33F1");
             shown = SetSingleFrameType(slot, 0);
         },
         [](const CanRegisterImage&, const EcanMessageBuffer& slot, const std::string& shown) {
             EXPECT_EQ(shown, "636");
             EXPECT_FALSE(EcanIsExtended(slot));
         }},
        {"mode radios keep CCTRL0's other bits",
         [](CanRegisterImage& im, EcanMessageBuffer&, std::string& shown) {
             im.cctrl0Mode = 0xF0;
             SetCanMode(im, 2);
             shown = std::to_string(CanModeRadio(im));
         },
         [](const CanRegisterImage& im, const EcanMessageBuffer&, const std::string& shown) {
             EXPECT_EQ(im.cctrl0Mode, 0xF3);
             EXPECT_EQ(shown, "2");
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CanRegisterImage image;
        EcanMessageBuffer slot;
        std::string shown;
        c.act(image, slot, shown);
        c.check(image, slot, shown);
    }
}

TEST(CanCodec, SharedEditsAnswerWithTheirMessages) {
    struct Case {
        const char* name;
        std::function<PageEditResult(CanRegisterImage&, EcanMessageBuffer&)> edit;
        bool rewrite;
        const char* text;
        const char* message;
        std::function<void(const CanRegisterImage&, const EcanMessageBuffer&)> stored;
    };
    const Case cases[] = {
        {"BRP 70 stores 6", [](CanRegisterImage& im, EcanMessageBuffer&) { return CanBrpChanged(im, "70"); },
         true, "6", "BRP 最大值为63",
         [](const CanRegisterImage& im, const EcanMessageBuffer&) { EXPECT_EQ(im.cfg1, 0xC6); }},
        {"BRP 63 silently", [](CanRegisterImage& im, EcanMessageBuffer&) { return CanBrpChanged(im, "63"); },
         false, "", "",
         [](const CanRegisterImage& im, const EcanMessageBuffer&) { EXPECT_EQ(im.cfg1, 0xFF); }},
        {"BRP negative reads 0", [](CanRegisterImage& im, EcanMessageBuffer&) { return CanBrpChanged(im, "-5"); },
         true, "0", "",
         [](const CanRegisterImage& im, const EcanMessageBuffer&) { EXPECT_EQ(im.cfg1, 0xC0); }},
        {"nine data bytes keep eight",
         [](CanRegisterImage&, EcanMessageBuffer& slot) { return SingleFrameDataChanged(slot, "0201000000000000FF"); },
         true, "02 01 00 00 00 00 00 00 ", "数据桢的总长度不可大于8字节!",
         [](const CanRegisterImage&, const EcanMessageBuffer& slot) {
             EXPECT_EQ(EcanDlc(slot), 8);
             EXPECT_EQ(CanFrameDataText(slot), "02 01 00 00 00 00 00 00 ");
         }},
        {"odd digits make a last byte alone",
         [](CanRegisterImage&, EcanMessageBuffer& slot) { return SingleFrameDataChanged(slot, "A B C"); },
         false, "", "",
         [](const CanRegisterImage&, const EcanMessageBuffer& slot) {
             EXPECT_EQ(EcanDlc(slot), 2);
             EXPECT_EQ(CanFrameDataText(slot), "AB 0C ");
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CanRegisterImage image;
        SelectCanBaudRow(image, 1);
        EcanMessageBuffer slot;
        const PageEditResult r = c.edit(image, slot);
        EXPECT_EQ(r.rewrite, c.rewrite);
        EXPECT_EQ(r.text, c.text);
        EXPECT_EQ(r.message, c.message);
        c.stored(image, slot);
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
