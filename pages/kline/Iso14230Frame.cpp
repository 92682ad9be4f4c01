#include "pages/kline/Iso14230Frame.h"

#include "monitor/HexText.h"
#include "pages/kline/UartImage.h"

uint8_t Iso14230Checksum(const uint8_t* bytes, size_t count) {
    uint8_t sum = 0;
    for (size_t i = 0; i < count; ++i) sum = static_cast<uint8_t>(sum + bytes[i]);
    return sum;
}

bool Iso14230HasAddress(uint8_t frameFormat) { return frameFormat != FormatNoAddress; }

bool Iso14230HasLengthByte(const Iso14230Frame& frame) {
    return frame.useLengthByte && frame.frameFormat != FormatCarb;
}

uint8_t Iso14230DerivedFmt(const Iso14230Frame& frame) {
    const bool len = Iso14230HasLengthByte(frame);
    switch (frame.frameFormat) {
    case FormatNoAddress:
        return len ? 0x00 : static_cast<uint8_t>(frame.dataCount & 0x3F);
    case FormatCarb:
        return frame.fmt;
    case FormatPhysical:
        return len ? 0x80 : static_cast<uint8_t>(0x80 | (frame.dataCount & 0x3F));
    default:
        // Not masked: a count above 63 spills into the address bits.
        return len ? 0xC0 : static_cast<uint8_t>(0xC0 | frame.dataCount);
    }
}

size_t BuildIso14230Frame(const Iso14230Frame& frame, uint8_t* out) {
    size_t n = 0;
    out[n++] = frame.fmt;
    if (Iso14230HasAddress(frame.frameFormat)) {
        out[n++] = frame.target;
        out[n++] = frame.source;
    }
    if (Iso14230HasLengthByte(frame)) out[n++] = frame.dataCount;
    for (size_t i = 0; i < frame.dataCount; ++i) out[n++] = frame.data[i];
    out[n] = Iso14230Checksum(out, n);
    return n + 1;
}

uint16_t Iso14230SendWord(size_t frameBytes, bool withInit, uint8_t initType) {
    return MakeFrameLengthWord(static_cast<uint16_t>(frameBytes), withInit ? initType : 0);
}

std::string UpdateChecksum(Iso14230Frame& frame) {
    uint8_t bytes[kIso14230MaxFrame];
    const size_t n = BuildIso14230Frame(frame, bytes);
    frame.checksum = bytes[n - 1];
    return HexByteText(frame.checksum);
}

Iso14230HeaderView UpdateHeaderFields(Iso14230Frame& frame) {
    Iso14230HeaderView view;
    view.targetText = HexByteText(frame.target);
    view.sourceText = HexByteText(frame.source);
    view.lengthCheckShown = frame.useLengthByte;
    switch (frame.frameFormat) {
    case FormatNoAddress:
        view.addressEnabled = false;
        view.targetText = "-";
        view.sourceText = "-";
        break;
    case FormatCarb:
        view.fmtEditable = true;
        view.lengthCheckEnabled = false;
        view.lengthCheckShown = false;
        frame.fmt = kIso14230CarbFmt;
        break;
    default:
        break;
    }
    frame.fmt = Iso14230DerivedFmt(frame);
    view.fmtText = HexByteText(frame.fmt);
    view.dlcText = std::to_string(frame.dataCount);
    view.checksumText = UpdateChecksum(frame);
    return view;
}

size_t BuildIso14230KeepAliveFrame(const Iso14230KeepAlive& keepAlive, uint8_t* out) {
    const size_t count = keepAlive.count > kIso14230MaxKeepAlive ? kIso14230MaxKeepAlive
                                                                 : keepAlive.count;
    for (size_t i = 0; i < count; ++i) out[i] = keepAlive.data[i];
    out[count] = Iso14230Checksum(out, count);
    return count + 1;
}
