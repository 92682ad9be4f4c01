#pragma once
// The ISO 9141-2 user-mode page without its widgets: every register of the engine in user
// frame mode (FMOD 011), a frame of raw bytes sent with or without a bus initialisation, a
// keep-alive frame on timer 1 and a cyclic re-send on timer 2.
//
// Frame: the data bytes, then while CHKSUM (UFRMV bit 3) is set their 8-bit sum, negated
// while CHKMOD (UFLENCON bit 3) is set. Word = byte count, bits 12-14 the init kind for
// "发送 初始化+数据桢", 0 for every other frame (timer frames included). Both checksums are
// computed from the bytes and bits as they are when a frame is built or shown, never kept.
//
// Threads: UI thread only.
#include <cstddef>
#include <cstdint>
#include <string>

#include "pages/kline/UartPageBase.h"

extern const char* const kUserModeConnectedCaption;  // holds one "%d"
extern const char* const kUserModeNotConnectedCaption;

constexpr size_t kUserModeMaxData = 255;
constexpr size_t kUserModeMaxKeepAlive = 16;

// Writes the bytes and, while CHKSUM is set, the checksum; returns the byte count.
size_t BuildUserModeFrame(const UartRegisterImage& image, const uint8_t* data, size_t count,
                          uint8_t* out);

struct UserModePageState {
    HexData<kUserModeMaxData> data{0x68, 0x6A, 0xF1, 0x01, 0x00};
    HexData<kUserModeMaxKeepAlive> keepAlive{0x68, 0x6A, 0xF1, 0x3E};
};

// The page's opening image.
extern const UartImageDefaults kUserModeImageDefaults;

class UserModePage : public UartPageBase {
public:
    explicit UserModePage(PageTimers& timers);

    void LoadDefaults();
    const UserModePageState& State() const { return state_; }

    PageEditResult DataChanged(std::string text);
    std::string DataText() const { return state_.data.Text(); }
    std::string DlcText() const { return std::to_string(state_.data.count); }
    std::string ChecksumText() const;  // "-" while CHKSUM is clear
    PageEditResult KeepAliveDataChanged(std::string text);
    std::string KeepAliveDataText() const { return state_.keepAlive.Text(); }
    std::string KeepAliveChecksumText() const;

    PageSendResult Send();
    PageSendResult SendWithInit();
    void OnTimer(int id);

private:
    PageSendResult Queue(const uint8_t* data, size_t count, uint8_t initType);
    PageSendResult SendAndStartTimers(uint8_t initType);

    UserModePageState state_;
};
