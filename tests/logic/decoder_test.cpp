// Settings, the byte decoder and the byte-start walk, on captures built by hand and by the
// UART synthesiser.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "logic/LogicPage.h"
#include "logic/UartSynth.h"
#include "logic/WaveDecoder.h"

namespace {

using Samples = std::vector<uint32_t>;

LogicSettings Settings(unsigned baudRow, uint32_t parityMode) {
    LogicSettings s;
    s.parityMode = parityMode;
    ApplyLogicBaud(s, LogicBaudOfRow(baudRow));
    return s;
}

DecodedByte Decode(const Samples& samples, uint32_t i, const LogicSettings& s, uint32_t decodeStart = 0) {
    return WaveDecoder(samples.data(), static_cast<uint32_t>(samples.size()), s).DecodeByte(i, decodeStart);
}

// Every byte found walking the decoder from interval 0, as the paint's cursor does.
struct Found {
    std::vector<uint8_t> bytes;
    std::vector<uint32_t> starts;  // the cursor positions visited
    unsigned bad = 0;
};
Found Walk(const Samples& samples, const LogicSettings& s, uint32_t from = 0, uint32_t decodeStart = 0) {
    Found found;
    const WaveDecoder decoder(samples.data(), static_cast<uint32_t>(samples.size()), s);
    for (uint32_t i = from;;) {
        found.starts.push_back(i);
        const DecodedByte b = decoder.DecodeByte(i, decodeStart);
        if (b.code == ByteCode::End) break;
        if (b.code == ByteCode::Good || b.code == ByteCode::Bad) found.bytes.push_back(static_cast<uint8_t>(b.value));
        found.bad += b.code == ByteCode::Bad;
        i = b.next;
    }
    return found;
}

// Edges every 60 ticks (96 µs at 10400 baud) for the levels given, the line low first.
Samples EvenEdges(unsigned count, uint32_t spacing = 60) {
    Samples s;
    for (unsigned i = 0; i < count; ++i) s.push_back(i * spacing);
    return s;
}

TEST(LogicSettingsTest, BitAndFrameTimesFollowTheBaudChoiceAndTheParityInForceThen) {
    const struct {
        std::vector<uint32_t> parityBefore;  // radios chosen before the baud
        int baudRow;                         // -1: the baud is not chosen again
        uint32_t bit, bitMin, bitMax, frame, frameMin, frameMax;
    } cases[] = {
        {{}, 3, 96, 93, 99, 961, 932, 989},
        {{}, 4, 86, 84, 89, 868, 841, 894},
        {{ParityEven}, 3, 96, 93, 99, 1057, 1025, 1088},
        {{ParityOdd}, -1, 96, 93, 99, 961, 932, 989},
        {{ParityOdd, ParityLin}, 3, 96, 93, 99, 961, 932, 989},
        {{}, 0, 833, 808, 858, 8333, 8083, 8582},
    };
    for (const auto& c : cases) {
        LogicPage page;
        for (uint32_t mode : c.parityBefore) page.SelectParity(mode);
        if (c.baudRow >= 0) page.SelectBaud(static_cast<unsigned>(c.baudRow));
        const LogicSettings& s = page.View().settings;
        EXPECT_EQ((std::vector<uint32_t>{s.bitUs, s.bitUsMin, s.bitUsMax, s.frameUs, s.frameUsMin, s.frameUsMax}),
                  (std::vector<uint32_t>{c.bit, c.bitMin, c.bitMax, c.frame, c.frameMin, c.frameMax}))
            << "row " << c.baudRow;
    }
}

TEST(WaveDecoderTest, HandBuiltCapturesDecodeToTheirCodes) {
    const LogicSettings none = Settings(3, ParityNone), lin = Settings(3, ParityLin);
    Samples b55 = EvenEdges(11);  // 0x55, then a falling edge after the stop bit
    Samples b55NoTail = EvenEdges(10);
    Samples shortBit = b55;
    shortBit[2] = 110;  // bit 0 lasts 50 ticks (80 µs < 93)
    Samples longLow = {0, 2000, 2060, 2120};
    Samples framing = {0, 600, 700, 760};  // ten bit times low: no stop bit
    const struct {
        const char* name;
        const Samples& samples;
        uint32_t index;
        LogicSettings settings;
        uint32_t decodeStart;
        ByteCode code;
        uint32_t next;
        uint64_t value;
    } cases[] = {
        {"0x55", b55, 0, none, 0, ByteCode::Good, 9, 0x55},
        {"0x55 before its end arrived", b55NoTail, 0, none, 0, ByteCode::End, 0, 0},
        {"a short bit", shortBit, 0, none, 0, ByteCode::Bad, 9, 0x55},
        {"a high interval", b55, 9, none, 0, ByteCode::Gap, 10, 96 * 1},
        {"a long low", longLow, 0, none, 0, ByteCode::Gap, 1, 3200},
        {"a long low in LIN mode", longLow, 0, lin, 0, ByteCode::Break, 1, 3200},
        {"before the decode start", b55, 0, none, 2, ByteCode::BeforeStart, 1, 96},
        {"framing error", framing, 0, none, 0, ByteCode::Bad, 1, 0x00},
        {"the last sample", b55, 10, none, 0, ByteCode::End, 10, 0},
        {"past the samples", b55, 40, none, 0, ByteCode::End, 40, 0},
    };
    for (const auto& c : cases) {
        const DecodedByte b = Decode(c.samples, c.index, c.settings, c.decodeStart);
        EXPECT_EQ(b.code, c.code) << c.name;
        if (c.code == ByteCode::End) continue;
        EXPECT_EQ(b.next, c.next) << c.name;
        EXPECT_EQ(b.value, c.value) << c.name;
    }
    EXPECT_EQ(Decode(b55, 0, none).gapUs, 96u) << "the stop bit's high run";
    EXPECT_EQ(Decode(framing, 0, none).gapUs, 160u) << "the high run after the missing stop bit";
}

TEST(WaveDecoderTest, ParityBitsAreCheckedInOddAndEvenMode) {
    // A parity bit sent in one mode is right when read in that mode and wrong in the other.
    struct Case { uint8_t value; uint32_t sentWith, readAs; ByteCode code; };
    std::vector<Case> cases;
    for (uint8_t value : {0x00, 0x01, 0x03, 0x80, 0xFF})
        for (uint32_t sent : {ParityOdd, ParityEven})
            for (uint32_t read : {ParityOdd, ParityEven}) cases.push_back({value, sent, read, sent == read ? ByteCode::Good : ByteCode::Bad});
    for (const auto& c : cases) {
        UartSynth line(10400, c.sentWith);
        line.Idle(500);
        line.Byte(c.value);
        line.Idle(500);
        line.Break(0);
        const DecodedByte b = Decode(line.Samples(), 0, Settings(3, c.readAs));
        EXPECT_EQ(b.code, c.code) << int(c.value) << " sent " << c.sentWith << " read " << c.readAs;
        EXPECT_EQ(b.value, c.value);
    }
}

TEST(WaveDecoderTest, RandomBytesAtEveryBaudAndParityDecodeBack) {
    std::mt19937 random(7);
    for (unsigned row = 0; row < kLogicBaudLabels.size(); ++row) {
        for (uint32_t mode = ParityNone; mode <= ParityLin; ++mode) {
            const LogicSettings s = Settings(row, mode);
            // The chip's clock wraps inside the capture.
            UartSynth line(s.baud, mode == ParityLin ? ParityNone : mode, 0xFFFF0000u + random() % 0x10000);
            line.Idle(3 * s.bitUs);
            std::vector<uint8_t> sent;
            for (int i = 0; i < 300; ++i) {
                sent.push_back(static_cast<uint8_t>(random()));
                line.Byte(sent.back());
                line.Idle(random() % 3 == 0 ? 0 : random() % (4 * s.bitUs));  // back to back at times
            }
            line.Idle(s.bitUs);
            line.Break(0);  // the edge that completes the last byte
            const Found found = Walk(line.Samples(), s);
            EXPECT_EQ(found.bytes, sent) << kLogicBaudLabels[row] << " mode " << mode;
            EXPECT_EQ(found.bad, 0u);
            // Decoding from any screen stays in step with the bytes from the start.
            const WaveDecoder decoder(line.Samples().data(), static_cast<uint32_t>(line.Samples().size()), s);
            for (uint32_t first = 0; first < line.Samples().size(); first += 1 + random() % 8) {
                const uint32_t start = decoder.FindFirstByteStart(first);
                ASSERT_NE(std::find(found.starts.begin(), found.starts.end(), start), found.starts.end()) << first;
            }
        }
    }
}

TEST(WaveDecoderTest, FirstByteStartOnShortAndLeadingLowCaptures) {
    const LogicSettings s = Settings(3, ParityNone);
    UartSynth line(10400, ParityNone);
    line.Break(5000);  // a leading long low
    line.Idle(1000);
    line.Byte(0x81);
    line.Idle(1000);
    line.Break(0);
    const Samples& withLow = line.Samples();
    const struct { Samples samples; uint32_t firstShown; uint32_t expected; } cases[] = {
        {{}, 0, 0}, {{123}, 0, 0}, {withLow, 0, 2}, {withLow, 2, 2},
        {{0, 3000, 3060}, 0, 2},  // only a long low: stops where the samples end
    };
    for (const auto& c : cases) {
        const WaveDecoder decoder(c.samples.data(), static_cast<uint32_t>(c.samples.size()), s);
        EXPECT_EQ(decoder.FindFirstByteStart(c.firstShown), c.expected) << c.samples.size();
    }
}

// Random traffic: bytes with idle gaps (at times none), long lows and bursts of noise.
Samples Traffic(std::mt19937& random, const LogicSettings& s, int bytes) {
    UartSynth line(s.baud, ParityNone, random());
    line.Idle(2 * s.bitUs);
    for (int i = 0; i < bytes; ++i) {
        switch (random() % 12) {
        case 0:
            line.Break(s.frameUs * 2 + random() % 5000);
            line.Idle(s.bitUs + random() % 3000);
            break;
        case 1:
            for (int n = 0; n < 6; ++n) {  // glitches
                line.Break(random() % (2 * s.bitUs));
                line.Idle(random() % (2 * s.bitUs));
            }
            break;
        default:
            line.Byte(static_cast<uint8_t>(random()));
            line.Idle(random() % 2 ? 0 : random() % (3 * s.frameUs));
        }
    }
    line.Break(0);
    return line.Take();
}

TEST(WaveDecoderTest, ByteStartChainEqualsTheWalkForEveryScreenAsSamplesArrive) {
    std::mt19937 random(11);
    for (uint32_t mode : {ParityNone, ParityEven}) {
        const LogicSettings s = Settings(3, mode);
        const Samples all = Traffic(random, s, 400);
        ByteStartChain chain;
        // Grows the way a capture does: in replies of up to 66 samples.
        for (uint32_t count = 0; count <= all.size(); count += 1 + random() % 66) {
            const WaveDecoder decoder(all.data(), count, s);
            for (uint32_t first = 0; first <= count; ++first)
                ASSERT_EQ(chain.Find(all.data(), count, 1, s, first), decoder.FindFirstByteStart(first))
                    << "count " << count << " firstShown " << first;
        }
        EXPECT_GT(chain.Candidates(), 100u);
        // Other settings or other samples start a new chain.
        const LogicSettings other = Settings(0, mode);
        const WaveDecoder slow(all.data(), static_cast<uint32_t>(all.size()), other);
        for (uint32_t first = 0; first < all.size(); first += 37)
            EXPECT_EQ(chain.Find(all.data(), static_cast<uint32_t>(all.size()), 1, other, first),
                      slow.FindFirstByteStart(first));
        const Samples shifted(all.begin() + 1, all.end());
        const WaveDecoder shiftedDecoder(shifted.data(), static_cast<uint32_t>(shifted.size()), s);
        for (uint32_t first = 0; first < shifted.size(); first += 37)
            EXPECT_EQ(chain.Find(shifted.data(), static_cast<uint32_t>(shifted.size()), 2, s, first),
                      shiftedDecoder.FindFirstByteStart(first));
    }
}

bool SameByte(const DecodedByte& a, const DecodedByte& b) {
    return a.code == b.code && a.next == b.next && a.value == b.value && a.gapUs == b.gapUs;
}

TEST(WaveDecoderTest, KeptBytesEqualTheDecoderAsSamplesArriveAndAreForgottenForOtherSettingsOrSamples) {
    std::mt19937 random(23);
    for (uint32_t mode : {ParityNone, ParityOdd, ParityLin}) {
        const LogicSettings s = Settings(3, mode);
        const Samples all = Traffic(random, s, 300);
        DecodedBytes kept;
        kept.Use(1, s);
        // A byte cut off by the end of the samples is decoded again once they have arrived.
        for (uint32_t count = 0; count <= all.size(); count += 1 + random() % 66) {
            const WaveDecoder decoder(all.data(), count, s);
            const uint32_t decodeStart = count / 3;
            for (int pass = 0; pass < 2; ++pass)
                for (uint32_t i = 0; i < count; ++i)
                    ASSERT_TRUE(SameByte(kept.Decode(decoder, i, decodeStart), decoder.DecodeByte(i, decodeStart)))
                        << "mode " << mode << " count " << count << " interval " << i << " pass " << pass;
        }
        // Other settings, or other samples (a new generation), decode afresh.
        const uint32_t n = static_cast<uint32_t>(all.size());
        const LogicSettings slower = Settings(0, mode);
        kept.Use(1, slower);
        const WaveDecoder slow(all.data(), n, slower);
        for (uint32_t i = 0; i < n; ++i) ASSERT_TRUE(SameByte(kept.Decode(slow, i, 0), slow.DecodeByte(i, 0))) << i;
        const Samples shifted(all.begin() + 1, all.end());
        kept.Use(2, slower);
        const WaveDecoder other(shifted.data(), n - 1, slower);
        for (uint32_t i = 0; i + 1 < n; ++i) ASSERT_TRUE(SameByte(kept.Decode(other, i, 0), other.DecodeByte(i, 0))) << i;
    }
}

TEST(WaveDecoderTest, AnIntervalIsNarrowExactlyWhenItMakesNoPixel) {
    std::mt19937 random(3);
    for (uint32_t scale : {0u, 1u, 3u, 10u, 50u, 10000u, 4294967295u}) {
        std::vector<uint32_t> ticks = {0, 1, 1249, 1250, 1251, (1u << 29) - 1, 1u << 29, 4294967295u};
        for (uint32_t d = 1; d < 20; ++d) ticks.push_back(scale / 8 * d + d % 2);
        for (int i = 0; i < 2000; ++i) ticks.push_back(static_cast<uint32_t>(random()) >> (random() % 32));
        for (uint32_t t : ticks) {
            const uint32_t from = static_cast<uint32_t>(random());
            ASSERT_EQ(WaveDecoder::Narrow(from, from + t, scale), WaveDecoder::Pixels(from, from + t, scale) == 0)
                << scale << " " << t;
        }
    }
}

}  // namespace
