#include "simulator/ObdSimuPage.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <thread>

#include "device/UsbOperation.h"
#include "pages/can/CanDownload.h"
#include "simulator/BusResponder.h"
#include "simulator/KLineResponder.h"
#include "platform/Message.h"

const char* const kSimTextLoadUnsaved = "当前数据已更改，还未保存。\n确定放弃现数据，调入新数据吗";
const char* const kSimTextExitUnsaved = "当前数据已更改，还未保存。\n确定放弃数据，退出吗";
const char* const kCaptionInformation = "Information";
const char* const kSimFileFilter = "Ecu Simulator file(*.sim)|*.sim";

const RespondListColumn kRespondListColumnList[kRespondListColumns] = {
    {"En", 30, ColumnAlign::Centre},
    {"SID", 50, ColumnAlign::Centre},
    {"PID", 50, ColumnAlign::Centre},
    {"OPTDATA", 90, ColumnAlign::Left},
    {"Protocol.S", 80, ColumnAlign::Centre},
    {"A.SID/PID/DATA", 140, ColumnAlign::Left},
    {"M.CNT", 50, ColumnAlign::Centre},
    {"M1Len", 50, ColumnAlign::Centre},
    {"Message 1 Data", 140, ColumnAlign::Left},
    {"M2Len", 50, ColumnAlign::Centre},
    {"Message 2 Data", 100, ColumnAlign::Left},
    {"Message Note", 440, ColumnAlign::Left},
};

namespace {

const uint8_t kU5BaudCon9141[uart::kU5BaudConSize] = {0xFB, 0x32, 0x05, 0x64, 0x05,
                                                      0x64, 0x00, 0x32, 0x1E, 0x00};

std::string Format(const char* format, unsigned a, unsigned b = 0, unsigned c = 0) {
    char text[64];
    std::snprintf(text, sizeof text, format, a, b, c);
    return text;
}

std::string Header(uint32_t header) {
    uint8_t w[3];
    HeaderWireBytes(header, w);
    return Format("%.2X %.2X %.2X", w[0], w[1], w[2]);
}

std::string KLineRate(const EcuSimParams& p) { return p.kLineBrg == 239 ? "10400   " : "9600   "; }
std::string CanRate(const EcuSimParams& p) { return p.canKbps == 500 ? "500kpbs   " : "250kpbs   "; }

// Image bytes all three preparations write.
void PrepareCommon(UartRegisterImage& image, const EcuSimParams& p, uint8_t mode) {
    image[uart::UTXP1T] = p.p1Ms;
    image[uart::UFREET] = p.p2Ms;
    image[uart::URXP1MAX] = p.rxByteGapMaxMs;
    image[uart::UFRMCON] = mode;
    image[uart::PINSEL] = 0x00;
    image[uart::UFRMV] = 0x08;
    image[uart::UFLENCON] = 0x00;
    image[uart::UFLAND] = 0xFF;
    image[uart::Block2E + 2] = 0x9C;
    SetImageBrg(image, p.kLineBrg);
    image[uart::lineFormat] = image[uart::Reg36] = image[uart::Reg37] = 0;
}

// Block 2E bytes 6-10 (image 64-68) of the 5-baud preparations.
void PrepareSlowTimes(UartRegisterImage& image) {
    const uint8_t times[5] = {0x96, 0x0A, 0x01, 0x1E, 0x32};
    std::memcpy(&image[uart::Block2E + 6], times, sizeof times);
}

std::string BytesRun(const uint8_t* bytes, uint32_t n, const char* format) {
    std::string text;
    for (uint32_t i = 0; i < n; ++i) text += Format(format, bytes[i]);
    return text;
}

}  // namespace

void PrepareIso9141(UartRegisterImage& image, const EcuSimParams& p) {
    PrepareCommon(image, p, 0xC3);
    std::memcpy(&image[uart::U5BAUDCON], kU5BaudCon9141, sizeof kU5BaudCon9141);
    image[uart::Block2E + 0] = 0;
    image[uart::Block2E + 1] = p.initAddress9141;
    image[uart::Block2E + 3] = 25;
    image[uart::Block2E + 4] = p.keyWords9141[0];
    image[uart::Block2E + 5] = p.keyWords9141[1];
    PrepareSlowTimes(image);
}

