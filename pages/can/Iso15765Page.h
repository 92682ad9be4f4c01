#pragma once
// The ISO 15765 page without its widgets: the CAN image with its ISO 15765 tail (flow-control
// channels, N_BS / N_ST / N_BR), the flow-control frames, the single frame, the multi-frame
// message with its first frame, the presets, the download, Start / Stop / Send and the link
// keep-alive (page timer 1).
//
// What the worker reads at a hand-over (the long message, its total length, PTYPE and the
// first frame) sits under one small lock; everything else belongs to the UI thread. The
// keep-alive ends with the session: Stop, the worker's own end (seen by RefreshDeviceStatus
// or a tick) and closing the page kill it.
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
#include "pages/shared/PageStatus.h"

constexpr int kIso15765KeepAliveTimer = 1;

extern const char* const kIso15765ConnectedCaption;     // "CAN -- Device( %d ) Connected"
extern const char* const kIso15765NotConnectedCaption;  // "CAN --No device Connected"
extern const char* const kIso15765KeepAliveStart;       // "启动链路保持"
extern const char* const kIso15765KeepAliveStop;        // "停止链路保持"

// The ISO 15765 tail of the image.
struct Iso15765Tail {
    uint8_t txfc[4] = {};   // LENM|FILTER, STM|BSM|BSIZE, N_AE_TX, N_AE_RX
    uint8_t rxfc0[4] = {};  // FILTER, BSIZE, N_AE_TX, 0
    uint8_t rxfc1[4] = {};
    uint8_t nBs = 0;        // x5 ms
    uint8_t nSt = 0;        // x100 us
    uint8_t nBr = 0;        // x100 us
};

struct Iso15765PageState {
    size_t baudRow = 1;
    EcanMessageBuffer singleFrame;
    bool fcExtendedId = false;
    EcanMessageBuffer flowControl[2];
    uint8_t fcNae[2] = {};
    uint8_t fcPci[2] = {};
    uint32_t fcDataLength[2] = {};
    uint8_t fcData[2][8] = {};
    uint8_t ffNae = 0;
    uint8_t ffPci = 0;
    uint8_t ffLengthByte = 0;
    uint8_t ffData[6] = {};
    uint32_t bufferCount = 0;
    bool keepAliveOn = false;
    std::string keepAlivePeriodText = "3000";
    std::string keepAliveIdText;
    unsigned keepAliveIdLimit = 3;
    std::string keepAliveDataText = "02 01 00";
};

// What the flow-control and first-frame panel shows.
struct Iso15765PanelView {
    bool fcExtendedId = false;
    std::string fcIdText[2];
    unsigned idLimit = 3;
    std::string fcDlcText[2];
    bool fcNaeEnabled = false;
    std::string fcNaeText[2];
    std::string fcPciText[2];
    std::string fcDataText[2];
    std::string ffIdText;
    std::string ffNaeText;
    std::string ffPciText;
    std::string ffLengthByteText;
    std::string lengthText;
    std::string ffDataText;
    std::string bufferText;
};

// An edit of the message buffer: its own rewrite / message, and the length edit's new text.
struct Iso15765BufferResult {
    PageEditResult edit;
    std::string lengthText;
};

class Iso15765Page : public Iso15765HandOverSource {
public:
    explicit Iso15765Page(PageTimers& timers);

    // 0 "设置为接收全部", 1 "置OBD2 11bits" (the page opens on it), 2 "置OBD2 29bits".
    void LoadDefaults(unsigned mode);

    const CanRegisterImage& Head() const { return head_; }
    // The head's fields that the worker never reads (PTYPE and the protocol bits go through
    // SetPtype / SetProtocolBit).
    CanRegisterImage& EditHead() { return head_; }
    const Iso15765Tail& Tail() const { return tail_; }
    const Iso15765PageState& State() const { return state_; }
    uint32_t TotalLength() const;
    const uint8_t* LongMessage() const { return longMessage_; }
    const EcanMessageBuffer& FirstFrame() const { return firstFrame_; }

