#include "monitor/RecordFormat.h"

#include <algorithm>
#include <cstdio>

#include "device/EngineFrame.h"

std::atomic<uint32_t> g_Kw1281LinkUp{0};
std::atomic<uint32_t> g_Kw1281LinkMark{0};

void ClearKw1281Link() {
    g_Kw1281LinkMark.store(g_MonitorSeq.load(std::memory_order_acquire), std::memory_order_release);
    g_Kw1281LinkUp.store(0, std::memory_order_release);
}

namespace {

constexpr uint32_t kFrameRecordBytes = 16;  // kinds 0, 2 and 3 hold one 16-byte frame record
constexpr uint32_t kCanMaxDataBytes = 8;
constexpr uint32_t kJ1850MaxFrame = 12;
constexpr int kJ1850CrcColumn = 39;

bool IsReceived(const MonitorRecord& r) { return r.direction != 0; }
uint32_t InitType(const MonitorRecord& r) { return FrameLengthInit(r.lengthWord); }
uint32_t UartLength(const MonitorRecord& r) { return FrameLengthCount(r.lengthWord); }
constexpr uint32_t kFiveBaudResultBytes = 7;  // code, 0, BRG lo, BRG hi, 0, KW1, KW2
uint32_t UartShownBytes(const MonitorRecord& r) { return std::min(UartLength(r), kMonitorDataBytes); }
uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

// Lower-case like the cells are built; the cells are upper-cased once complete.
void AppendHex2(std::string& s, uint8_t b) {
    static const char digits[] = "0123456789abcdef";
    s.push_back(digits[b >> 4]);
    s.push_back(digits[b & 15]);
}

void AppendHexBytes(std::string& s, const uint8_t* p, uint32_t n) {
    for (uint32_t i = 0; i < n; ++i) {
        AppendHex2(s, p[i]);
        s.push_back(' ');
    }
}

// The detail view's layout: a five-space gap after each odd 16th byte, a line break after
// each 32nd.
void AppendHexBytesWrapped(std::string& s, const uint8_t* p, uint32_t n) {
    for (uint32_t i = 1; i <= n; ++i) {
        AppendHex2(s, p[i - 1]);
        s.push_back(' ');
        if (i % 32 == 0)
            s += "\r\n";
        else if (i % 16 == 0)
            s += "     ";
    }
}

void AppendInt(std::string& s, long long v) { s += std::to_string(v); }

std::string Format(const char* fmt, unsigned a) {
    char buf[32];
    std::snprintf(buf, sizeof buf, fmt, a);
    return buf;
}

void UpperAscii(std::string& s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
}

// The kind-1 data text, shared by the list, the export and the detail view (which lays the
// bytes out in lines). Returns true when the record is a received INIT=OK.
bool BuildUartData(const MonitorRecord& r, bool wrapped, std::string& s) {
    const uint32_t t = InitType(r);
    const uint32_t n = UartShownBytes(r);
    // The chip promised more bytes than came.
    const bool cut = (r.reserved & kMonitorShortFrame) != 0;
    auto bytes = [&] {
        if (wrapped)
            AppendHexBytesWrapped(s, r.data, n);
        else
            AppendHexBytes(s, r.data, n);
        if (cut) s += "...";
    };
    if (t == 2) {
        if (!IsReceived(r)) {
            s += " SLOW INIT; ADDR= 0x";
            AppendHex2(s, r.slowInitAddress);
            s += " Data: ";
            bytes();
            return false;
        }
        if (n < kFiveBaudResultBytes) {
            // A result without its bytes says nothing about the link.
            s += "INIT ERROR : ";
            bytes();
            return false;
        }
        const bool ok = r.data[0] == 0;
        if (ok) {
            s += "INIT=OK; BRG= ";
        } else {
            s += "INIT ERROR : ";
            s += Format("%x", r.data[0]);
            s += " BRG= ";
        }
        AppendInt(s, U16(&r.data[2]));
        s += " KeyWord: ";
        AppendHex2(s, r.data[5]);
        s.push_back(' ');
        AppendHex2(s, r.data[6]);
        // Spaced as the byte lists end, before their mark.
        if (cut) s += " ...";
        return ok;
    }
    if (t == 7) {
        s += "Ecu Init active";
        return false;
    }
    if (!IsReceived(r) && t == 1) {
        s += "Fast INIT:LT= ";
        AppendInt(s, r.fastInitLowMs);
        s += " ms HT= ";
        AppendInt(s, r.fastInitHighMs);
        s += " ms  Data: ";
    }
    bytes();
    return false;
}

struct CanFields {
    bool extended;
    bool remote;
    uint32_t id;
    uint32_t dlc;        // as the record says, up to 15
    uint32_t dataBytes;  // what may be shown: at most 8
};

CanFields DecodeCan(const MonitorRecord& r) {
    const uint16_t w0 = U16(&r.data[0]), w1 = U16(&r.data[2]), w2 = U16(&r.data[4]);
    CanFields f{};
    f.extended = (w0 & 1) != 0;
    if (f.extended) {
        f.id = (((((w0 >> 2) & 0x7FFu) << 12) | (w1 & 0xFFFu)) << 6) | (w2 >> 10);
        f.remote = (w2 & 0x200) != 0;
    } else {
        f.id = (w0 >> 2) & 0x7FF;
        f.remote = (r.data[0] & 2) != 0;
    }
    f.dlc = r.data[4] & 15;
    f.dataBytes = std::min(f.dlc, kCanMaxDataBytes);
    return f;
}

struct J1850Fields {
    bool pwm;
    uint32_t c;          // frame length with CRC, at most 12
    uint32_t ifr;        // in-frame-response bytes that lie within the record
    uint32_t ifrStart;
};

J1850Fields DecodeJ1850(const MonitorRecord& r) {
    J1850Fields f{};
    f.pwm = (r.data[0] & 1) != 0;
    f.c = std::min<uint32_t>(r.data[1] & 15, kJ1850MaxFrame);
    f.ifrStart = 4 + f.c;
    f.ifr = std::min<uint32_t>(r.data[1] >> 4, kFrameRecordBytes - f.ifrStart);
    return f;
}

bool J1850OneByteHeader(const MonitorRecord& r) { return (r.data[0] & 8) || (r.data[4] & 0x10); }

}  // namespace

