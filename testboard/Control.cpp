// The control API of testboard.h over the process's one board model, whichever front end
// (the simulated library or the emulated USB device) serves it.
#include <cstdio>
#include <fstream>
#include <sstream>

#include "testboard/Board.h"
#include "testboard/SetupFile.h"

using testboard::TheBoard;

extern "C" {

void tb_reset(void) { TheBoard().Reset(); }
void tb_set_board_count(unsigned count) { TheBoard().SetBoardCount(count); }
void tb_set_chip(uint8_t chip_id, uint8_t version) { TheBoard().SetChip(chip_id, version); }
void tb_set_register(uint8_t reg, uint8_t value) { TheBoard().SetRegister(reg, value); }
uint8_t tb_get_register(uint8_t reg) { return TheBoard().GetRegister(reg); }
void tb_set_busy_reads(unsigned n) { TheBoard().SetBusyReads(n); }
void tb_set_busy_bits(uint8_t reg, uint8_t bits, unsigned n) { TheBoard().SetBusyBits(reg, bits, n); }
void tb_queue_can_frame(uint32_t id, int extended, const uint8_t* data, unsigned dlc) {
    TheBoard().QueueCanFrame(id, extended != 0, data, dlc);
}
unsigned tb_bus_frame_count(void) { return TheBoard().BusFrameCount(); }
unsigned tb_bus_frame(unsigned index, uint8_t* out, unsigned capacity) {
    return TheBoard().BusFrame(index, out, capacity);
}
void tb_bus_frames_clear(void) { TheBoard().ClearBusFrames(); }
void tb_set_bus_frames_as_records(int on) { TheBoard().SetBusFramesAsRecords(on != 0); }
void tb_set_block(uint8_t block, const uint8_t* data, unsigned length) {
    TheBoard().SetBlock(block, data, length);
}
unsigned tb_get_block(uint8_t block, uint8_t* out, unsigned capacity) {
    return TheBoard().GetBlock(block, out, capacity);
}
void tb_queue_reply(const uint8_t* bytes, unsigned length) { TheBoard().QueueReply(bytes, length); }
void tb_queue_reply_after(const uint8_t* bytes, unsigned length, unsigned delay_ms) {
    TheBoard().QueueReplyAfter(bytes, length, delay_ms);
}
unsigned tb_queued_replies(void) { return TheBoard().QueuedReplies(); }
void tb_set_idle_reply(const uint8_t* bytes, unsigned length) {
    TheBoard().SetIdleReply(bytes, length);
}
void tb_set_fault(int on) { TheBoard().SetFault(on != 0); }
void tb_add_periodic_reply(unsigned period_ms, const uint8_t* bytes, unsigned length) {
    TheBoard().AddPeriodicRule(testboard::PeriodicRule{period_ms, testboard::Bytes(bytes, bytes ? bytes + length : bytes), {}});
}
void tb_set_uart_echo(int on) { TheBoard().SetEcho(on != 0); }
void tb_fail_write(unsigned nth) { TheBoard().FailWrite(nth); }
void tb_fail_next_read(void) { TheBoard().FailNextRead(); }
void tb_delay_next_read(unsigned delay_ms) { TheBoard().DelayNextRead(delay_ms); }
void tb_set_read_latency(unsigned latency_ms) { TheBoard().SetReadLatency(latency_ms); }
void tb_short_next_reply(unsigned length) { TheBoard().ShortNextReply(length); }
void tb_split_next_reply(unsigned length) { TheBoard().SplitNextReply(length); }
void tb_fail_open(int direction) { TheBoard().FailOpen(direction); }
unsigned tb_open_count(void) { return TheBoard().OpenCount(); }
int tb_last_open_index(void) { return TheBoard().LastOpenIndex(); }
unsigned tb_open_pipes(void) { return TheBoard().OpenPipes(); }
void tb_set_responder(tb_responder responder, void* context) {
    TheBoard().SetResponder(responder, context);
}
void tb_set_init5(int on, uint8_t result, uint8_t keyword1, uint8_t keyword2) {
    const testboard::Init5Answer answer{result, keyword1, keyword2};
    TheBoard().SetInit5(on ? &answer : nullptr);
}
void tb_set_kw1281_ack(int on) { TheBoard().SetKw1281Ack(on != 0); }
unsigned tb_frame_length_mismatches(void) { return TheBoard().FrameLengthMismatches(); }
unsigned tb_log_count(void) { return TheBoard().LogCount(); }
unsigned tb_log_packet(unsigned index, uint8_t* out, unsigned capacity, uint32_t* time_ms) {
    return TheBoard().LogPacket(index, out, capacity, time_ms);
}
void tb_log_clear(void) { TheBoard().LogClear(); }
int tb_wait_log_count(unsigned count, unsigned timeout_ms) {
    return TheBoard().WaitLogCount(count, timeout_ms) ? 1 : 0;
}
void tb_set_log_limit(unsigned entries) { TheBoard().SetLogLimit(entries); }
unsigned tb_call_count(void) { return TheBoard().CallCount(); }
int tb_call_at(unsigned index, tb_call* out) { return TheBoard().CallAt(index, out) ? 1 : 0; }
void tb_j1850_withhold_tx_done(unsigned n) { TheBoard().WithholdJ1850TxDone(n); }
void tb_j1850_add_peer(const uint8_t* match, unsigned match_length, const uint8_t* answer,
                       unsigned answer_length, const uint8_t* ifr, unsigned ifr_length) {
    auto bytes = [](const uint8_t* p, unsigned n) {
        return p ? testboard::Bytes(p, p + n) : testboard::Bytes();
    };
    TheBoard().AddJ1850Peer({bytes(match, match_length), bytes(answer, answer_length),
                             bytes(ifr, ifr_length)});
}

void tb_set_capture(const uint32_t* samples, unsigned count) {
    TheBoard().SetCapture(samples ? std::vector<uint32_t>(samples, samples + count) : std::vector<uint32_t>());
}
void tb_set_capture_per_reply(unsigned per_reply) { TheBoard().SetCapturePerReply(per_reply); }
unsigned tb_capture_served(void) { return TheBoard().CaptureServed(); }

int tb_load_setup(const char* path) {
    if (!path) return 0;
    std::ifstream in(path);
    if (!in) return 0;
    std::ostringstream text;
    text << in.rdbuf();
    testboard::Setup setup = testboard::ParseSetup(text.str());
    for (const std::string& note : setup.notes)
        std::fprintf(stderr, "testboard: %s: %s\n", path, note.c_str());
    testboard::ApplySetup(TheBoard(), setup);
    return 1;
}

int tb_set_log_file(const char* path) {
    if (!path) {
        TheBoard().SetLogFile(nullptr);
        return 1;
    }
    std::FILE* file = std::fopen(path, "a");
    if (!file) return 0;
    TheBoard().SetLogFile(file);
    return 1;
}

}  // extern "C"