    // --- head fields this page handles itself ---
    CanTimingView SelectBaud(size_t row);
    void SetProtocolBit(uint8_t mask, bool on);
    // PTYPE 0 / 1, then the panel refresh (flow-control data cut to 7 - PTYPE, length
    // to 258 - PTYPE).
    void SetPtype(unsigned selection);

    // --- flow-control channels and timers ---
    void SetTxfcBit(size_t byte, uint8_t mask, bool on);
    void SetChannelFilter(unsigned channel, unsigned selection);  // 0 TXFC, 1 RXFC0, 2 RXFC1
    PageEditResult TxfcBsizeChanged(const std::string& text);    // 0-63
    PageEditResult RxfcBsizeChanged(unsigned rx, const std::string& text);  // 0-255
    // TXFC N_AE_TX also sets the first frame's N_AE; returns its display text.
    std::string TxfcNaeTxChanged(const std::string& text);
    void TxfcNaeRxChanged(const std::string& text);
    void RxfcNaeTxChanged(unsigned rx, const std::string& text);
    PageEditResult TimerChanged(unsigned which, const std::string& text);  // N_BS, N_ST, N_BR

    // --- flow-control frames ---
    void SetFcExtendedId(bool extended);
    void FcIdChanged(unsigned k, const std::string& text);
    void FcNaeChanged(unsigned k, const std::string& text);
    void FcPciChanged(unsigned k, const std::string& text);
    PageEditResult FcDataChanged(unsigned k, const std::string& text);
    std::string FcDataText(unsigned k) const;
    std::string FcDlcText(unsigned k) const;

    // --- first frame and message ---
    void FfIdChanged(const std::string& text);
    PageEditResult FfDataChanged(const std::string& text);
    PageEditResult LengthChanged(const std::string& text);
    PageEditResult LengthLeft(const std::string& text);
    Iso15765BufferResult BufferChanged(const std::string& text);
    PageEditResult BufferLeft();
    std::string BufferText() const;

    // The flow-control and first-frame panel after PTYPE or the 11/29 choice changed.
    void RefreshIsoTpPanel();
    Iso15765PanelView Panel() const;

    // --- single frame ---
    EcanMessageBuffer& SingleFrame() { return state_.singleFrame; }

    // --- keep-alive fields ---
    void SetKeepAlivePeriodText(const std::string& text) { state_.keepAlivePeriodText = text; }
    void SetKeepAliveIdText(const std::string& text) { state_.keepAliveIdText = text; }
    void SetKeepAliveDataText(const std::string& text) { state_.keepAliveDataText = text; }

    // --- operations ---
    CanDownloadList DownloadList();  // fills the flow-control frames as it goes
    PageStartResult Start();
    void Stop();
    CanSendResult Send();
    // "启动多桢发送": builds the first frame and raises the request; false when refused.
    bool StartMultiFrame();
    // Switches the keep-alive; returns the button's new text.
    std::string ToggleKeepAlive();
    void OnTimer(int id);
    // Buttons and caption; with no worker of this page running the keep-alive ends.
    PageDeviceStatus RefreshDeviceStatus();
    bool KeepAliveButtonEnabled() const { return SessionLive(); }
    void Close() { EndSession(); }

    // The keep-alive frame as a tick sends it (ids of 4 characters and more are 29-bit).
    EcanMessageBuffer KeepAliveFrame() const;

    Iso15765HandOver TakeHandOver() const override;

private:
    uint32_t LengthLimit() const { return 258u - (CanPtype(head_) == 1 ? 1 : 0); }
    void SetTotalLength(uint32_t total);  // also PCI and length byte
    void EndSession();
    bool SessionLive() const;

    PageTimers& timers_;
    CanRegisterImage head_;
    Iso15765Tail tail_;
    Iso15765PageState state_;
    // Read by the worker at a hand-over; written under mutex_ (with head_.cprocon).
    mutable std::mutex mutex_;
    uint8_t longMessage_[kCanLongMessageBytes] = {};
    uint32_t totalLength_ = 0;
    EcanMessageBuffer firstFrame_;
    uint32_t session_ = 0;  // g_WorkerThread.Session() of the worker this page started
};