std::string FormatKind(const MonitorRecord& r) {
    switch (r.kind) {
        case KindCan: return "CAN";
        case KindUart: return "UART";
        case KindJ1850: return "J1850";
        default: return "-";
    }
}

std::string FormatDirection(const MonitorRecord& r) { return IsReceived(r) ? "接收" : "发送"; }

std::string FormatLength(const MonitorRecord& r) {
    switch (r.kind) {
        case KindUart: return std::to_string(UartLength(r));
        case KindJ1850: {
            const int d1 = r.data[1];
            const int n = (d1 & 15) + (d1 >> 4);
            const int m = (d1 & 15) - (J1850OneByteHeader(r) ? 2 : 4);
            return std::to_string(n) + "(" + std::to_string(m) + ")";
        }
        case KindCan: return std::to_string(r.data[4] & 15);
        default: return "-";
    }
}

std::string FormatStatus(const MonitorRecord& r) {
    if (r.kind != KindUart) return "";
    if (IsReceived(r) && InitType(r) == 0)
        return (r.lengthWord & 0x800) ? " CS:1" : " CS:0";
    return " ";
}

std::string FormatData(const MonitorRecord& r, RecordTextUse use) {
    std::string s;
    s.reserve(32 + 3 * kMonitorDataBytes);
    bool remoteExport = false;
    switch (r.kind) {
        case KindUart:
            // Sequences count on without end (a u32 wraps in ages): compare by difference.
            if (BuildUartData(r, false, s) && use == RecordTextUse::List &&
                static_cast<int32_t>(r.sequence - g_Kw1281LinkMark.load(std::memory_order_acquire)) >= 0)
                g_Kw1281LinkUp.store(1, std::memory_order_release);
            break;
        case KindJ1850: {
            const J1850Fields f = DecodeJ1850(r);
            s += f.pwm ? "PWM: " : "VPW: ";
            if (f.c > 0) AppendHexBytes(s, &r.data[4], f.c - 1);
            if (s.size() < static_cast<size_t>(kJ1850CrcColumn)) s.resize(kJ1850CrcColumn, ' ');
            s += "CRC:";
            AppendHex2(s, r.data[3 + f.c]);
            if (r.data[1] > 15) {
                if (!f.pwm) {
                    s += "--NB:";
                    AppendInt(s, (r.data[0] >> 2) & 1);
                }
                s += "--IFR: ";
                AppendHexBytes(s, &r.data[f.ifrStart], f.ifr);
            }
            break;
        }
        case KindCan: {
            const CanFields f = DecodeCan(r);
            s += "ID: ";
            s += f.extended ? Format("%08x", f.id) : "     " + Format("%03x", f.id);
            if (f.remote) {
                if (use == RecordTextUse::Export)
                    remoteExport = true;
                else
                    s += "    远程帧";
            } else {
                s += "    DATA: ";
                AppendHexBytes(s, &r.data[6], f.dataBytes);
            }
            break;
        }
        case KindErrorFlags:
            s += "ERROR Flag:";
            AppendHexBytes(s, &r.data[4], 5);
            break;
        default:
            s += "-";
            break;
    }
    UpperAscii(s);
    // The export writes the remote marker as it stands, after the cell is upper-cased.
    if (remoteExport) s += "    Remote";
    return s;
}

