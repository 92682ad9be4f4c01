// The J1939 and TP2.0 pages without widgets: identifiers, field rules with their messages,
// presets, the transport framings and which received frames the TP2.0 worker answers.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "pages/can/j1939/J1939Frame.h"
#include "pages/can/j1939/J1939Page.h"
#include "pages/can/tp20/Tp20Frame.h"
#include "pages/can/tp20/Tp20Page.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes DataOf(const EcanMessageBuffer& b) { return Bytes(EcanData(b), EcanData(b) + 8); }
uint32_t Id29(const EcanMessageBuffer& b) { return EcanIdAs(b, true); }
std::vector<uint8_t> Counting(size_t n, uint8_t from = 0) {
    std::vector<uint8_t> v(n);
    for (size_t i = 0; i < n; ++i) v[i] = static_cast<uint8_t>(from + i);
    return v;
}

std::string Repeated(const char* piece, int n) {
    std::string s;
    while (n-- > 0) s += piece;
    return s;
}

// An edit's answer: what the edit shows back ("" when nothing) and the message.
struct EditRow { const char* name; std::function<PageEditResult()> edit; std::string rewrite; std::string message; std::function<void()> check; };
void RunEditRows(const std::vector<EditRow>& rows, const std::function<void()>& reset) {
    for (const EditRow& r : rows) {
        SCOPED_TRACE(r.name);
        reset();
        const PageEditResult result = r.edit();
        EXPECT_EQ(result.rewrite ? result.text : std::string(), r.rewrite);
        EXPECT_EQ(result.message, r.message);
        r.check();
    }
}

TEST(J1939Page, IdentifierFieldsAndThePgn) {
    struct Case { const char* typed; const char* shown; J1939PduInfo info; };
    const Case cases[] = {
        {"18EA00F9", "18EA00F9", {"PDU1", "6", "0", "0xEA", "--", "0x00", "0xF9", "0x00EA00 ( 59904 )"}},
        {"18FEF100", "18FEF100", {"PDU2", "6", "0", "0xFE", "0xF1", "--", "0x00", "0x00FEF1 ( 65265 )"}},
        {"18EFFF00", "18EFFF00", {"PDU1", "6", "0", "0xEF", "--", "0xFF", "0x00", "0x00EF00 ( 61184 )"}},
        {"1FFFFFFF", "1DFFFFFF", {"PDU2", "7", "1", "0xFF", "0xFF", "--", "0xFF", "0x01FFFF ( 131071 )"}},
        {"0 3F0 00 01", "01F00001", {"PDU2", "0", "1", "0xF0", "0x00", "--", "0x01", "0x01F000 ( 126976 )"}},
    };
    J1939Page page;
    const J1939PduInfo opening = page.PduInfo();
    EXPECT_EQ(opening.pgn, "0x00EA00 ( 59904 )");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        page.SingleIdChanged(c.typed);
        EXPECT_EQ(page.SingleIdText(), c.shown);
        EXPECT_TRUE(EcanIsExtended(page.SingleFrame()));
        const J1939PduInfo i = page.PduInfo();
        EXPECT_EQ(std::vector<std::string>({i.format, i.priority, i.dp, i.pf, i.ge, i.da, i.sa, i.pgn}),
                  std::vector<std::string>({c.info.format, c.info.priority, c.info.dp, c.info.pf, c.info.ge,
                                            c.info.da, c.info.sa, c.info.pgn}));
    }
}

