#pragma once
// The ECU simulator page's rules without widgets: protocol choice and its summary, the K-line
// image preparations, the list's cell texts, files, delete, Start / Stop and the device
// status. CDialogObdSimu reads its controls, calls these and shows the results. Messages go
// through platform::ShowMessage; questions (OK / Cancel) are the window's.
//
// Threads: UI thread only.
#include <cstdint>
#include <string>
#include <vector>

#include "pages/kline/UartPageOps.h"
#include "simulator/EcuSimFile.h"
#include "simulator/RespondTable.h"

// K-line image preparations (mode byte C3 / C1, init blocks); the 14230 ones set
// g_FastInitMode 0 / 1 and leave what they do not name as the last preparation left it.
void PrepareIso9141(UartRegisterImage& image, const EcuSimParams& params);
void PrepareIso14230Slow(UartRegisterImage& image, const EcuSimParams& params);
void PrepareIso14230Fast(UartRegisterImage& image, const EcuSimParams& params);
// Downloads a prepared K-line image: 1, or 0 at the first failed write.
int ConfigureDeviceKLine(const UartRegisterImage& image);

// The J1850 and CAN set-ups: the first writes (set-up registers, J1850 register 0x09) end
// them at a failure with 0, the later ones are not checked.
int ConfigureDeviceJ1850(const EcuSimParams& params);
int ConfigureDeviceCan11(const EcuSimParams& params);
int ConfigureDeviceCan29(const EcuSimParams& params);

// The summary static's text for a protocol index.
std::string ProtocolSummary(const EcuSimParams& params, uint32_t index);

// The response list's columns and the text of one cell.
constexpr int kRespondListColumns = 12;
enum class ColumnAlign { Left, Centre };
struct RespondListColumn {
    const char* title;
    int width;
    ColumnAlign align;
};
extern const RespondListColumn kRespondListColumnList[kRespondListColumns];
std::string RespondListCell(const OBDRespondEntry& entry, int column);

extern const char* const kSimTextLoadUnsaved;  // "当前数据已更改，还未保存。\n确定放弃现数据，调入新数据吗"
extern const char* const kSimTextExitUnsaved;  // "当前数据已更改，还未保存。\n确定放弃数据，退出吗"
extern const char* const kCaptionInformation;  // "Information"
extern const char* const kSimFileFilter;       // "Ecu Simulator file(*.sim)|*.sim"

struct ObdSimuStatus {
    bool editingEnabled = true;  // 1275, 1013, 1014, 5, 6 and the protocol list
    std::string startText;       // "启动模拟", "STOP", "START"
    std::string caption;
};

class ObdSimuPage {
public:
    // The window's creation: negative answers on, g_TxPending clear, the default table from
    // folder (its message on failure, then the defaults), the protocol applied.
    void Init(const std::string& folder);

    void SelectProtocol(uint32_t index);
    uint32_t ProtocolIndex() const { return protocolIndex_; }
    std::string Summary() const { return ProtocolSummary(g_EcuSimParams, protocolIndex_); }

    // Load / save with their messages; Ok clears the modified flag.
    SimFileResult LoadFile(const std::string& path);
    SimFileResult SaveFile(const std::string& path);
    // Removes the rows, sorts, sets the modified flag (the window asked first).
    void DeleteRows(const std::vector<uint32_t>& rows);

    // The table's edits (the window ran the editor or the parameter dialog first); each sorts
    // and sets the modified flag. A full table (1000 entries) takes no more.
    bool CanAddEntry() const { return g_RespondCount < kMaxRespondEntries; }
    bool AddEntry(const OBDRespondEntry& entry);
    // The editor's result for row: replace it, or append the copy (its add-as-new button).
    void StoreEditedEntry(uint32_t row, const OBDRespondEntry& entry, bool replace);
    // The parameter dialog's OK: the record back, the protocol applied again.
    void SetParams(const EcuSimParams& params);

    // START / STOP as the toggle button does them.
    PageStartResult Start(void* hub);
    bool Stop();
    // What the window shows (also after a responder ended by itself).
    ObdSimuStatus DeviceStatus() const;

    bool modified = false;
    const UartRegisterImage& Image() const { return image_; }

private:
    void Commit(const EcuSimFileContents& contents);

    uint32_t protocolIndex_ = 0;
    bool started_ = false;
    UartRegisterImage image_{};
};
