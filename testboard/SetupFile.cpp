#include "testboard/SetupFile.h"

#include "testboard/CanBus.h"

#include <algorithm>
#include <cctype>
#include <sstream>

namespace testboard {

namespace {

// Hex number with an optional 0x, at most `maxDigits` digits; nothing else on the token.
bool ParseHex(const std::string& token, unsigned maxDigits, unsigned long& value) {
    size_t start = (token.size() > 2 && token[0] == '0' && (token[1] == 'x' || token[1] == 'X')) ? 2 : 0;
    size_t digits = token.size() - start;
    if (digits == 0 || digits > maxDigits) return false;
    value = 0;
    for (size_t i = start; i < token.size(); ++i) {
        const int c = std::tolower(static_cast<unsigned char>(token[i]));
        if (!std::isxdigit(c)) return false;
        value = value * 16 + static_cast<unsigned long>(std::isdigit(c) ? c - '0' : c - 'a' + 10);
    }
    return true;
}

bool ParseByte(const std::string& token, uint8_t& byte) {
    unsigned long value;
    if (!ParseHex(token, 2, value)) return false;
    byte = static_cast<uint8_t>(value);
    return true;
}

bool ParseBytes(std::vector<std::string>::const_iterator first,
                std::vector<std::string>::const_iterator last, Bytes& out) {
    out.clear();
    for (auto it = first; it != last; ++it) {
        uint8_t byte;
        if (!ParseByte(*it, byte)) return false;
        out.push_back(byte);
    }
    return true;
}

constexpr const char* kOnBytes = "on needs hex bytes, '=>' and the reply's hex bytes";

// An on rule's packet bytes: hex bytes as everywhere, and two-digit patterns in which a '?'
// digit matches any value (?0, 8?, ??). `care` gets the bits that must match. "" when read,
// else why not.
std::string ParsePattern(std::vector<std::string>::const_iterator first,
                         std::vector<std::string>::const_iterator last, Bytes& bytes, Bytes& care) {
    bytes.clear();
    care.clear();
    for (auto it = first; it != last; ++it) {
        const std::string& token = *it;
        uint8_t byte = 0, mask = 0xFF;
        if (token.find('?') != std::string::npos) {
            const auto digit = [](char c) { return c == '?' || std::isxdigit(static_cast<unsigned char>(c)); };
            if (token.size() != 2 || !digit(token[0]) || !digit(token[1]))
                return "'" + token + "' is no byte pattern: two digits, each hex or '?' (?0, 8?, ?\?)";
            const std::string digits = {token[0] == '?' ? '0' : token[0], token[1] == '?' ? '0' : token[1]};
            ParseByte(digits, byte);
            mask = static_cast<uint8_t>((token[0] == '?' ? 0x00 : 0xF0) | (token[1] == '?' ? 0x00 : 0x0F));
        } else if (!ParseByte(token, byte)) {
            return kOnBytes;
        }
        bytes.push_back(byte);
        care.push_back(mask);
    }
    if (bytes.empty()) return kOnBytes;
    if (std::all_of(care.begin(), care.end(), [](uint8_t m) { return m == 0; }))
        return "an on rule's bytes cannot all be '?\?': every packet would match";
    return "";
}

// A '?' digit matches part of a written packet: it means nothing where a line gives bytes.
bool WildcardOutsidePattern(const std::vector<std::string>& t) {
    if (t[0] == "capture" && t.size() >= 2 && t[1] == "klg") return false;  // a path
    const auto from = t[0] == "on" ? std::find(t.begin(), t.end(), "=>") : t.begin() + 1;
    return std::any_of(from, t.end(), [](const std::string& token) { return token.find('?') != std::string::npos; });
}

// "can ID bytes.. [can ID bytes..]..": one poll reply with a CAN record per "can". An id of
// up to three digits is an 11-bit one, longer ones are 29-bit.
bool ParseCanReply(std::vector<std::string>::const_iterator first,
                   std::vector<std::string>::const_iterator last, Bytes& reply) {
    std::vector<Bytes> records;
    while (first != last) {
        if (*first != "can" || ++first == last) return false;
        unsigned long id;
        const std::string digits = first->rfind("0x", 0) == 0 ? first->substr(2) : *first;
        if (!ParseHex(*first, 8, id)) return false;
        const bool extended = digits.size() > 3;
        auto end = std::find(++first, last, std::string("can"));
        Bytes data;
        if (!ParseBytes(first, end, data) || data.size() > 8) return false;
        records.push_back(CanRecord(static_cast<uint32_t>(id), extended, data.data(),
                                    static_cast<unsigned>(data.size())));
        first = end;
    }
    if (records.empty() || records.size() > kMaxRecordsPerReply) return false;
    reply = CanRecordsReply(records);
    return true;
}

std::vector<std::string> Tokens(std::string line) {
    line = line.substr(0, line.find('#'));
    // "=>" may touch its neighbours.
    for (size_t at = line.find("=>"); at != std::string::npos; at = line.find("=>", at + 4))
        line.replace(at, 2, " => ");
    std::istringstream in(line);
    std::vector<std::string> tokens;
    for (std::string token; in >> token;) tokens.push_back(token);
    return tokens;
}

// "capture klg PATH", "capture uart BAUD none|odd|even", "capture bytes HEX...", and
// "capture gap|idle|break US".
std::string ParseCaptureLine(const std::vector<std::string>& t, std::vector<CaptureStep>& steps) {
    const std::string kind = t.size() >= 2 ? t[1] : std::string();
    CaptureStep step{CaptureStep::Bytes, {}, 0, 0, {}};
    unsigned long number = 0;
    if (kind == "klg") {
        if (t.size() != 3) return "capture klg needs one file path";
        step.kind = CaptureStep::Klg;
        step.path = t[2];
    } else if (kind == "uart") {
        const char* const parities[] = {"none", "odd", "even"};
        auto parity = t.size() == 4 ? std::find(std::begin(parities), std::end(parities), t[3]) : std::end(parities);
        if (parity == std::end(parities) || !ParseHex(t[2], 8, number) || number == 0)
            return "capture uart needs a hex baud and none, odd or even";
        step.kind = CaptureStep::Uart;
        step.number = static_cast<uint32_t>(number);
        step.parityMode = static_cast<uint32_t>(parity - std::begin(parities));
    } else if (kind == "bytes") {
        if (t.size() < 3 || !ParseBytes(t.begin() + 2, t.end(), step.data)) return "capture bytes needs hex bytes";
    } else if (kind == "gap" || kind == "idle" || kind == "break") {
        if (t.size() != 3 || !ParseHex(t[2], 8, number)) return "capture " + kind + " needs hex microseconds";
        step.kind = kind == "gap" ? CaptureStep::Gap : kind == "idle" ? CaptureStep::Idle : CaptureStep::Break;
        step.number = static_cast<uint32_t>(number);
    } else {
        return "capture needs klg, uart, bytes, gap, idle or break";
    }
    steps.push_back(std::move(step));
    return "";
}

// Fills `setup` from one line's tokens; returns why the line is ignored, or "" when used.
std::string ParseLine(const std::vector<std::string>& t, Setup& setup) {
    const std::string& key = t[0];
    if (WildcardOutsidePattern(t)) return "a '?' digit matches part of a packet byte only in an on rule, before '=>'";
    if (key == "boards") {
        unsigned long count;
        if (t.size() != 2 || !ParseHex(t[1], 8, count)) return "boards needs one hex count";
        setup.boards = static_cast<unsigned>(count);
    } else if (key == "chip") {
        uint8_t id, version;
        if (t.size() != 3 || !ParseByte(t[1], id) || !ParseByte(t[2], version))
            return "chip needs an ID and a version byte";
        setup.chip = std::make_pair(id, version);
    } else if (key == "reg") {
        uint8_t reg, value;
        if (t.size() != 3 || !ParseByte(t[1], reg) || !ParseByte(t[2], value))
            return "reg needs a register and a value byte";
        setup.registers.emplace_back(reg, value);
    } else if (key == "busy") {
        uint8_t reg, bits;
        unsigned long reads;
        if (t.size() != 4 || !ParseByte(t[1], reg) || !ParseByte(t[2], bits) ||
            !ParseHex(t[3], 8, reads))
            return "busy needs a register, its bits and a hex count of reads";
        setup.busy.push_back({reg, bits, static_cast<unsigned>(reads)});
    } else if (key == "block") {
        uint8_t block;
        Bytes data;
        if (t.size() < 2 || !ParseByte(t[1], block) || !ParseBytes(t.begin() + 2, t.end(), data))
            return "block needs a block number and hex bytes";
        setup.blocks.emplace_back(block, std::move(data));
    } else if (key == "idle") {
        Bytes reply;
        if (!ParseBytes(t.begin() + 1, t.end(), reply)) return "idle needs hex bytes";
        setup.idle = std::move(reply);
    } else if (key == "latency") {
        unsigned long ms;
        if (t.size() != 2 || !ParseHex(t[1], 4, ms)) return "latency needs hex milliseconds";
        setup.latencyMs = static_cast<unsigned>(ms);
    } else if (key == "init5") {
        Init5Answer answer;
        if (t.size() != 4 || !ParseByte(t[1], answer.result) || !ParseByte(t[2], answer.keyword1) ||
            !ParseByte(t[3], answer.keyword2))
            return "init5 needs the result byte and two key bytes";
        setup.init5 = answer;
    } else if (key == "kw1281-ack") {
        if (t.size() != 1) return "kw1281-ack takes nothing";
        setup.kw1281Ack = true;
    } else if (key == "capture") {
        return ParseCaptureLine(t, setup.capture);
    } else if (key == "on") {
        auto arrow = std::find(t.begin(), t.end(), "=>");
        CannedRule rule;
        auto end = t.end();
        // "after <hex ms>" at the end holds the reply back.
        if (t.size() >= 2 && t[t.size() - 2] == "after") {
            unsigned long ms;
            if (!ParseHex(t.back(), 8, ms) || ms == 0)
                return "after needs hex milliseconds";
            rule.holdMs = static_cast<unsigned>(ms);
            end -= 2;
        }
        if (arrow == t.end() || arrow >= end) return kOnBytes;
        if (std::string why = ParsePattern(t.begin() + 1, arrow, rule.prefix, rule.mask); !why.empty()) return why;
        if (arrow + 1 != end && arrow[1] == "can") {
            if (!ParseCanReply(arrow + 1, end, rule.reply))
                return "a can reply needs 'can', an id of up to 8 hex digits and up to 8 bytes";
        } else if (!ParseBytes(arrow + 1, end, rule.reply) || rule.reply.empty()) {
            return kOnBytes;
        }
        setup.rules.push_back(std::move(rule));
    } else if (key == "every") {
        // every <ms> [on <start packet bytes>] => <reply>
        unsigned long ms;
        PeriodicRule rule;
        auto arrow = std::find(t.begin(), t.end(), "=>");
        const bool on = t.size() > 2 && t[2] == "on";
        if (t.size() < 4 || arrow == t.end() || arrow == t.begin() + 1 || !ParseHex(t[1], 8, ms) || ms == 0 ||
            (!on && arrow != t.begin() + 2) || (on && !ParseBytes(t.begin() + 3, arrow, rule.start)) ||
            !ParseBytes(arrow + 1, t.end(), rule.reply) || rule.reply.empty())
            return "every needs hex milliseconds, optionally 'on' and a start packet's first bytes, '=>' and the reply's hex bytes";
        rule.periodMs = static_cast<unsigned>(ms);
        setup.periodic.push_back(std::move(rule));
    } else if (key == "echo") {
        if (t.size() != 1) return "echo takes nothing after it";
        setup.echo = true;
    } else if (key == "j1850") {
        // j1850 <sent frame start> => [answer frame] [ifr <bytes>]
        auto arrow = std::find(t.begin(), t.end(), "=>");
        auto ifr = std::find(t.begin(), t.end(), "ifr");
        J1850Peer peer;
        if (arrow == t.end() || ifr < arrow || !ParseBytes(t.begin() + 1, arrow, peer.match) ||
            !ParseBytes(arrow + 1, ifr, peer.answer) ||
            (ifr != t.end() && !ParseBytes(ifr + 1, t.end(), peer.ifr)))
            return "j1850 needs hex bytes, '=>', the answer's hex bytes and 'ifr' with its bytes";
        setup.j1850Peers.push_back(std::move(peer));
    } else {
        return "unknown line";
    }
    return "";
}

}  // namespace

Setup ParseSetup(const std::string& text) {
    Setup setup;
    std::istringstream in(text);
    unsigned number = 0;
    for (std::string line; std::getline(in, line);) {
        ++number;
        std::vector<std::string> tokens = Tokens(line);
        if (tokens.empty()) continue;
        std::string why = ParseLine(tokens, setup);
        if (!why.empty())
            setup.notes.push_back("line " + std::to_string(number) + ": " + why + ", ignored");
    }
    return setup;
}

void ApplySetup(Board& board, const Setup& setup) {
    if (setup.boards) board.SetBoardCount(*setup.boards);
    if (setup.chip) board.SetChip(setup.chip->first, setup.chip->second);
    for (const auto& [reg, value] : setup.registers) board.SetRegister(reg, value);
    for (const Setup::Busy& b : setup.busy) board.SetBusyBits(b.reg, b.bits, b.reads);
    for (const auto& [block, data] : setup.blocks)
        board.SetBlock(block, data.data(), static_cast<unsigned>(data.size()));
    if (setup.idle) board.SetIdleReply(setup.idle->data(), static_cast<unsigned>(setup.idle->size()));
    if (setup.latencyMs) board.SetReadLatency(*setup.latencyMs);
    for (const CannedRule& rule : setup.rules) board.AddRule(rule);
    for (const PeriodicRule& rule : setup.periodic) board.AddPeriodicRule(rule);
    if (setup.echo) board.SetEcho(true);
    if (setup.init5) board.SetInit5(&*setup.init5);
    if (setup.kw1281Ack) board.SetKw1281Ack(true);
    for (const J1850Peer& peer : setup.j1850Peers) board.AddJ1850Peer(peer);
    if (!setup.capture.empty()) board.SetCapture(BuildCapture(setup.capture));
}

}  // namespace testboard
