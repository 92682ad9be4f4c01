#pragma once
// The VW TP2.0 page without its widgets: the CAN image with its TP2.0 tail (timers, the
// engine's control block, CCF_DL, eight 11-bit frames and the message buffer), the tester
// and ECU presets, the download, Start / Stop / Send and the two requests (multi-frame,
// channel set-up).
//
// The keep-alive group is shown and edited, never sent. What the worker reads (the buffer,
// CCF_DL, the channel set-up, the first frame and the two answers) sits under one small
// lock; everything else belongs to the UI thread.
//
// Threads: UI thread, except TakeHandOver and AnswerFrame (the worker).
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>

#include "pages/can/CanDownload.h"
#include "pages/can/CanImage.h"
#include "pages/can/CanPageOps.h"
#include "pages/can/tp20/Tp20Worker.h"
#include "pages/shared/PageStatus.h"

extern const char* const kTp20ConnectedCaption;     // "CAN TP2.0 -- Device( %d ) Connected"
extern const char* const kTp20NotConnectedCaption;  // "CAN TP2.0 -- No device Connected"

constexpr size_t kTp20BaudRow = 1;  // "500  KBPS"
constexpr unsigned kTp20PresetTester = 0;
constexpr unsigned kTp20PresetEcu = 1;

// The TP2.0 tail of the image.
struct Tp20Tail {
    uint8_t control[4] = {};  // CTSFLTN|CHSFLTN, ACK|STM|IDM|BSM|BSIZ, 0x3A, 0
    uint8_t timeT1 = 0;       // x5 ms
    uint8_t timeT3 = 0;       // x100 us
    uint8_t timerTE = 0;      // x5 ms
};
constexpr uint8_t kTp20BsmBit = 0x10;  // control byte 1
constexpr uint8_t kTp20IdmBit = 0x20;
constexpr uint8_t kTp20StmBit = 0x40;
constexpr uint8_t kTp20AckBit = 0x80;

enum class Tp20Buffer {
    Single, ChannelSetup, ConnectionSetup, Ack, FirstFrame, KeepAlive, ChannelReply, ConnectionReply
};
constexpr size_t kTp20Buffers = 8;
// Decimal edits: BSIZ, T1, T3, T_E, CCF_DL, the keep-alive period.
enum class Tp20Decimal { Bsiz, T1, T3, TE, CcfDl, Period };

class Tp20Page : public Tp20HandOverSource {
public:
    Tp20Page();

    // kTp20PresetTester ("设置为诊断", the page opens on it) or kTp20PresetEcu
    // ("设置为ECU(0x1F)").
    void LoadDefaults(unsigned preset);

    const CanRegisterImage& Head() const { return head_; }
    CanRegisterImage& EditHead() { return head_; }
    const Tp20Tail& Tail() const { return tail_; }
    size_t BaudRow() const { return kTp20BaudRow; }
    EcanMessageBuffer Frame(Tp20Buffer which) const;
    uint8_t CcfDl() const;
    uint32_t BufferLength() const;
    bool KeepAliveEnabled() const { return keepAliveEnabled_; }
    uint32_t KeepAlivePeriod() const { return keepAlivePeriodMs_; }

    CanTimingView SelectBaud(size_t row);  // the row stays 1
    void SetProtocolBit(uint8_t mask, bool on) { SetCanBits(head_.cprocon, mask, on); }

    // --- frames ---
    void IdChanged(Tp20Buffer which, const std::string& text);  // 11-bit SID
    PageEditResult DataChanged(Tp20Buffer which, const std::string& text);
    std::string DataText(Tp20Buffer which) const;

    // --- message buffer ---
    PageEditResult BufferChanged(const std::string& text);
    std::string BufferText() const;

    // --- control block, timers, CCF_DL, keep-alive ---
    PageEditResult DecimalChanged(Tp20Decimal which, const std::string& text);
    uint32_t DecimalValue(Tp20Decimal which) const;
    void SetControlBit(uint8_t mask, bool on) { SetCanBits(tail_.control[1], mask, on); }
    void SetChsfltn(unsigned selection);
    void SetCtsfltn(unsigned selection);
    void SetKeepAliveEnabled(bool on) { keepAliveEnabled_ = on; }

    // --- operations ---
    CanDownloadList DownloadList() const;
    PageStartResult Start();
    void Stop() { StopCanPage(); }
    CanSendResult Send();
    // "启动多桢发送" and "开始建立通讯": the mode, then the request; false when refused.
    bool StartMultiFrame() { return Request(kTp20RequestMultiFrame); }
    bool StartConnection() { return Request(kTp20RequestChannel); }
    PageDeviceStatus RefreshDeviceStatus() const;

    Tp20HandOver TakeHandOver() const override;
    EcanMessageBuffer AnswerFrame(Tp20Answer answer) const override;

private:
    bool Request(uint32_t mode);

    CanRegisterImage head_;
    Tp20Tail tail_;
    bool keepAliveEnabled_ = true;
    uint32_t keepAlivePeriodMs_ = 800;
    // Read by the worker; written under mutex_.
    mutable std::mutex mutex_;
    EcanMessageBuffer frames_[kTp20Buffers];
    uint8_t ccfDl_ = 0;
    uint8_t buffer_[kCanLongMessageBytes] = {};
    uint32_t bufferLength_ = 0;
};