TEST(J1939Page, AddressEditsTouchOnlyTheirBitsAndFrames) {
    struct Case { J1939Address which; const char* text; uint32_t rts, dt, cts0, cts1; };
    const Case cases[] = {
        {J1939Address::TpDa, "33", 0x1CEC33F9, 0x1CEB33F9, 0x1CEC00F9, 0x1CEC00F9},
        {J1939Address::TpSa, "AB", 0x1CEC00AB, 0x1CEB00AB, 0x1CEC00F9, 0x1CEC00F9},
        {J1939Address::Cts0Da, "12", 0x1CEC00F9, 0x1CEB00F9, 0x1CEC12F9, 0x1CEC00F9},
        {J1939Address::Cts0Sa, "0 1", 0x1CEC00F9, 0x1CEB00F9, 0x1CEC0001, 0x1CEC00F9},
        {J1939Address::Cts1Da, "FE", 0x1CEC00F9, 0x1CEB00F9, 0x1CEC00F9, 0x1CECFEF9},
        {J1939Address::Cts1Sa, "34", 0x1CEC00F9, 0x1CEB00F9, 0x1CEC00F9, 0x1CEC0034},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        J1939Page page;
        const Bytes rtsData = DataOf(page.FrameOf(J1939Frame::Rts));
        page.AddressChanged(c.which, c.text);
        EXPECT_EQ(Id29(page.FrameOf(J1939Frame::Rts)), c.rts);
        EXPECT_EQ(Id29(page.FrameOf(J1939Frame::Dt)), c.dt);
        EXPECT_EQ(Id29(page.FrameOf(J1939Frame::Cts0)), c.cts0);
        EXPECT_EQ(Id29(page.FrameOf(J1939Frame::Cts1)), c.cts1);
        EXPECT_EQ(DataOf(page.FrameOf(J1939Frame::Rts)), rtsData);
        EXPECT_EQ(EcanDlc(page.FrameOf(J1939Frame::Dt)), 8);
    }
    J1939Page page;
    page.SetPriority(J1939Frame::Dt, 3);
    EXPECT_EQ(Id29(page.FrameOf(J1939Frame::Dt)), 0x0CEB00F9u);
    EXPECT_EQ(Id29(page.FrameOf(J1939Frame::Rts)), 0x1CEC00F9u);
}

TEST(J1939Page, FieldsStoreTheirValuesAndShowTheirMessages) {
    J1939Page page;
    auto rts = [&page] { return DataOf(page.FrameOf(J1939Frame::Rts)); };
    auto rtsWith = [](std::initializer_list<std::pair<int, uint8_t>> changes) {
        Bytes d{0x10, 0x17, 0x00, 0x04, 0xFF, 0xE3, 0xFE, 0x00};
        for (auto [i, v] : changes) d[i] = v;
        return d;
    };
    auto total = [&page](const char* t) { return [&page, t] { return page.TotalChanged(t).edit; }; };
    auto noEdit = [](std::function<void()> action) { return [action] { return action(), PageEditResult(); }; };
    // The RTS data, then the RTS and DT ids and the control block's byte 2.
    auto bam = [&] {
        return std::pair(rts(), std::vector<uint32_t>{Id29(page.FrameOf(J1939Frame::Rts)), Id29(page.FrameOf(J1939Frame::Dt)), page.Tail().control[2]});
    };
    const std::string totalMessage = kJ1939TextTotal;
    const std::vector<EditRow> rows = {
        {"total 253", total("253"), "9", totalMessage, [&] { EXPECT_EQ(rts(), rtsWith({{1, 9}, {3, 2}})); }},
        {"total -1", total("-1"), "9", totalMessage, [&] { EXPECT_EQ(rts(), rtsWith({{1, 9}, {3, 2}})); }},
        {"total 252", total("252"), "", "", [&] { EXPECT_EQ(rts(), rtsWith({{1, 252}, {3, 36}})); }},
        {"total 7", total("7"), "", "", [&] { EXPECT_EQ(rts(), rtsWith({{1, 7}, {3, 1}})); }},
        {"total 8", total("8"), "", "", [&] { EXPECT_EQ(rts(), rtsWith({{1, 8}, {3, 2}})); }},
        {"total 0", total("0"), "", "", [&] { EXPECT_EQ(rts(), rtsWith({{1, 0}, {3, 0}})); }},
        {"PGN 2FFFF", noEdit([&] { page.PgnChanged("2FFFF"); }), "", "", [&] { EXPECT_EQ(rts(), rtsWith({{5, 0xFF}, {6, 0xFF}, {7, 0x00}})); }},
        {"PGN 1FFFF", noEdit([&] { page.PgnChanged("1FFFF"); }), "", "", [&] { EXPECT_EQ(rts(), rtsWith({{5, 0xFF}, {6, 0xFF}, {7, 0x01}})); }},
        {"BAM on", noEdit([&] { page.SetBam(true); }), "", "",
         [&] { EXPECT_EQ(bam(), std::pair(rtsWith({{0, 0x20}}), (std::vector<uint32_t>{0x1CECFFF9, 0x1CEBFFF9, 0x20}))); }},
        {"BAM on and off", noEdit([&] { page.SetBam(true), page.SetBam(false); }), "", "",
         [&] { EXPECT_EQ(bam(), std::pair(rtsWith({}), (std::vector<uint32_t>{0x1CEC00F9, 0x1CEB00F9, 0x00}))); }},
        {"nine data bytes", [&] { page.SetFixedLength(false); return page.SingleDataChanged("01 02 03 04 05 06 07 08 09"); },
         "01 02 03 04 05 06 07 08 ", "数据桢的总长度不可大于8字节!",
         [&] { EXPECT_EQ(EcanDlc(page.SingleFrame()), 8); }},
        {"fixed length pads with the fill value", [&] { return page.FillValueChanged("AA"), page.SingleDataChanged("01 02 03"); }, "", "",
         [&] { EXPECT_EQ((std::pair<Bytes, int>(DataOf(page.SingleFrame()), EcanDlc(page.SingleFrame()))), (std::pair<Bytes, int>({1, 2, 3, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA}, 8))); }},
        {"short data without fixed length", [&] { page.SetFixedLength(false); return page.SingleDataChanged("01 02 03"); },
         "", "", [&] { EXPECT_EQ(EcanDlc(page.SingleFrame()), 3); }},
        {"257 buffer bytes", [&] { return page.BufferChanged(std::string(257 * 2, '1')).edit; },
         Repeated("11 ", 256), "缓冲区数据长度不可大于256字节!", [&] { EXPECT_EQ(page.BufferLength(), 256u); }},
        {"ten buffer bytes, seven a line", [&] { return page.BufferChanged("00010203040506070809").edit; }, "", "",
         [&] { EXPECT_EQ(page.BufferText(), "00 01 02 03 04 05 06 \n07 08 09 "); }},
        {"BSIZE 256", [&] { return page.BsizeChanged("256"); }, "255", "BSIZE 最大值为255", [&] { EXPECT_EQ(page.Tail().control[1], 255); }},
        {"BSIZE -1", [&] { return page.BsizeChanged("-1"); }, "0", "", [&] { EXPECT_EQ(page.Tail().control[1], 0); }},
        {"T2 300", [&] { return page.TimerChanged(0, "300"); }, "255", " 最大值为255", [&] { EXPECT_EQ(page.Tail().timeT2, 255); }},
        {"Ts 7", [&] { return page.TimerChanged(3, "7"); }, "", "",
         [&] { EXPECT_EQ(std::pair(page.Tail().timeTs, page.Tail().timeTr), (std::pair<uint8_t, uint8_t>(7, 100))); }},
    };
    RunEditRows(rows, [&] {
        page.LoadDefaults();
        page.SetFixedLength(true);
        page.FillValueChanged("FF");
    });
}