namespace {
void AppendPadded(std::string& line, const std::string& text, size_t width) {
    if (text.size() < width) line.append(width - text.size(), ' ');
}
}  // namespace

std::string FormatExportLine(const MonitorRecord& r) {
    std::string line;
    const std::string seq = std::to_string(r.sequence);
    const std::string time = std::to_string(static_cast<int32_t>(r.timeMs));
    const std::string length = FormatLength(r);
    AppendPadded(line, seq, 5);
    line += "   " + seq;
    line += IsReceived(r) ? "    IN" : "   OUT";
    AppendPadded(line, time, 10);
    line += "   " + time;
    line += "   ";
    switch (r.kind) {
        case KindCan: line += " CAN "; break;
        case KindUart: line += "UART"; break;
        case KindJ1850: line += "J1850"; break;
        default: line += "  -  "; break;
    }
    AppendPadded(line, length, 8);
    line += length + "   ";
    line += FormatData(r, RecordTextUse::Export);
    return line;
}

void BuildMonitorPage(MonitorPage& page) {
    const uint32_t count = std::min(g_MonitorCount.load(std::memory_order_acquire), kMonitorCapacity);
    const uint32_t rows = std::min(g_MonitorRowsPerPage.load(std::memory_order_acquire),
                                   kMonitorMaxRowsPerPage);
    const uint32_t shown = std::min(count, rows);

    int64_t top = g_MonitorTop.load(std::memory_order_acquire);
    if (static_cast<int64_t>(count) - top < static_cast<int64_t>(rows)) {
        top = static_cast<int64_t>(count) - rows;
        if (top < 0) top = 0;
    }
    g_MonitorTop.store(static_cast<uint32_t>(top), std::memory_order_release);
    page.top = static_cast<uint32_t>(top);

    const uint32_t first =
        static_cast<uint32_t>((g_MonitorOldest.load(std::memory_order_acquire) + top) % kMonitorCapacity);
    std::vector<MonitorRecord> records(shown);
    CopyMonitorRecords(first, shown, records.data());

    page.rows.resize(shown);
    uint32_t previousTime = shown ? records[0].timeMs : 0;
    for (uint32_t i = 0; i < shown; ++i) {
        const MonitorRecord& r = records[i];
        MonitorRow& row = page.rows[i];
        row.index = (first + i) % kMonitorCapacity;
        auto& c = row.cells;
        c[ColumnSequence] = std::to_string(r.sequence);
        c[ColumnDirection] = FormatDirection(r);
        c[ColumnTime] = std::to_string(static_cast<int32_t>(r.timeMs));
        c[ColumnRelativeTime] = " +" + std::to_string(static_cast<int32_t>(r.timeMs - previousTime));
        c[ColumnKind] = FormatKind(r);
        c[ColumnLength] = FormatLength(r);
        c[ColumnData] = FormatData(r, RecordTextUse::List);
        c[ColumnStatus] = FormatStatus(r);
        if (r.kind == KindErrorFlags) {
            row.text = kRowTextReceived;
            row.background = kRowBackgroundErrorFlags;
        } else {
            row.text = IsReceived(r) ? kRowTextReceived : kRowTextSent;
            row.background = kRowBackground;
        }
        previousTime = r.timeMs;
    }
}

