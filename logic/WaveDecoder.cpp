#include "logic/WaveDecoder.h"

#include <algorithm>

DecodedByte WaveDecoder::DecodeByte(uint32_t i, uint32_t decodeStart) const {
    DecodedByte r;
    r.next = i;
    if (i >= n_ || i + 1 >= n_) return r;
    uint64_t t = IntervalUs(i);
    const bool odd = (i & 1) != 0;
    if (t > set_.frameUsMax || odd) {
        r.code = (!odd && set_.parityMode == ParityLin) ? ByteCode::Break : ByteCode::Gap;
        r.next = i + 1;
        r.value = r.gapUs = t;
        return r;
    }
    if (i < decodeStart) {
        r.code = ByteCode::BeforeStart;
        r.next = i + 1;
        r.value = r.gapUs = t;
        return r;
    }

    bool low = true;
    uint64_t p = set_.bitUs + set_.bitUs / 2;
    uint32_t value = 0;
    bool ones = false;  // odd count of ones so far
    bool error = false;
    uint32_t cur = i;
    auto step = [&] {
        ++cur;
        if (cur + 1 >= n_) return false;
        low = !low;
        const uint64_t d = IntervalUs(cur);
        t += d;
        if (d < set_.bitUsMin) error = true;
        return true;
    };
    for (int b = 0; b < 8; ++b) {
        if (t < p && !step()) return r;
        if (!low) {
            value |= 1u << b;
            ones = !ones;
        }
        p += set_.bitUs;
    }
    if (t < p && !step()) return r;  // 9.5 bits: the parity bit, or the stop bit
    const bool parityBit = set_.parityMode == ParityOdd || set_.parityMode == ParityEven;
    if (set_.parityMode == ParityOdd) error |= ones == !low;
    if (set_.parityMode == ParityEven) error |= ones == low;
    if (parityBit && t < p + set_.bitUs) {  // the parity bit's interval ends before 10.5 bits
        ++cur;
        low = !low;
    }
    r.value = value;
    if (!low) {
        if (cur + 1 >= n_) return r;
        r.code = error ? ByteCode::Bad : ByteCode::Good;
        r.next = cur;
        r.gapUs = IntervalUs(cur);
    } else {  // no stop bit
        if (cur + 2 >= n_) return r;
        r.code = ByteCode::Bad;
        r.next = cur + 1;
        r.gapUs = IntervalUs(cur + 1);
    }
    return r;
}

void DecodedBytes::Use(uint32_t generation, const LogicSettings& settings) {
    const bool same = used_ && generation == generation_ && settings.bitUs == settings_.bitUs &&
                      settings.bitUsMin == settings_.bitUsMin && settings.frameUsMax == settings_.frameUsMax &&
                      settings.parityMode == settings_.parityMode;
    if (same) return;
    entries_.clear();
    used_ = true;
    generation_ = generation;
    settings_ = settings;
}

DecodedByte DecodedBytes::Decode(const WaveDecoder& decoder, uint32_t i, uint32_t decodeStart) {
    // Gaps, long lows and what lies before the start cost a look at one interval.
    if ((i & 1) || i < decodeStart) return decoder.DecodeByte(i, decodeStart);
    const size_t slot = i / 2;
    if (slot < entries_.size() && entries_[slot].length != 0) {
        const Entry e = entries_[slot];
        DecodedByte r;
        r.code = e.bad ? ByteCode::Bad : ByteCode::Good;
        r.next = i + e.length;
        r.value = e.value;
        r.gapUs = decoder.IntervalUs(r.next);
        return r;
    }
    const DecodedByte r = decoder.DecodeByte(i, decodeStart);
    // A byte whose end has not arrived (End) is decoded again later.
    if (r.code == ByteCode::Good || r.code == ByteCode::Bad) {
        if (slot >= entries_.size()) entries_.resize(slot + 1);
        entries_[slot] = Entry{static_cast<uint8_t>(r.next - i), static_cast<uint8_t>(r.code == ByteCode::Bad),
                               static_cast<uint8_t>(r.value)};
    }
    return r;
}

bool WaveDecoder::SkipLongLows(uint32_t& c) const {
    for (;;) {
        if (c >= n_ || c + 1 >= n_) return false;
        if (IntervalUs(c) <= set_.frameUsMax) return true;
        c += 2;
    }
}

bool WaveDecoder::NextHead(uint32_t& c) const {
    uint64_t t = IntervalUs(c);
    uint32_t h = c + 1;
    for (int pair = 0; pair < 5; ++pair) {
        if (h + 1 >= n_) return false;
        t += IntervalUs(h);
        if (t >= set_.frameUsMin) {  // the byte ended in this high phase
            c = h + 1;
            return true;
        }
        if (h + 2 >= n_) return false;
        const uint64_t low = IntervalUs(h + 1);
        if (low >= set_.frameUsMin || t + low >= set_.frameUsMin) {  // not a start
            c = h + 3;
            return true;
        }
        t += low;
        h += 2;
    }
    c += 20;
    return true;
}

uint32_t WaveDecoder::FindFirstByteStart(uint32_t firstShown) const {
    if (n_ < 2) return 0;
    uint32_t c = 0;
    while (SkipLongLows(c) && uint64_t{c} + 1 < firstShown && NextHead(c)) {
    }
    return c;
}

void ByteStartChain::Extend(const WaveDecoder& decoder) {
    uint32_t c = head_;
    for (;;) {
        if (!decoder.SkipLongLows(c)) break;
        if (candidates_.empty() || candidates_.back() != c) candidates_.push_back(c);
        if (!decoder.NextHead(c)) break;
    }
    head_ = c;
}

uint32_t ByteStartChain::Find(const uint32_t* samples, uint32_t count, uint32_t generation,
                              const LogicSettings& settings, uint32_t firstShown) {
    if (count < 2) return 0;
    if (!built_ || generation != generation_ || settings.frameUsMin != frameUsMin_ ||
        settings.frameUsMax != frameUsMax_ || count < count_) {
        built_ = true;
        generation_ = generation;
        frameUsMin_ = settings.frameUsMin;
        frameUsMax_ = settings.frameUsMax;
        candidates_.clear();
        head_ = 0;
        count_ = 0;
    }
    if (count != count_) {
        Extend(WaveDecoder(samples, count, settings));
        count_ = count;
    }
    // The walk stops at the first candidate c with c + 1 >= firstShown.
    const uint32_t from = firstShown > 0 ? firstShown - 1 : 0;
    const auto it = std::lower_bound(candidates_.begin(), candidates_.end(), from);
    return it != candidates_.end() ? *it : head_;
}