TEST(Tp20Page, FieldsStoreTheirValuesAndShowTheirMessages) {
    Tp20Page page;
    auto dec = [&page](Tp20Decimal d, const char* t) { return [&page, d, t] { return page.DecimalChanged(d, t); }; };
    auto value = [&page](Tp20Decimal d, uint32_t v) { return [&page, d, v] { EXPECT_EQ(page.DecimalValue(d), v); }; };
    const std::string bsiz = "BSIZ 值为0-15间", ccf = "最大有效值 252字节", period = "链路时间应设在100ms-1000ms间";
    const std::vector<EditRow> rows = {
        {"BSIZ 0", dec(Tp20Decimal::Bsiz, "0"), "15", bsiz, value(Tp20Decimal::Bsiz, 15)},
        {"BSIZ 1", dec(Tp20Decimal::Bsiz, "1"), "", "", value(Tp20Decimal::Bsiz, 1)},
        {"BSIZ 15", dec(Tp20Decimal::Bsiz, "15"), "", "", value(Tp20Decimal::Bsiz, 15)},
        {"BSIZ 16", dec(Tp20Decimal::Bsiz, "16"), "15", bsiz, value(Tp20Decimal::Bsiz, 15)},
        {"BSIZ -3", dec(Tp20Decimal::Bsiz, "-3"), "15", bsiz, value(Tp20Decimal::Bsiz, 15)},
        {"CCF_DL 253", dec(Tp20Decimal::CcfDl, "253"), "252", ccf, value(Tp20Decimal::CcfDl, 252)},
        {"CCF_DL 0", dec(Tp20Decimal::CcfDl, "0"), "", "", value(Tp20Decimal::CcfDl, 0)},
        {"T_E -1", dec(Tp20Decimal::TE, "-1"), "0", "", value(Tp20Decimal::TE, 0)},
        {"T3 256", dec(Tp20Decimal::T3, "256"), "255", " 最大值为255", value(Tp20Decimal::T3, 255)},
        {"period 0", dec(Tp20Decimal::Period, "0"), "800", period, value(Tp20Decimal::Period, 800)},
        {"period 1", dec(Tp20Decimal::Period, "1"), "", "", value(Tp20Decimal::Period, 1)},
        {"period 1001", dec(Tp20Decimal::Period, "1001"), "800", period, value(Tp20Decimal::Period, 800)},
        {"nine data bytes", [&] { return page.DataChanged(Tp20Buffer::ChannelSetup, "1F C0 00 10 00 03 01 02 03"); },
         "1F C0 00 10 00 03 01 02 ", "数据桢的总长度不可大于8字节!",
         [&] { EXPECT_EQ(EcanDlc(page.Frame(Tp20Buffer::ChannelSetup)), 8); }},
        {"an ID edit sets the SID only", [&] { page.IdChanged(Tp20Buffer::Ack, "7FF"); return PageEditResult(); }, "", "",
         [&] {
             EXPECT_EQ(EcanIdText(page.Frame(Tp20Buffer::Ack)), "7FF");
             EXPECT_EQ(DataOf(page.Frame(Tp20Buffer::Ack))[0], 0xB0);
         }},
        {"257 buffer bytes", [&] { return page.BufferChanged(std::string(257 * 2, '2')); }, Repeated("22 ", 256),
         "缓冲区数据长度不可大于256字节!", [&] { EXPECT_EQ(page.BufferLength(), 256u); }},
    };
    RunEditRows(rows, [&] { page.LoadDefaults(kTp20PresetTester); });
}