uint32_t MonitorIndexFromSequenceText(const std::string& text) {
    // The list wrote the text from an unsigned 32-bit sequence; read it back the same way.
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    uint64_t s = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        s = std::min<uint64_t>(s * 10 + static_cast<uint64_t>(text[i] - '0'), UINT32_MAX);
    return MonitorIndexOfSequence(static_cast<uint32_t>(s));
}

void DecodeUartDetail(const MonitorRecord& r, RecordDetail& d) {
    d.header = "-";
    d.crc = "-";
    d.dlc = InitType(r) == 7 ? "-" : std::to_string(UartLength(r));
    d.data.clear();
    BuildUartData(r, true, d.data);
    UpperAscii(d.data);
}

void DecodeCanDetail(const MonitorRecord& r, RecordDetail& d) {
    const CanFields f = DecodeCan(r);
    char buf[32];
    if (f.extended)
        std::snprintf(buf, sizeof buf, " %.2X %.2X %.2X %.2X", (f.id >> 24) & 0xFF, (f.id >> 16) & 0xFF,
                      (f.id >> 8) & 0xFF, f.id & 0xFF);
    else
        std::snprintf(buf, sizeof buf, " %.3X", f.id);
    d.header = buf;
    d.dlc = std::to_string(f.dlc);
    d.crc = "-";
    d.data.clear();
    if (f.remote) {
        d.data = "远程帧";
    } else {
        AppendHexBytes(d.data, &r.data[6], f.dataBytes);
        UpperAscii(d.data);
    }
}

void DecodeJ1850Detail(const MonitorRecord& r, RecordDetail& d) {
    const J1850Fields f = DecodeJ1850(r);
    const int h = J1850OneByteHeader(r) ? 1 : 3;
    char buf[32];
    if (h == 1)
        std::snprintf(buf, sizeof buf, "%.2X ", r.data[4]);
    else
        std::snprintf(buf, sizeof buf, "%.2X %.2X %.2X", r.data[4], r.data[5], r.data[6]);
    d.header = std::string(f.pwm ? " PWM: " : " VPW: ") + buf;
    const int dlc = static_cast<int>(f.c) - h - 1;
    d.dlc = std::to_string(dlc);
    d.data.clear();
    if (dlc > 0) AppendHexBytes(d.data, &r.data[4 + h], static_cast<uint32_t>(dlc));
    std::snprintf(buf, sizeof buf, "%.2X", r.data[3 + f.c]);
    d.crc = buf;
    if (r.data[1] > 15) {
        if (!f.pwm) {
            d.data += "      NB:";
            AppendInt(d.data, (r.data[0] >> 2) & 1);
        }
        d.data += "      IFR: ";
        AppendHexBytes(d.data, &r.data[f.ifrStart], f.ifr);
    }
    UpperAscii(d.data);
}

void DecodeErrorFlagsDetail(const MonitorRecord& r, RecordDetail& d) {
    d.header = "-";
    d.dlc = "-";
    d.crc = "-";
    char buf[128];
    std::snprintf(buf, sizeof buf,
                  "UERRF: 0x%.2X \r\nJERRF: 0x%.2X \r\nCINTF0: 0x%.2X \r\nCINTF1: 0x%.2X \r\nCINTF2: 0x%.2X ",
                  r.data[4], r.data[5], r.data[6], r.data[7], r.data[8]);
    d.data = buf;
}

RecordDetail DecodeRecordDetail(const MonitorRecord& r) {
    RecordDetail d;
    d.sequence = std::to_string(r.sequence);
    d.direction = FormatDirection(r);
    switch (r.kind) {
        case KindCan: d.bus = "CAN"; DecodeCanDetail(r, d); break;
        case KindUart: d.bus = "UART"; DecodeUartDetail(r, d); break;
        case KindJ1850: d.bus = "J1850"; DecodeJ1850Detail(r, d); break;
        default: d.bus = "ERROR Flag"; DecodeErrorFlagsDetail(r, d); break;
    }
    return d;
}
