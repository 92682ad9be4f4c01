// Turns a readable response table (testboard/examples/obd2-default.table) into the ECU
// simulator's .sim file, through the simulator's own entry defaults, sort and writer, so the
// file the trial ships is what the page itself would have saved.
//
//   make_sim_table <table text> <.sim file>
//
// A line is `request => answer  "note"`: hex byte pairs, at most 7 each; '#' starts a
// comment. A line it cannot read stops it with the line's number, and nothing is written.
#include <cctype>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "simulator/EcuSimFile.h"
#include "simulator/RespondTable.h"

namespace {

bool HexBytes(const std::string& text, std::vector<uint8_t>& out) {
    std::istringstream words(text);
    std::string word;
    while (words >> word) {
        if (word.size() != 2 || !std::isxdigit(static_cast<unsigned char>(word[0])) ||
            !std::isxdigit(static_cast<unsigned char>(word[1])))
            return false;
        out.push_back(static_cast<uint8_t>(std::stoul(word, nullptr, 16)));
    }
    return true;
}

// One line into an entry; false when the line holds none. error names what is wrong.
bool ParseLine(std::string line, OBDRespondEntry& entry, std::string& error) {
    std::string note = "Note";
    const size_t quote = line.find('"');
    if (quote != std::string::npos) {
        const size_t end = line.find('"', quote + 1);
        if (end == std::string::npos) {
            error = "a note without its closing quote";
            return false;
        }
        note = line.substr(quote + 1, end - quote - 1);
        line = line.substr(0, quote) + line.substr(end + 1);
    }
    line = line.substr(0, line.find('#'));
    if (line.find_first_not_of(" \t\r") == std::string::npos) return false;
    const size_t arrow = line.find("=>");
    std::vector<uint8_t> request, answer;
    if (arrow == std::string::npos || !HexBytes(line.substr(0, arrow), request) ||
        !HexBytes(line.substr(arrow + 2), answer)) {
        error = "not `request => answer`, in hex byte pairs";
        return false;
    }
    if (request.empty() || request.size() > 7 || answer.empty() || answer.size() > kMaxAckBytes) {
        error = "a request or an answer of no bytes or more than 7";
        return false;
    }
    if (note.size() > 126) {
        error = "a note longer than 126 characters";
        return false;
    }
    InitRespondEntry(entry);
    std::memcpy(entry.request, request.data(), request.size());
    entry.requestLength = static_cast<uint32_t>(request.size());
    std::memcpy(entry.ack, answer.data(), answer.size());
    entry.ackLength = static_cast<uint32_t>(answer.size());
    std::memset(entry.note, 0, sizeof entry.note);
    std::memcpy(entry.note, note.data(), note.size());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_sim_table <table text> <.sim file>\n");
        return 2;
    }
    std::ifstream in(argv[1]);
    if (!in) {
        std::fprintf(stderr, "%s: cannot be read\n", argv[1]);
        return 1;
    }
    std::vector<OBDRespondEntry> entries;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        OBDRespondEntry entry{};
        std::string error;
        if (ParseLine(line, entry, error)) {
            entries.push_back(entry);
        } else if (!error.empty()) {
            std::fprintf(stderr, "%s:%d: %s\n", argv[1], number, error.c_str());
            return 1;
        }
        if (entries.size() > kMaxRespondEntries) {
            std::fprintf(stderr, "%s: more than %u entries\n", argv[1], kMaxRespondEntries);
            return 1;
        }
    }
    SortRespondTable(entries.data(), static_cast<uint32_t>(entries.size()));
    EcuSimParams params{};
    LoadDefaultParams(params);
    // Saved with ISO 9141-2 chosen, the protocol the example set-up's tester speaks.
    if (SaveEcuSimFile(argv[2], SimIso9141, params, entries.data(),
                       static_cast<uint32_t>(entries.size())) != SimFileResult::Ok) {
        std::fprintf(stderr, "%s: cannot be written\n", argv[2]);
        return 1;
    }
    return 0;
}
