#include "simulator/EcuParamFields.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "monitor/HexText.h"

const char* const kParaTextCancelQuestion = "确定取消对相关参数的更改吗?";

namespace {

const char* const kTextMax255 = "最大255ms!";
const char* const kTextFcTooLong = "数据桢的总长度不可大于8字节!";

using G = EcuParamGroup;
using K = EcuParamKind;

std::string Format(const char* format, unsigned a, unsigned b = 0, unsigned c = 0, unsigned d = 0) {
    char text[96];
    std::snprintf(text, sizeof text, format, a, b, c, d);
    return text;
}

std::string NoBlanks(const std::string& text) {
    std::string out;
    for (char c : text)
        if (c != ' ' && c != '\r' && c != '\n' && c != '\t') out += c;
    return out;
}

uint32_t HexNumber(const std::string& text) { return HexStringToNumber(NoBlanks(text)); }

// Eight bytes with a blank after each would pass the edit's 23 characters: no trailing one.
std::string FcText(const uint8_t* bytes, uint32_t count) {
    std::string text = HexBytesText(bytes, count);
    if (!text.empty()) text.pop_back();
    return text;
}

uint32_t* Header(EcuSimParams& p, int id) {
    switch (id) {
    case 1043: return &p.requestHeader9141;
    case 1021: return &p.vpwFunctionalRequestHeader;
    case 1020: return &p.vpwFunctionalRespondHeader;
    case 1019: return &p.vpwPhysicalRequestHeader;
    case 1022: return &p.vpwPhysicalRespondHeader;
    case 1025: return &p.pwmFunctionalRequestHeader;
    case 1024: return &p.pwmFunctionalRespondHeader;
    case 1023: return &p.pwmPhysicalRequestHeader;
    case 1028: return &p.pwmPhysicalRespondHeader;
    default: return nullptr;
    }
}

uint8_t* Byte(EcuSimParams& p, int id) {
    switch (id) {
    case 1041: return &p.initAddress9141;
    case 1034: return &p.functionalAddress14230;
    case 1033: return &p.physicalAddress14230;
    case 1032: return &p.testerAddress14230;
    case 1035: return &p.initAddress14230;
    case 1018: return &p.canPadValue;
    default: return nullptr;
    }
}

uint8_t* Millis(EcuSimParams& p, int id) {
    switch (id) {
    case 1040: return &p.p1Ms;
    case 1039: return &p.p2Ms;
    case 1037: return &p.fastInitLowMs;
    default: return nullptr;
    }
}

uint8_t* KeyWords(EcuSimParams& p, int id) {
    return id == 1044 ? p.keyWords9141 : id == 1036 ? p.keyWords14230 : nullptr;
}

uint32_t* Id11(EcuSimParams& p, int id) {
    switch (id) {
    case 1017: return &p.can11FunctionalRequestId;
    case 1016: return &p.can11PhysicalRequestId;
    case 1015: return &p.can11RespondId;
    default: return nullptr;
    }
}

uint32_t* Id29(EcuSimParams& p, int id) {
    switch (id) {
    case 1014: return &p.can29FunctionalRequestId;
    case 1013: return &p.can29PhysicalRequestId;
    case 1012: return &p.can29RespondId;
    default: return nullptr;
    }
}

}  // namespace