TEST(Tp20Page, PresetsPutTheTesterOrTheEcuOnItsIdentifiers) {
    struct Case { unsigned preset; uint16_t f0, f1, own; };
    const Case cases[] = {{kTp20PresetTester, 0x300, 0x21F, 0x32E}, {kTp20PresetEcu, 0x32E, 0x200, 0x300}};
    Tp20Page page;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.preset);
        page.DecimalChanged(Tp20Decimal::Period, "500");
        page.LoadDefaults(c.preset);
        EXPECT_EQ(CanFilterSid(page.Head().filters[0]), c.f0);
        EXPECT_EQ(CanFilterSid(page.Head().filters[1]), c.f1);
        for (Tp20Buffer b : {Tp20Buffer::Single, Tp20Buffer::Ack, Tp20Buffer::FirstFrame, Tp20Buffer::KeepAlive})
            EXPECT_EQ(EcanId(page.Frame(b)), c.own);
        EXPECT_EQ(EcanId(page.Frame(Tp20Buffer::ConnectionSetup)), 0x32Eu) << "stays the tester's";
        EXPECT_EQ(EcanId(page.Frame(Tp20Buffer::ChannelSetup)), 0x200u);
        EXPECT_EQ(page.KeepAlivePeriod(), 500u) << "presets leave the keep-alive group";
    }
}

TEST(TransportFraming, J1939PacketsSplitAndComeBackWhole) {
    for (size_t length : {1u, 7u, 8u, 23u, 252u, 256u}) {
        SCOPED_TRACE(length);
        const std::vector<uint8_t> message = Counting(length, 0x40);
        const std::vector<CanPayload> packets = BuildJ1939DataPackets(message.data(), length);
        ASSERT_EQ(packets.size(), J1939PacketCount(static_cast<uint32_t>(length)));
        const CanPayload& last = packets.back();
        EXPECT_EQ(last.data[0], packets.size());
        const size_t tail = length - (packets.size() - 1) * 7;
        for (size_t i = 1 + tail; i < 8; ++i) EXPECT_EQ(last.data[i], 0xFF) << "padding at " << i;
        J1939Reassembler r(static_cast<uint32_t>(length));
        for (const CanPayload& p : packets) r.Feed(p.data, p.dlc);
        ASSERT_EQ(r.GetState(), J1939Reassembler::State::Complete);
        EXPECT_EQ(r.Message(), message);
    }
    const std::vector<uint8_t> message = Counting(23);
    const std::vector<CanPayload> p = BuildJ1939DataPackets(message.data(), message.size());
    struct Broken { const char* name; std::vector<size_t> order; size_t shortAt; };
    const Broken broken[] = {{"out of order", {0, 2, 1, 3}, 9}, {"a short packet", {0, 1, 2, 3}, 1},
                             {"a packet past the count", {0, 1, 2, 3, 3}, 9}};
    for (const Broken& b : broken) {
        SCOPED_TRACE(b.name);
        J1939Reassembler r(23);
        for (size_t i = 0; i < b.order.size(); ++i) r.Feed(p[b.order[i]].data, i == b.shortAt ? 7 : 8);
        EXPECT_EQ(r.GetState(), J1939Reassembler::State::Error);
    }
}