void PrepareIso14230Slow(UartRegisterImage& image, const EcuSimParams& p) {
    PrepareCommon(image, p, 0xC1);
    image[uart::Block2E + 0] = 0;
    image[uart::Block2E + 1] = p.initAddress14230;
    image[uart::Block2E + 3] = p.fastInitLowMs;
    image[uart::Block2E + 4] = p.keyWords14230[0];
    image[uart::Block2E + 5] = p.keyWords14230[1];
    PrepareSlowTimes(image);
    g_FastInitMode.store(0);
}

void PrepareIso14230Fast(UartRegisterImage& image, const EcuSimParams& p) {
    PrepareCommon(image, p, 0xC1);
    image[uart::Block2E + 0] = 1;
    image[uart::Block2E + 1] = p.initAddress9141;  // the 9141 address, as the chip has it
    image[uart::Block2E + 3] = p.fastInitLowMs;
    g_FastInitMode.store(1);
}

int ConfigureDeviceKLine(const UartRegisterImage& image) {
    return ConfigureDevice(image, UartPage::EcuSimKLine);
}

int ConfigureDeviceJ1850(const EcuSimParams& p) {
    const bool vpw = p.j1850Flavour == 0;
    const uint8_t node = vpw ? p.vpwNodeAddress : p.pwmNodeAddress;
    const uint8_t functional = vpw ? p.vpwFunctionalAddress : p.pwmFunctionalAddress;
    if (!UsbWriteRegister(0x17, 0x00) || !UsbWriteRegister(0x3B, 0x00) ||
        !UsbWriteRegister(0x05, 0xFF) || !UsbWriteRegister(0x01, 0x95) ||
        !UsbWriteRegister(0x09, vpw ? 0x5E : 0xDE))
        return 0;
    for (uint8_t reg : {0x08, 0x04, 0x06, 0x07, 0x0A}) UsbWriteRegister(reg, 0x00);
    const uint8_t yzzcon[8] = {0x20, 0x10, 0x20, 0x00, 0x10, 0x00, 0x00, 0x00};
    UsbWriteBytes(0x00, sizeof yzzcon, yzzcon);
    const uint8_t idbuff[8] = {node};
    UsbWriteBytes(0x03, sizeof idbuff, idbuff);
    UsbCommandV(2);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));  // the chip takes its node set-up
    UsbCommandU2(functional, 4);
    UsbCommandU2(node, 2);
    UsbCommandV(1);
    return 1;
}

namespace {

CanFilterEntry RequestFilter(uint32_t id, bool extended) {
    CanFilterEntry f;
    if (extended) {
        SetCanFilterId29(f, id);
        SetCanFilterExide(f, true);
    } else {
        SetCanFilterSid(f, id);
    }
    return f;
}

int ConfigureDeviceCan(const EcuSimParams& p, bool extended) {
    using S = CanDownloadStep;
    const uint32_t functional = extended ? p.can29FunctionalRequestId : p.can11FunctionalRequestId;
    const uint32_t physical = extended ? p.can29PhysicalRequestId : p.can11PhysicalRequestId;
    const uint32_t respond = extended ? p.can29RespondId : p.can11RespondId;
    const uint8_t mask11[4] = {0xE8, 0xFF, 0x00, 0x00};
    const uint8_t mask29[4] = {0xFF, 0xFF, 0xFF, 0xFF};
    const CanFilterEntry f0 = RequestFilter(functional, extended);
    const CanFilterEntry f1 = RequestFilter(physical, extended);
    const uint8_t rxfc0[4] = {0x00, 0x00, 0x00, 0x00};
    const uint8_t rxfc1[4] = {0x01, 0x00, 0x00, 0x00};
    EcanMessageBuffer fc;  // what the chip answers a tester's first frame with
    SetEcanId(fc, respond, extended);
    SetEcanExtended(fc, extended);
    SetEcanDlc(fc, static_cast<uint8_t>(p.flowControlDlc & 0x0F));
    std::memcpy(EcanData(fc), p.flowControlData, sizeof p.flowControlData);
    const uint8_t txfc[4] = {static_cast<uint8_t>(p.canPadTo8 ? 0x81 : 0x01), 0x10, 0x00, 0x00};
    const CanDownloadList list = {
        S::Reg(0x17, 0xFC), S::Reg(0x3B, 0x00), S::Reg(0x05, 0x00), S::Reg(0x01, 0x95),
        S::Reg(0x10, 0x04), S::Reg(0x13, 0x00), S::Reg(0x27, 0x00), S::Reg(0x28, 0x3F),
        S::Reg(0x29, 0xE0),
        S::Reg(0x1A, p.canKbps == 500 ? 0xC1 : 0xC3), S::Reg(0x1B, 0xFC), S::Reg(0x1C, 0x05),
        S::Blk(0x09, extended ? mask29 : mask11, 4),
        S::Blk(0x0C, f0.bytes, 4), S::Blk(0x0D, f1.bytes, 4),
        S::Reg(0x1F, 0x00), S::Reg(0x1D, 0x03), S::Reg(0x1E, 0x00),
        S::Blk(0x27, rxfc0, 4), S::Blk(0x28, rxfc1, 4),
        S::Blk(0x24, fc.bytes, kEcanBufferSize), S::Blk(0x25, fc.bytes, kEcanBufferSize),
        S::Blk(0x26, txfc, 4),
        S::Reg(0x60, 200), S::Reg(0x61, 0x00), S::Reg(0x62, 10),
    };
    return RunCanDownload(list, 4);
}

}  // namespace