const std::vector<EcuParamField>& EcuParamFields() {
    static const std::vector<EcuParamField> fields = {
        {1029, G::KLine, "K总线波特率:", "", K::Choice, 0, {"10400 bps", "9600  bps"}},
        {1040, G::KLine, "桢发送字节间隙P1:", "ms", K::Decimal, 3, {}},
        {1039, G::KLine, "发送桢间隙P2:", "ms", K::Decimal, 3, {}},
        {1038, G::KLine, "最大链路保持时间:", "ms", K::Decimal, 4, {}},
        {1043, G::Iso9141, "Receive 3 Header:", "", K::Hex, 8, {}},
        {1042, G::Iso9141, "Respond 3 Header:", "", K::Hex, 8, {}},
        {1041, G::Iso9141, "5 Baudrate Address:", "", K::Hex, 2, {}},
        {1044, G::Iso9141, "Key Words:", "", K::Hex, 5, {}},
        {1030, G::Iso9141, "帧长度发送模式:", "", K::Choice, 0,
         {"9141-2数据长度限止7字节(OBD2)", "9141-2数据长度不限止"}},
        {1034, G::Iso14230, "Req. Functional Address:", "", K::Hex, 2, {}},
        {1033, G::Iso14230, "Req. Physical Address:", "", K::Hex, 2, {}},
        {1032, G::Iso14230, "Target Address:", "", K::Hex, 2, {}},
        {1035, G::Iso14230, "5 Baudrate Init Address:", "", K::Hex, 2, {}},
        {1036, G::Iso14230, "Slow Init Key Words:", "", K::Hex, 5, {}},
        {1037, G::Iso14230, "Fast Init low Time:", "ms", K::Decimal, 3, {}},
        {1031, G::Iso14230, "帧长度发送模式:", "", K::Choice, 0,
         {"3 Header 数据长度限止7字节", "3 Header 数据长度不限止", "3+1 Header 含附加长度字节"}},
        {1021, G::J1850, "VPW Functional Request Header:", "", K::Hex, 8, {}},
        {1020, G::J1850, "VPW Functional Respond Header:", "", K::Hex, 8, {}},
        {1019, G::J1850, "VPW Physical Resquest Header:", "", K::Hex, 8, {}},
        {1022, G::J1850, "VPW Physical Respond Header:", "", K::Hex, 8, {}},
        {1025, G::J1850, "PWM Functional Request Header:", "", K::Hex, 8, {}},
        {1024, G::J1850, "PWM Functional Respond Header:", "", K::Hex, 8, {}},
        {1023, G::J1850, "PWM Physical Resquest Header:", "", K::Hex, 8, {}},
        {1028, G::J1850, "PWM Physical Respond Header:", "", K::Hex, 8, {}},
        {1017, G::Can, "11bits Functional Request ID:", "", K::Hex, 3, {}},
        {1016, G::Can, "11bits Physical Request ID:", "", K::Hex, 3, {}},
        {1015, G::Can, "11bits Physical Respond ID:", "", K::Hex, 3, {}},
        {1014, G::Can, "29bits Functional Request ID:", "", K::Hex, 11, {}},
        {1013, G::Can, "29bits Physical Request ID:", "", K::Hex, 11, {}},
        {1012, G::Can, "29bits Physical Respond ID:", "", K::Hex, 11, {}},
        {1026, G::Can, "CAN 总线波特率 :", "", K::Choice, 0, {"500 kbps", "250 kbps"}},
        {1027, G::Can, "桢长度填允为8字节 :", "", K::Choice, 0, {"固定8字节", "可变长度"}},
        {1018, G::Can, "填允值 0x :", "", K::Hex, 2, {}},
        {1011, G::Can, "接收时自动应答的控制帧FC数据:", "", K::Hex, 23, {}},
    };
    return fields;
}

std::string EcuParamText(const EcuSimParams& params, int id) {
    EcuSimParams p = params;  // the lookups hand out pointers into a record of their own
    if (uint32_t* h = Header(p, id)) {
        uint8_t w[3];
        HeaderWireBytes(*h, w);
        return Format("%.2X %.2X %.2X", w[0], w[1], w[2]);
    }
    if (id == 1042) {
        uint8_t w[3];
        RespondHeader9141Wire(p, w);
        return Format("%.2X %.2X %.2X", w[0], w[1], w[2]);
    }
    if (uint8_t* b = Byte(p, id)) return Format("%.2X", *b);
    if (uint8_t* ms = Millis(p, id)) return Format("%u", *ms);
    if (uint8_t* kw = KeyWords(p, id)) return Format("%.2X %.2X", kw[0], kw[1]);
    if (uint32_t* v = Id11(p, id)) return Format("%.3X", *v);
    if (uint32_t* v = Id29(p, id))
        return Format("%.2X %.2X %.2X %.2X", (*v >> 24) & 0xFF, (*v >> 16) & 0xFF, (*v >> 8) & 0xFF,
                      *v & 0xFF);
    if (id == 1038) return Format("%u", p.sessionTimeoutMs);
    if (id == IDC_PARA_FC_DATA) return FcText(p.flowControlData, std::min<uint32_t>(p.flowControlDlc, 8));
    return std::string();
}

int EcuParamChoice(const EcuSimParams& p, int id) {
    switch (id) {
    case 1029: return p.kLineBrg == 239 ? 0 : 1;
    case 1030: return p.lengthMode9141 ? 0 : 1;
    case 1031: return std::min<int>(p.headerMode14230, 2);
    case 1026: return p.canKbps == 500 ? 0 : 1;
    case 1027: return p.canPadTo8 ? 0 : 1;
    default: return -1;
    }
}