TEST(TransportFraming, Tp20FramesContinueTheFirstFramesSequence) {
    const uint8_t first[8] = {0x21, 0x00, 0xEF, 0x01, 0x02, 0x03, 0x04, 0x05};
    for (size_t count : {0u, 1u, 7u, 8u, 234u, 252u}) {
        SCOPED_TRACE(count);
        const std::vector<uint8_t> message = Counting(count, 6);
        const std::vector<CanPayload> frames = BuildTp20DataFrames(first[0], message.data(), count);
        ASSERT_EQ(frames.size(), (count + 6) / 7);
        for (size_t i = 0; i < frames.size(); ++i) {
            EXPECT_EQ(frames[i].data[0] & 0x0F, (2 + i) & 0x0F) << i;
            EXPECT_EQ(frames[i].data[0] >> 4, i + 1 == frames.size() ? kTp20LastAck : kTp20MoreNoAck) << i;
        }
        Tp20Reassembler r;
        r.FeedFirst(first, 8);
        for (const CanPayload& f : frames) r.Feed(f.data, f.dlc);
        if (count == 0) continue;
        ASSERT_EQ(r.GetState(), Tp20Reassembler::State::Complete);
        std::vector<uint8_t> expected(first + 1, first + 8);
        expected.insert(expected.end(), message.begin(), message.end());
        EXPECT_EQ(r.Message(), expected);
    }
    const std::vector<uint8_t> message = Counting(30);
    const std::vector<CanPayload> frames = BuildTp20DataFrames(0x21, message.data(), message.size());
    Tp20Reassembler skipped;
    skipped.FeedFirst(first, 8);
    skipped.Feed(frames[1].data, frames[1].dlc);
    EXPECT_EQ(skipped.GetState(), Tp20Reassembler::State::Error);
    Tp20Reassembler headless;
    EXPECT_EQ(headless.Feed(frames[0].data, frames[0].dlc), Tp20Reassembler::State::Error);
}

TEST(Tp20Answers, OnlyTheSetUpFramesOfTheBusAreAnswered) {
    // w0 = SID << 2 | IDE, w1 = tag << 12 | EID17:6, w2 = DLC.
    auto record = [](uint16_t sid, bool ide, uint8_t tag, uint8_t dlc, Bytes data) {
        Bytes r(16, 0);
        const uint16_t w0 = static_cast<uint16_t>(sid << 2 | (ide ? 1 : 0));
        r[0] = static_cast<uint8_t>(w0);
        r[1] = static_cast<uint8_t>(w0 >> 8);
        r[3] = static_cast<uint8_t>(tag << 4);
        r[4] = dlc;
        std::copy(data.begin(), data.end(), r.begin() + 6);
        return r;
    };
    struct Case { const char* name; Bytes record; Tp20Answer answer; };
    const Case cases[] = {
        {"channel set-up 200 1F C0", record(0x200, false, 0, 7, {0x1F, 0xC0}), Tp20Answer::ChannelSetup},
        {"200 1F C1", record(0x200, false, 0, 7, {0x1F, 0xC1}), Tp20Answer::None},
        {"201 1F C0", record(0x201, false, 0, 7, {0x1F, 0xC0}), Tp20Answer::None},
        {"200 1F C0 with DLC 1", record(0x200, false, 0, 1, {0x1F, 0xC0}), Tp20Answer::None},
        {"29-bit lookalike", record(0x200, true, 0, 8, {0x1F, 0xC0}), Tp20Answer::ChannelSetup},
        {"32E A0", record(0x32E, false, 0, 6, {0xA0}), Tp20Answer::ConnectionSetup},
        {"32E A3", record(0x32E, false, 0, 1, {0xA3}), Tp20Answer::ConnectionSetup},
        {"32E A1", record(0x32E, false, 0, 6, {0xA1}), Tp20Answer::None},
        {"32E A0 with DLC 0", record(0x32E, false, 0, 0, {0xA0}), Tp20Answer::None},
        {"error flags", record(0x200, false, 3, 7, {0x1F, 0xC0}), Tp20Answer::None},
        {"a J1850 tag", record(0x32E, false, 2, 6, {0xA0}), Tp20Answer::None},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Tp20AnswerFor(c.record.data()), c.answer);
    }
}

}  // namespace
