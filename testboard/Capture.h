#pragma once
// Capture data for the logic analyser: after a start packet B1 87 02 (capture mode, UART
// engine) the board answers polls with level-change timestamps, at most 66 (or a lower count a
// test sets) a reply as [00 00 u16 4n, n u32 samples], and with the idle reply once they are
// all served. Each such start serves them from the first; any other start, and a stop,
// ends the serving.
//
// The samples come from the control API or from the set-up file's "capture" lines: a .klg
// file, or UART bytes synthesised at a baud and parity with idle times and breaks.
#include <cstdint>
#include <string>
#include <vector>

namespace testboard {

using Bytes = std::vector<uint8_t>;

class CaptureSource {
public:
    static constexpr unsigned kMaxPerReply = 66;  // what 268 bytes hold

    void Reset();
    void Set(std::vector<uint32_t> samples);
    // 1 .. 66; anything else is taken as 66.
    void SetPerReply(unsigned perReply);
    // Sees every packet the host writes: starts and stops.
    void OnPacket(const Bytes& packet);
    // A poll finds samples left to serve.
    bool Serving() const { return serving_ && next_ < samples_.size(); }
    Bytes NextReply();
    unsigned Served() const { return serving_ ? static_cast<unsigned>(next_) : 0; }

private:
    std::vector<uint32_t> samples_;
    size_t next_ = 0;
    bool serving_ = false;
    unsigned perReply_ = kMaxPerReply;
};

// One "capture" line of the set-up file, parsed.
struct CaptureStep {
    enum Kind { Klg, Uart, Bytes, Gap, Idle, Break } kind;
    std::string path;           // Klg
    uint32_t number = 0;        // Uart: baud; Gap, Idle, Break: µs
    uint32_t parityMode = 0;    // Uart: 0 none, 1 odd, 2 even
    std::vector<uint8_t> data;  // Bytes
};

// The samples the steps describe, in order: "klg" takes a file's samples, "uart" starts a
// synthesised line, "bytes" / "idle" / "break" go on it, "gap" is the idle after each byte
// from then on. Steps that cannot be used are reported on stderr and skipped.
std::vector<uint32_t> BuildCapture(const std::vector<CaptureStep>& steps);

}  // namespace testboard