int ConfigureDeviceCan11(const EcuSimParams& p) { return ConfigureDeviceCan(p, false); }
int ConfigureDeviceCan29(const EcuSimParams& p) { return ConfigureDeviceCan(p, true); }

std::string ProtocolSummary(const EcuSimParams& p, uint32_t index) {
    switch (index) {
    case SimIso9141: {
        uint8_t r[3];
        RespondHeader9141Wire(p, r);
        return "ECU as ISO9141-2   Baudrate: " + KLineRate(p) + "5Baudrate InitAddress: " +
               Format("0x%.2X", p.initAddress9141) + "\nReq.Header: " +
               Header(p.requestHeader9141) + "    Ack.Header: " +
               Format("%.2X %.2X %.2X", r[0], r[1], r[2]);
    }
    case SimIso14230Slow:
        return "ECU as ISO14230 SlowInit   Baudrate: " + KLineRate(p) + "5Baudrate InitAddress: " +
               Format("0x%.2X", p.initAddress14230) + "\nReq.Func_Address: " +
               Format("0x%.2X Req.Phys_Address: 0x%.2X", p.functionalAddress14230,
                      p.physicalAddress14230) +
               Format("   Key Word: %.2X %.2X  Target Addr: %.2X", p.keyWords14230[0],
                      p.keyWords14230[1], p.testerAddress14230);
    case SimIso14230Fast:
        return "ECU as ISO14230 Fastinit   Baudrate: " + KLineRate(p) + "LowPuls Time: " +
               Format("%.d ms", p.fastInitLowMs) + "\nReq.Func_Address: " +
               Format("0x%.2X     Req.Phys_Address: 0x%.2X", p.functionalAddress14230,
                      p.physicalAddress14230) +
               Format("      Target Address: 0x%.2X", p.testerAddress14230);
    case SimJ1850Vpw:
    case SimJ1850Pwm: {
        const bool vpw = index == SimJ1850Vpw;
        return "FunctionReqHeader:  " +
               Header(vpw ? p.vpwFunctionalRequestHeader : p.pwmFunctionalRequestHeader) +
               "     Function Repond Header: " +
               Header(vpw ? p.vpwFunctionalRespondHeader : p.pwmFunctionalRespondHeader) +
               "\n PhysicalReqHeader:  " +
               Header(vpw ? p.vpwPhysicalRequestHeader : p.pwmPhysicalRequestHeader) +
               "      Physical Repond Header: " +
               Header(vpw ? p.vpwPhysicalRespondHeader : p.pwmPhysicalRespondHeader) +
               (vpw ? "      < J1850 VPW 10.4KBPS >" : "      < J1850 PWM 41.6KBPS >");
    }
    case SimCan11:
        return "ECU as CAN 11bits   Baudrate: " + CanRate(p) + "\n Function Req ID: " +
               Format("0x%.3X", p.can11FunctionalRequestId) + "    Physical Req.ID: " +
               Format("0x%.3X", p.can11PhysicalRequestId) + "    Ack.Respobd ID: " +
               Format("0x%.3X", p.can11RespondId);
    case SimCan29:
        return "ECU as CAN 29bits   Baudrate: " + CanRate(p) + "\n Function Req ID: " +
               Format("0x%.8X", p.can29FunctionalRequestId) + "    Physical Req ID: " +
               Format("0x%.8X", p.can29PhysicalRequestId) + "    Ack.Respobd ID: " +
               Format("0x%.8X", p.can29RespondId);
    default:
        return std::string();
    }
}

