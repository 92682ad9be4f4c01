#pragma once
// The SAE J1939 page without its widgets: the CAN image with its J1939 tail (timers, the
// engine's control block, the transport-protocol frames and the message buffer), the
// identifier decoding of the single frame, the download, Start / Stop / Send and the
// multi-packet request.
//
// The page runs at a fixed 250 kbit/s, normal mode, two-wire, PTYPE J1939. What the worker
// reads at a hand-over (the RTS / BAM frame, the buffer and its length) sits under one small
// lock; everything else belongs to the UI thread.
//
// Threads: UI thread, except TakeHandOver (the worker).
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>

#include "pages/can/CanDownload.h"
#include "pages/can/CanImage.h"
#include "pages/can/CanPageOps.h"
#include "pages/can/CanWorker.h"
#include "pages/can/j1939/J1939Worker.h"
#include "pages/shared/PageStatus.h"

extern const char* const kJ1939ConnectedCaption;     // "J1939 -- Device( %d ) Connected"
extern const char* const kJ1939NotConnectedCaption;  // "J1939 -- No device Connected"
extern const char* const kJ1939TextTotal;            // " KM5804自动发送时，最大值为252，最小值为9"

constexpr size_t kJ1939BaudRow = 2;  // "250  KBPS"
constexpr uint32_t kJ1939MaxTotal = 252;
constexpr uint32_t kJ1939TotalReplacement = 9;

// The J1939 tail of the image.
struct J1939Tail {
    uint8_t control[4] = {};  // CJ1939CTRL: R1FLTN|R0FLTN, BSIZE, BAM|BSM|TXFLTN, 0
    uint8_t timeT2 = 0;       // x5 ms
    uint8_t timeT3 = 0;       // x5 ms
    uint8_t timeTr = 0;       // ms
    uint8_t timeTs = 0;       // ms
};
constexpr uint8_t kJ1939BsmBit = 0x10;  // control byte 2
constexpr uint8_t kJ1939BamBit = 0x20;

// The frames with J1939 identifiers besides the single frame.
enum class J1939Frame { Rts, Dt, Cts0, Cts1 };
// The DA / SA edits: the transport pair (RTS and DT together), CTS0 and CTS1.
enum class J1939Address { TpDa, TpSa, Cts0Da, Cts0Sa, Cts1Da, Cts1Sa };
// The control block's nibbles.
enum class J1939Nibble { R0fltn, R1fltn, Txfltn };

// "当前发送桢信息": the single frame's identifier, field by field.
struct J1939PduInfo {
    std::string format;  // "PDU1" / "PDU2"
    std::string priority, dp, pf, ge, da, sa, pgn;
};

// An edit that also changes a count shown elsewhere.
struct J1939CountResult {
    PageEditResult edit;
    std::string countText;
};

class J1939Page : public J1939HandOverSource {
public:
    J1939Page();

    // The image as the page opens; "设置为默认" does not call it.
    void LoadDefaults();

    const CanRegisterImage& Head() const { return head_; }
    CanRegisterImage& EditHead() { return head_; }
    const J1939Tail& Tail() const { return tail_; }
    size_t BaudRow() const { return kJ1939BaudRow; }
    const EcanMessageBuffer& SingleFrame() const { return singleFrame_; }
    EcanMessageBuffer FrameOf(J1939Frame which) const;
    bool FixedLength() const { return fixedLength_; }
    uint8_t FillValue() const { return fillValue_; }
    uint32_t BufferLength() const;

    // --- head fields this page handles itself (the rest is fixed) ---
    CanTimingView SelectBaud(size_t row);  // the row stays 2
    void SetProtocolBit(uint8_t mask, bool on) { SetCanBits(head_.cprocon, mask, on); }

    // --- single frame ---
    // "ID": 29-bit hex, the reserved bit cleared.
    void SingleIdChanged(const std::string& text);
    std::string SingleIdText() const { return EcanIdText(singleFrame_); }
    J1939PduInfo PduInfo() const;
    // "数据:": up to 8 bytes, then the fill up to 8 when the length is fixed.
    PageEditResult SingleDataChanged(const std::string& text);
    void SetFixedLength(bool on);
    void FillValueChanged(const std::string& text);

    // --- transport frames ---
    void SetPriority(J1939Frame which, unsigned priority);
    void AddressChanged(J1939Address which, const std::string& text);
    // "数据总长:": above 252 (negative text too) 9 with its message; the packet count text.
    J1939CountResult TotalChanged(const std::string& text);
    void PgnChanged(const std::string& text);
    // BAM on: control 0x20 and DA FF into RTS and DT; off: 0x10 and DA 00.
    void SetBam(bool on);
    std::string RtsDataText() const;
    uint32_t RtsTotal() const;

    // --- message buffer ---
    J1939CountResult BufferChanged(const std::string& text);
    // Seven bytes a line, one line per TP.DT packet.
    std::string BufferText() const;

    // --- control block and timers ---
    PageEditResult BsizeChanged(const std::string& text);
    PageEditResult TimerChanged(unsigned which, const std::string& text);  // T2, T3, Tr, Ts
    void SetNibble(J1939Nibble which, unsigned selection);
    void SetBsm(bool on) { SetCanBits(tail_.control[2], kJ1939BsmBit, on); }

    // --- operations ---
    CanDownloadList DownloadList() const;
    PageStartResult Start();
    void Stop() { StopCanPage(); }
    CanSendResult Send() { return SendCanFrame(singleFrame_); }
    // "启动多桢发送": nothing is built, the worker takes the frame and buffer as they stand.
    bool StartMultiFrame() { return RequestMultiFrame(); }
    PageDeviceStatus RefreshDeviceStatus() const;

    J1939HandOver TakeHandOver() const override;

private:
    EcanMessageBuffer& Frame(J1939Frame which);
    void PadSingleFrame();

    CanRegisterImage head_;
    J1939Tail tail_;
    EcanMessageBuffer singleFrame_;
    EcanMessageBuffer dtFrame_, cts0Frame_, cts1Frame_;
    bool fixedLength_ = true;
    uint8_t fillValue_ = 0xFF;
    // Read by the worker at a hand-over; written under mutex_.
    mutable std::mutex mutex_;
    EcanMessageBuffer rtsFrame_;
    uint8_t buffer_[kCanLongMessageBytes] = {};
    uint32_t bufferLength_ = 0;
};
