#pragma once
// The J1850 page (VPW or PWM) without its widgets: the register image and the transmit
// record with their field handlers, the filter and IFR-control lists, the presets, Start /
// Stop / Send, the keep-alive frame and the register read-back.
//
// The header length H of the transmit record is 1 in the one-byte header format (JCON0 bit 0,
// kept equal to the record's flags bit 3) or with the H bit of frame byte 0, else 3. The
// length nibble is at least H + 1 (header and CRC); the data are frame bytes H .. length - 2.
//
// The keep-alive timer belongs to the session this page's Start began: Stop, the worker's own
// end (seen by RefreshDeviceStatus or a tick) and closing the page kill it, so a hidden page
// never feeds frames to another page's worker.
//
// Threads: UI thread only. Messages go through platform::ShowMessage.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "pages/j1850/J1850Frame.h"
#include "pages/j1850/J1850Image.h"
#include "pages/shared/FieldText.h"
#include "pages/shared/PageOps.h"
#include "pages/shared/PageSession.h"
#include "pages/shared/PageStatus.h"

constexpr int kJ1850KeepAliveTimer = kPageKeepAliveTimer;
constexpr size_t kJ1850GridColumns = 9;

extern const char* const kJ1850TextDataTooLong;     // "数据桢的总长度(Header+data+crc)不可大于12字节!"
extern const char* const kJ1850TextIfr3TooLong;     // "IFR3 Buffer最长缓冲区为10字节!"
extern const char* const kJ1850TextIdBuffTooLong;   // "IFR 的ID缓冲区为8字节!"
extern const char* const kJ1850TextReadBackFailed;  // "读寄存器错误!"
extern const char* const kJ1850KeepAliveOn;         // "启动链路保持"
extern const char* const kJ1850KeepAliveOff;        // "停止链路保持"

// The header-bit grid: column 0 "x" (hidden), columns 1-8 bits 7 ... 0 as "1" / "0"; all "-"
// in the one-byte header format.
using J1850GridCells = std::array<std::string, kJ1850GridColumns>;
J1850GridCells J1850GridOf(uint8_t headerByte, bool oneByteFormat);
// A cell counts as 1 when its text holds a "1"; column 1 is bit 7.
uint8_t J1850GridByte(const J1850GridCells& cells);
// A click on column 1-8 (a cell or its title): "1" becomes "0", anything else "1". Returns the
// new byte; other columns change nothing.
uint8_t J1850GridToggle(J1850GridCells& cells, size_t column);

// What the header, Target / Source, DLC and data controls show.
struct J1850HeaderView {
    bool oneByteFormat = false;
    J1850GridCells grid;
    std::string header;
    std::string target;
    std::string source;
    bool addressesEnabled = false;
    std::string dlc;
    std::string data;
};

enum class J1850FilterKind { Physical = 0, Functional = 1, HeadId = 2 };

// The selection of one YZZ row's combos, or of the IDIFRCON editor's; -1 means no selection.
enum class J1850IfrField { Ifrt, Nb, Idsel, Ifr3sel };

struct J1850KeepAliveView {
    bool enabled = false;
    std::string caption;
};

struct J1850PageStatus {
    PageDeviceStatus device;
    J1850KeepAliveView keepAlive;
};


class J1850Page {
public:
    J1850Page(bool pwm, PageTimers& timers);

    // Opening: default record and keep-alive text, receive-all image, keep-alive off.
    void Open();
    bool Pwm() const { return pwm_; }
    const J1850RegisterImage& Image() const { return image_; }
    J1850RegisterImage& Image() { return image_; }
    const J1850FrameRecord& Record() const { return record_; }
    unsigned HeaderLength() const;
    const std::string& DefaultKeepAliveText() const { return defaultKeepAlive_; }

    // --- transmit record ---
    J1850HeaderView HeaderView() const;
    J1850HeaderView HeaderByteChanged(const std::string& text);
    // The grid's byte: frame byte 0, then the rule of a typed header byte.
    J1850HeaderView OnHeaderByteChanged(uint8_t byte);
    void TargetChanged(const std::string& text);
    void SourceChanged(const std::string& text);
    J1850HeaderView SetOneByteFormat(bool oneByte);
    // Data typed: rewrite/message when the frame would pass 12 bytes; the DLC follows.
    PageEditResult DataChanged(std::string text);
    std::string DataText() const;

    // --- image fields ---
    void YzzChanged(size_t y, J1850IfrField field, int selection);
    int YzzSelection(size_t y, J1850IfrField field) const;
    // The two IFR3 texts as they show after the CRC check changed.
    void Ifr3CrcChanged(bool on);
    PageEditResult Ifr3Changed(int buffer, std::string text);
    std::string Ifr3Text(int buffer) const;
    std::string Ifr3LengthText(int buffer) const;
    PageEditResult IdBuffChanged(std::string text);
    std::string IdBuffText() const;

    // --- filter addresses and IFR control entries ---
    void SetFilterKind(J1850FilterKind kind) { filterKind_ = kind; }
    J1850FilterKind FilterKind() const { return filterKind_; }
    bool AddFilterAddress(const std::string& text);
    // selections[k]: the selected rows of list k (physical, functional, head ID).
    bool RemoveFilterAddresses(const std::array<std::vector<int>, 3>& selections);
    const std::vector<std::string>& FilterList(J1850FilterKind kind) const {
        return filterLists_[static_cast<size_t>(kind)];
    }
    bool AddIfrEntry(const std::string& idText, int ifrt, int idsel, int ifr3sel, int nb);
    bool RemoveIfrEntries(const std::vector<int>& selected);
    const std::vector<std::string>& IfrList() const { return ifrList_; }

    // Preset 0 receive-all, 1 SAE OBD2, then UpdateControls.
    void Preset(int mode);
    // Rebuilds the lists from the image and keeps the record's one-byte flag with JCON0.
    void UpdateControls();

    // --- operations ---
    PageStartResult Start(void* hub);
    void Stop();
    PageSendResult Send();
    // 1271: on with the period text (decimal, at least 10 ms), or off.
    void ToggleKeepAlive(const std::string& periodText);
    void OnTimer(int id, const std::string& keepAliveText);
    J1850PageStatus RefreshDeviceStatus();
    void Close() { EndSession(); }
    bool KeepAliveOn() const { return session_.KeepAliveActive(); }

    // Reads registers and blocks back into the image; false after the step's message (or
    // while a worker runs, which shares the packet buffers).
    bool ReadBackRegisters();

private:
    void EndSession() { session_.End(); }
    void RaiseLength(uint8_t atLeast);
    uint8_t* Ifr3Buffer(int buffer);
    const uint8_t* Ifr3Buffer(int buffer) const;
    uint8_t& Ifr3Length(int buffer);
    uint8_t Ifr3Length(int buffer) const;

    const bool pwm_;
    J1850RegisterImage image_;
    J1850FrameRecord record_;
    J1850FilterKind filterKind_ = J1850FilterKind::Physical;
    std::array<std::vector<std::string>, 3> filterLists_;
    std::vector<std::string> ifrList_;
    std::string defaultKeepAlive_;
    PageSession session_;  // begun by this page's Start
};

// Caption texts by the page's bus.
std::string J1850ConnectedCaption(bool pwm);
std::string J1850NotConnectedCaption(bool pwm);