std::string RespondListCell(const OBDRespondEntry& e, int column) {
    const uint32_t requestLength = std::min(e.requestLength, kRequestBytes);
    switch (column) {
    case 0: return e.enabled ? "Y" : "N";
    case 1: return Format("%.2X", e.request[0]);
    case 2: return requestLength > 1 ? Format("%.2X", e.request[1]) : "-";
    case 3: return requestLength > 2 ? BytesRun(e.request + 2, requestLength - 2, "%.2X") : "-";
    case 4: {
        std::string bits;
        for (int b = 6; b >= 0; --b) bits += (e.protocolMask >> b) & 1 ? '1' : '0';
        return bits;
    }
    case 5: return e.ackLength ? BytesRun(e.ack, std::min(e.ackLength, kMaxAckBytes), "%.2X ") : "-";
    case 6: return std::to_string(e.messageCount);
    case 7: return std::to_string(e.message1Length);
    case 8:
        return e.message1Length
                   ? BytesRun(e.message1, std::min(e.message1Length, kMaxMessageBytes), "%.2X ")
                   : "-";
    case 9: return std::to_string(e.message2Length);
    case 10:
        return e.message2Length
                   ? BytesRun(e.message2, std::min(e.message2Length, kMaxMessageBytes), "%.2X ")
                   : "-";
    case 11: return std::string(e.note, strnlen(e.note, kNoteBytes));
    default: return std::string();
    }
}

void ObdSimuPage::Init(const std::string& folder) {
    g_NegativeRespondEnabled.store(1);
    g_TxPending.store(0, std::memory_order_release);
    EcuSimFileContents contents;
    const SimFileResult result = LoadEcuSimFile(folder + kDefaultTableFileName, contents);
    if (result != SimFileResult::Ok) {
        platform::ShowMessage(DefaultTableMessage(result), std::string(),
                              platform::MessageIcon::Exclamation);
        contents = EcuSimFileContents{};
        contents.params = g_EcuSimParams;
        LoadDefaultParams(contents.params);
    }
    // The image starts as the 9141 preparation leaves it, so that a 14230 start from a file
    // that selects it never downloads zero 5-baud blocks.
    PrepareIso9141(image_, contents.params);
    Commit(contents);
}

void ObdSimuPage::Commit(const EcuSimFileContents& contents) {
    g_EcuSimParams = contents.params;
    std::copy(contents.entries.begin(), contents.entries.end(), g_RespondTable);
    g_RespondCount = static_cast<uint32_t>(contents.entries.size());
    SelectProtocol(contents.protocolIndex);
    modified = false;
}

void ObdSimuPage::SelectProtocol(uint32_t index) {
    if (index >= kSimProtocolCount)
        return;
    protocolIndex_ = index;
    g_SimProtocolBit.store(SimProtocolBit(index));
    switch (index) {
    case SimIso9141: PrepareIso9141(image_, g_EcuSimParams); break;
    case SimIso14230Slow: PrepareIso14230Slow(image_, g_EcuSimParams); break;
    case SimIso14230Fast: PrepareIso14230Fast(image_, g_EcuSimParams); break;
    case SimJ1850Vpw: g_EcuSimParams.j1850Flavour = 0; break;
    case SimJ1850Pwm: g_EcuSimParams.j1850Flavour = 1; break;
    case SimCan11: g_EcuSimParams.canStandardId = 1; break;
    case SimCan29: g_EcuSimParams.canStandardId = 0; break;
    default: break;
    }
}

SimFileResult ObdSimuPage::LoadFile(const std::string& path) {
    EcuSimFileContents contents;
    const SimFileResult result = LoadEcuSimFile(path, contents);
    if (result != SimFileResult::Ok) {
        platform::ShowMessage(SimFileMessage(result), std::string(),
                              platform::MessageIcon::Exclamation);
        return result;
    }
    Commit(contents);
    return result;
}

