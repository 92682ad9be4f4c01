#pragma once
// The LIN page without its widgets: the image with the ID table and LACKB0-3, the eight
// slave rows its worker answers headers from, the master frame with the checksum it shows,
// and the ID-table editor's rules.
//
// The master frame is [ID, data] with word DLC + 1, or [ID] with word 1 when the ID's SRP
// bit is set (a slave answers). ID_LEN comes from the ID's LENC and caps the data; leaving
// the data edit (or changing the ID) pads the data to ID_LEN with zeros. The checksum is
// shown only: the chip adds its own.
//
// Threads: UI thread only; the slave rows are also read by the LIN worker (LinSlaveRows).
#include <cstddef>
#include <cstdint>
#include <string>

#include "pages/kline/UartImage.h"
#include "pages/kline/UartPageOps.h"
#include "pages/kline/lin/LinFrame.h"

extern const char* const kLinConnectedCaption;     // holds one "%d"
extern const char* const kLinNotConnectedCaption;
extern const char* const kLinTextIdRange;          // "有效ID应为0-63"
extern const char* const kLinTextBufferLength;     // LACKB and slave data: 8 bytes
extern const char* const kLinTextDataTooLong;      // free length: 255 bytes
extern const char* const kLinTextDataAboveIdLength;  // holds one "%d"
extern const char* const kLinTextAutoBaud;         // shown when LAB is checked
extern const char* const kLinTextEditorWhileRunning;
extern const char* const kLinTextRangeReversed;    // editor: FROM above TO

constexpr size_t kLinMaxData = 255;

struct LinMasterFrame {
    uint8_t ID = 48;
    int32_t DLC = 8;
    int32_t ID_LEN = 0;
    uint8_t data[256] = {};
    uint8_t checksum = 0;
};

// What the master group shows after a change.
struct LinMasterView {
    std::string dlcText;
    std::string checksumText;  // "%.2X"
    std::string idLenText;
    bool dataEnabled = true;   // the data edit, unless the ID's SRP bit is set
};

// "0-63" fields: saturating decimal, compared unsigned, above 63 stores 63 with the message.
FieldResult ValidateLinId(const std::string& text);

void LoadLinImageDefaults(UartRegisterImage& image);

class LinPage {
public:
    LinPage() { LoadDefaults(); }

    void LoadDefaults();
    const UartRegisterImage& Image() const { return image_; }
    UartRegisterImage& Image() { return image_; }
    uint8_t* IdTable() { return image_.data() + uart::LinIdTable; }
    const uint8_t* IdTable() const { return image_.data() + uart::LinIdTable; }
    const LinSlaveRows& SlaveRows() const { return rows_; }
    const LinMasterFrame& Master() const { return master_; }
    UartPageConfig Config() const;

    // --- master frame ---
    // ID_LEN from the ID's LENC and the checksum over ID_LEN bytes (or DLC for free length).
    LinMasterView ComputeChecksum();
    LinMasterView View() const;
    // ID typed: clamped, then the checksum and the leave-data step; the data text follows.
    PageEditResult MasterIdChanged(const std::string& text);
    PageEditResult MasterDataChanged(std::string text);
    // Leaving the data edit: pads to ID_LEN; returns the data text.
    std::string MasterDataLeft();
    std::string MasterDataText() const;

    // --- slave rows and LACKB ---
    PageEditResult SlaveIdChanged(size_t row, const std::string& text);
    PageEditResult SlaveDataChanged(size_t row, std::string text);
    std::string SlaveDataText(size_t row) const;
    PageEditResult LackbChanged(size_t buffer, std::string text);
    std::string LackbText(size_t buffer) const;
    // "SET": queues 54 3n 08 00 + LACKBn for the worker; false when one is still queued.
    bool SetLackb(size_t buffer);

    // --- image fields ---
    // LAB check: UFRMCON bit 5; checking it returns the message to show.
    std::string SetAutoBaud(bool on);
    PageEditResult ByteFieldChanged(size_t offset, UartFieldKind kind, const std::string& text);
    PageEditResult BrgChanged(const std::string& text);
    BaudRowResult SelectBaud(size_t row);
    size_t BaudRow() const { return baudRow_; }

    // --- operations ---
    PageStartResult Start();
    void Stop();
    PageSendResult Send();
    PageDeviceStatus RefreshDeviceStatus() const;

private:
    uint8_t MasterConfig() const { return IdTable()[master_.ID]; }

    UartRegisterImage image_{};
    size_t baudRow_ = kUartBaudRow9600;
    LinSlaveRows rows_;
    LinMasterFrame master_;
};

// The editor of the ID table ("ID TABLE Modify"): one byte at a time, or one byte for the
// range FROM-TO, and three whole-table rewrites. Works on the page's table in place.
class LinIdTableEditor {
public:
    enum Field { Iden, Srp, Lenc, Csm, Afe, Afp };

    explicit LinIdTableEditor(uint8_t* table) : table_(table) {}

    // The page moves the editor: the edited byte is reloaded from the table.
    void SetCurrentId(uint8_t id);
    void Reload() { edited_ = table_[currentId_]; }
    uint8_t CurrentId() const { return currentId_; }
    std::string CurrentIdText() const;  // "%d (0x%.2X)"
    uint8_t Edited() const { return edited_; }
    // Combo index of a field in the edited byte, and a new one (only its bits change).
    unsigned FieldValue(Field field) const;
    void SetField(Field field, unsigned value);

    void SetRangeMode(bool range) { rangeMode_ = range; }
    bool RangeMode() const { return rangeMode_; }
    PageEditResult FromChanged(const std::string& text);
    PageEditResult ToChanged(const std::string& text);
    uint32_t From() const { return from_; }
    uint32_t To() const { return to_; }

    // "更改": false (message shown, table unchanged) when FROM is above TO in range mode.
    bool Apply();
    void SetAllIden(bool on);
    void RecommendedLenc();

private:
    uint8_t* table_;
    uint8_t currentId_ = 0;
    uint8_t edited_ = 0;
    bool rangeMode_ = false;
    uint32_t from_ = 0;
    uint32_t to_ = 31;
};
