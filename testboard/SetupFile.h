#pragma once
// The set-up file that prepares the board for a whole program run (testboard/README.md has
// the format). Parsing is separate from applying, so the parser is tested on text alone.
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "testboard/Board.h"

namespace testboard {

struct Setup {
    std::optional<unsigned> boards;
    std::optional<std::pair<uint8_t, uint8_t>> chip;  // ID, version
    std::vector<std::pair<uint8_t, uint8_t>> registers;
    struct Busy {
        uint8_t reg, bits;
        unsigned reads;
    };
    std::vector<Busy> busy;
    std::vector<std::pair<uint8_t, Bytes>> blocks;
    std::optional<Bytes> idle;
    std::optional<unsigned> latencyMs;
    std::vector<CannedRule> rules;
    std::vector<PeriodicRule> periodic;
    bool echo = false;
    std::optional<Init5Answer> init5;
    bool kw1281Ack = false;
    std::vector<J1850Peer> j1850Peers;
    std::vector<CaptureStep> capture;  // "capture" lines, in file order
    std::vector<std::string> notes;  // "line N: why", one per line that was ignored
};

Setup ParseSetup(const std::string& text);
void ApplySetup(Board& board, const Setup& setup);

}  // namespace testboard