void SetEcuParamChoice(EcuSimParams& p, int id, int item) {
    switch (id) {
    case 1029: p.kLineBrg = item == 0 ? 239 : 259; break;
    case 1030: p.lengthMode9141 = item == 0 ? 1 : 0; break;
    case 1031: p.headerMode14230 = static_cast<uint8_t>(std::clamp(item, 0, 2)); break;
    case 1026: p.canKbps = item == 0 ? 500 : 250; break;
    case 1027: p.canPadTo8 = item == 0 ? 1 : 0; break;
    default: break;
    }
}

EcuParamEdit SetEcuParamText(EcuSimParams& p, int id, const std::string& text) {
    EcuParamEdit edit;
    if (uint32_t* h = Header(p, id)) {
        *h = HexNumber(text) & 0xFFFFFF;
        const uint8_t second = static_cast<uint8_t>(*h >> 8);
        if (id == IDC_PARA_VPW_FUNC_REQ) p.vpwFunctionalAddress = second;
        if (id == IDC_PARA_VPW_PHYS_REQ) p.vpwNodeAddress = second;
        if (id == IDC_PARA_PWM_FUNC_REQ) p.pwmFunctionalAddress = second;
        if (id == IDC_PARA_PWM_PHYS_REQ) p.pwmNodeAddress = second;
    } else if (id == 1042) {
        const uint32_t v = HexNumber(text);
        p.respondHeader9141[0] = static_cast<uint8_t>(v >> 16);
        p.respondHeader9141[2] = static_cast<uint8_t>(v >> 8);
        p.respondHeader9141[1] = static_cast<uint8_t>(v);
    } else if (uint8_t* b = Byte(p, id)) {
        *b = static_cast<uint8_t>(HexNumber(text));
    } else if (uint8_t* kw = KeyWords(p, id)) {
        const uint32_t v = HexNumber(text);
        kw[0] = static_cast<uint8_t>(v >> 8);
        kw[1] = static_cast<uint8_t>(v);
    } else if (uint32_t* v11 = Id11(p, id)) {
        *v11 = HexNumber(text) & 0x7FF;
    } else if (uint32_t* v29 = Id29(p, id)) {
        *v29 = HexNumber(text) & 0x1FFFFFFFu;
    } else if (uint8_t* ms = Millis(p, id)) {
        const unsigned long v = std::strtoul(text.c_str(), nullptr, 10);
        *ms = static_cast<uint8_t>(std::min<unsigned long>(v, 255));
        if (v > 255) edit = EcuParamEdit{true, "255", kTextMax255};
    } else if (id == 1038) {
        p.sessionTimeoutMs = static_cast<uint32_t>(std::strtoul(text.c_str(), nullptr, 10));
    } else if (id == IDC_PARA_FC_DATA) {
        std::string digits = NoBlanks(text);
        const size_t pairs = HexTextByteCount(digits);
        uint8_t bytes[8] = {};
        const size_t n = HexStringToBytes(digits, bytes, 8);
        std::copy(bytes, bytes + n, p.flowControlData);
        p.flowControlDlc = static_cast<uint32_t>(n);
        if (pairs > 8) edit = EcuParamEdit{true, FcText(p.flowControlData, 8), kTextFcTooLong};
    }
    return edit;
}

std::string J1850AddressText(const EcuSimParams& p, bool pwm, bool changed) {
    const char* format = pwm ? "PWM: ECU Respond for Functional Addr: 0x%.2X and Physical Addr 0x%.2X"
                         : changed ? "VPW: ECU Respond for Functional Addr: 0x%.2X and Physical Addr 0x%.2X"
                                   : "VPW:ECU Respond for Functional Addr: 0x%.2X and Physical Addr 0x%.2X";
    return pwm ? Format(format, p.pwmFunctionalAddress, p.pwmNodeAddress)
               : Format(format, p.vpwFunctionalAddress, p.vpwNodeAddress);
}

int AddressStaticOf(int id) {
    if (id == 1021 || id == 1019) return IDC_PARA_VPW_ADDRESSES;
    if (id == 1025 || id == 1023) return IDC_PARA_PWM_ADDRESSES;
    return 0;
}

void SetDefaultParams(EcuSimParams& p) {
    const uint8_t flavour = p.j1850Flavour;
    LoadDefaultParams(p);  // spares canStandardId
    p.j1850Flavour = flavour;
}