SimFileResult ObdSimuPage::SaveFile(const std::string& path) {
    const SimFileResult result =
        SaveEcuSimFile(path, protocolIndex_, g_EcuSimParams, g_RespondTable, g_RespondCount);
    if (result != SimFileResult::Ok)
        platform::ShowMessage(SimFileMessage(result), std::string(),
                              platform::MessageIcon::Exclamation);
    else
        modified = false;
    return result;
}

void ObdSimuPage::DeleteRows(const std::vector<uint32_t>& rows) {
    g_RespondCount = DeleteRespondRows(g_RespondTable, g_RespondCount, rows);
    SortRespondTable(g_RespondTable, g_RespondCount);
    modified = true;
}

bool ObdSimuPage::AddEntry(const OBDRespondEntry& entry) {
    if (!CanAddEntry()) return false;
    g_RespondTable[g_RespondCount++] = entry;
    SortRespondTable(g_RespondTable, g_RespondCount);
    modified = true;
    return true;
}

void ObdSimuPage::StoreEditedEntry(uint32_t row, const OBDRespondEntry& entry, bool replace) {
    if (!replace || row >= g_RespondCount) {
        AddEntry(entry);
        return;
    }
    g_RespondTable[row] = entry;
    SortRespondTable(g_RespondTable, g_RespondCount);
    modified = true;
}

void ObdSimuPage::SetParams(const EcuSimParams& params) {
    g_EcuSimParams = params;
    SelectProtocol(protocolIndex_);
    modified = true;
}

PageStartResult ObdSimuPage::Start(void* hub) {
    g_KLineSessionState.store(0);
    UartPageConfig config{UartPage::EcuSimKLine, &ThreadProcEcuSim9141, true, true, 0};
    switch (protocolIndex_) {
    case SimIso9141: PrepareIso9141(image_, g_EcuSimParams); break;
    case SimIso14230Slow:
        PrepareIso14230Slow(image_, g_EcuSimParams);
        config.worker = &ThreadProcEcuSim14230;
        break;
    case SimIso14230Fast:
        PrepareIso14230Fast(image_, g_EcuSimParams);
        config.worker = &ThreadProcEcuSim14230;
        break;
    default: break;
    }
    if (g_WorkerRunning.load(std::memory_order_acquire))
        return PageStartResult::Ignored;
    // An answer left by a responder that ended by itself is not this session's.
    g_WorkerThread.JoinEnded();
    g_SimTxQueue.Clear();
    PageStartResult result;
    if (protocolIndex_ <= SimIso14230Fast) {
        result = StartUartPage(image_, config, hub);
    } else if (protocolIndex_ <= SimJ1850Pwm) {
        config.worker = &ThreadProcEcuSimJ1850;
        result = StartPageWith([] { return ConfigureDeviceJ1850(g_EcuSimParams); },
                               [] { UsbSendStart(0x00, EngineJ1850, 0x00); }, config.WorkerStart(), hub);
    } else {
        config.worker = &ThreadProcEcuSimCan;
        const bool standard = protocolIndex_ == SimCan11;
        result = StartPageWith(
            [standard] {
                return standard ? ConfigureDeviceCan11(g_EcuSimParams)
                                : ConfigureDeviceCan29(g_EcuSimParams);
            },
            [] { UsbSendStart(0x00, EngineCan, 0x00); }, config.WorkerStart(), hub);
    }
    if (result == PageStartResult::Started)
        started_ = true;
    return result;
}

bool ObdSimuPage::Stop() {
    const bool stopped = StopPage();
    started_ = true;
    return stopped;
}

ObdSimuStatus ObdSimuPage::DeviceStatus() const {
    ObdSimuStatus status;
    const bool running = g_WorkerRunning.load(std::memory_order_acquire) != 0;
    status.editingEnabled = !running;
    status.startText = running ? "STOP" : started_ ? "START" : "启动模拟";
    status.caption = g_DeviceOpen.load() ? "ECU Simulator -- Device( " +
                                               std::to_string(g_DeviceNumber.load()) + " ) Connected"
                                         : "ECU Simulator --  No device Connected";
    return status;
}
