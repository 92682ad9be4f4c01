/* The simulated VR3526 board: control API for tests.
 *
 * The simulated library exports these and the seven _MPUSB* entry points, so the program
 * loads it by name exactly as it loads the real USB library. An emulated USB board
 * (testboard/usb/) serves the same board model to the real library; these calls control it. Every function here is thread-safe and
 * may be called while the program's worker talks to the board.
 *
 * Packets the board understands (byte 0): 00 version; 'P' register read (reply byte 2 =
 * value); 'Q' block read (the stored block from reply byte 0); 'R' register write; 'T' and
 * 'W' block writes (stored); 'U', 'V', 0x60, 0xAB, 0xB1, 0xB2 (logged, no reply); 0xA0 poll
 * (the next queued reply, else the idle reply) and 0xA0 frame packet (byte 1 bit 7 set:
 * answered with StatusTxDone 0x80 or'ed into the next queued reply, else 00 80 00 00).
 * A read with no reply waiting fails at once (a virtual time-out), unless a delay is set.
 */
#ifndef VR3526_TESTBOARD_H
#define VR3526_TESTBOARD_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Back to the start state: 1 board, chip 41 / 12, registers and blocks zero, no queued
 * replies, idle reply 00 00 00 00, no faults, no responder, empty logs of the default size,
 * the 1 ms read latency, pipes closed. */
void tb_reset(void);

void tb_set_board_count(unsigned count);
void tb_set_chip(uint8_t chip_id, uint8_t version);

void tb_set_register(uint8_t reg, uint8_t value);
uint8_t tb_get_register(uint8_t reg);
/* The next n reads of register 0x31 answer with bit 7 set (transmitter busy). */
void tb_set_busy_reads(unsigned n);
/* The next n reads of register reg answer with bits or'ed in (0x2A 01: the CAN protocol
 * engine is busy). */
void tb_set_busy_bits(uint8_t reg, uint8_t bits, unsigned n);

void tb_set_block(uint8_t block, const uint8_t* data, unsigned length);
/* Copies the stored block (as last written by 'T' or 'W'); returns its length. */
unsigned tb_get_block(uint8_t block, uint8_t* out, unsigned capacity);

/* A reply that answers the next poll (or frame packet); replies answer in queue order. */
void tb_queue_reply(const uint8_t* bytes, unsigned length);
/* The same, but no poll takes it before delay_ms have passed (a peer that answers later);
 * held replies join the queue in the order they fall due. */
void tb_queue_reply_after(const uint8_t* bytes, unsigned length, unsigned delay_ms);
unsigned tb_queued_replies(void);
/* What a poll gets when nothing is queued (default 00 00 00 00). */
void tb_set_idle_reply(const uint8_t* bytes, unsigned length);
/* Between a start packet (B1) and a stop packet (B2), a poll finds this reply queued every
 * period_ms (one per period; a late poll does not catch up). Kept until reset. */
void tb_add_periodic_reply(unsigned period_ms, const uint8_t* bytes, unsigned length);
/* While on, every UART send packet (60 00 n 00 data) comes back as a received frame
 * (00 10 n 00 data) when register 0x2D's low nibble is 0 or 5 (K1 or K2 hear themselves). */
void tb_set_uart_echo(int on);
/* Or status 0x08 into every poll reply from now on (0 turns it off). */
void tb_set_fault(int on);

/* CAN. A start packet B1 mode 01 .. starts the CAN side in that mode until B2: frame packets
 * (A0 8x with low nibble 0) are confirmed with 0x80 in normal mode, never in listen-only (3),
 * and in loopback (2) confirmed and heard back as a received record. Received frames queued
 * here ride in the next poll replies as 16-byte records, at most 16 a reply, after the
 * records of a queued reply. id with extended 0 is an 11-bit identifier. */
void tb_queue_can_frame(uint32_t id, int extended, const uint8_t* data, unsigned dlc);
/* The transport engine stand-ins, by PTYPE (register 0x29), for transmit-buffer writes after
 * the start (template writes before the start never send):
 * - PTYPE 0 or 1, 'T' 0x23 (CTXB5): that first frame and register 0x2B bytes of block 0x3E,
 *   as ISO 15765 consecutive frames;
 * - PTYPE 2, 'T' 0x22 (CTXB4): that RTS or BAM and register 0x2B TP.DT packets of the total
 *   it announces, data from block 0x3E, on the identifier of block 0x23 (the TP.DT template);
 * - PTYPE 3, 'T' 0x22: that first frame and register 0x2B bytes of block 0x3E as TP2.0 data
 *   frames; 'T' 0x23: that channel set-up;
 * - any PTYPE, 'T' 0x1F (CTXB1): that frame.
 * Each goes on the bus-frame list. */
unsigned tb_bus_frame_count(void);
/* Copies 16-byte bus frame i; returns its length (0 when out of range). */
unsigned tb_bus_frame(unsigned index, uint8_t* out, unsigned capacity);
void tb_bus_frames_clear(void);
/* The bus frames also come back as received records (a peer that hears them). */
void tb_set_bus_frames_as_records(int on);

/* Fault injection, each for one call: the n-th write from now (1 = the next) fails; the
 * next read fails and its reply is lost; the next reply comes delay_ms late (a read whose
 * time-out is shorter fails after its time-out and the reply stays for the next read); the
 * next reply is cut to length bytes. The read faults wait for a read that finds a reply:
 * a read of an empty pipe (a drain) uses none of them. */
void tb_fail_write(unsigned nth);
void tb_fail_next_read(void);
void tb_delay_next_read(unsigned delay_ms);
void tb_short_next_reply(unsigned length);
/* The next reply stops after length bytes: its read fails at its time-out with those bytes
 * (as a USB read does when the rest of a reply is late), and the rest stays for the next. */
void tb_split_next_reply(unsigned length);
/* Every answered read waits latency_ms first, like a real board's USB round trip. The
 * library starts with 1 ms, and tb_reset returns to it, so that a worker polling it does not
 * spin; 0 answers at once (for races and benchmarks that want every exchange they can get). */
void tb_set_read_latency(unsigned latency_ms);
/* Opening a pipe in this direction (0 write, 1 read) fails until reset. */
void tb_fail_open(int direction);
/* Number of _MPUSBOpen calls with a valid result, and the index last opened. */
unsigned tb_open_count(void);
int tb_last_open_index(void);
/* Pipes currently open (opened and not yet closed). */
unsigned tb_open_pipes(void);

/* Called after every packet the host writes (and logs), outside the board's lock, so it may
 * call tb_queue_reply. Plays the peer on the bus. NULL removes it. */
typedef void (*tb_responder)(void* context, const uint8_t* packet, unsigned length);
void tb_set_responder(tb_responder responder, void* context);

/* The UART engine's answers to engine frames (57 3F n word bytes). With init5 on, a frame of
 * init type 2 queues the 5-baud result 00 10 07 20 result 00 BRGlo BRGhi 00 kw1 kw2 (BRG as
 * block 0x2A holds it; result 0 reads "INIT=OK"). With the KW1281 acknowledgement on, every
 * block (first byte = byte count - 1, last byte 03) queues 00 10 04 00 03 counter+1 09 03.
 * Engine frames whose u16 length is not (word & 0x1FF) + 2 are counted (a host that built a
 * frame wrong). */
void tb_set_init5(int on, uint8_t result, uint8_t keyword1, uint8_t keyword2);
void tb_set_kw1281_ack(int on);
unsigned tb_frame_length_mismatches(void);
/* J1850 (frame packet: A0, byte 1 bit 7 set, low nibble 2): answered with StatusTxDone and
 * the echo record (direction 0, CRC added). The next n frame packets are answered like a poll
 * instead (no StatusTxDone, nothing sent). A peer: a sent frame (CRC excluded) that starts
 * with match gets ifr as in-frame response in the echo and, when answer_length is not 0, the
 * answer frame as a received record (CRC added) in the same reply. */
void tb_j1850_withhold_tx_done(unsigned n);
void tb_j1850_add_peer(const uint8_t* match, unsigned match_length, const uint8_t* answer,
                       unsigned answer_length, const uint8_t* ifr, unsigned ifr_length);
/* Capture data for the logic analyser: after a start packet B1 87 02 (capture mode, UART
 * engine), a poll with no reply queued is answered with these level-change timestamps (u32
 * chip ticks of 1.6 us), at most per_reply of them (1-66, default 66) a reply as
 * [00 00 u16 4n, n u32 LE], and with the idle reply once all are served. Every such start
 * serves them from the first; another start or a stop packet ends the serving.
 * tb_capture_served counts the samples served since that start. */
void tb_set_capture(const uint32_t* samples, unsigned count);
void tb_set_capture_per_reply(unsigned per_reply);
unsigned tb_capture_served(void);

/* Packet log: every packet written, with the milliseconds since the library was loaded.
 * Indices count from the last clear. Memory keeps only the newest packets (100,000 unless
 * tb_set_log_limit says otherwise): an older index reads as length 0. The log file keeps all. */
unsigned tb_log_count(void);
/* Copies packet i; returns its length (0 when i is out of range or no longer kept). */
unsigned tb_log_packet(unsigned index, uint8_t* out, unsigned capacity, uint32_t* time_ms);
/* Clears the packet log and the call log. */
void tb_log_clear(void);
/* Blocks until at least count packets are logged or timeout_ms passed; 1 when reached. */
int tb_wait_log_count(unsigned count, unsigned timeout_ms);
/* How many of the newest packets, and of the newest calls, memory keeps; 0 restores 100,000.
 * A test that needs more says so here. */
void tb_set_log_limit(unsigned entries);

/* Call log: every write and read call the host made, with its time-out and its length (a
 * write's length, a read's maximum length), whatever came of it. Indexed, bounded and
 * cleared like the packet log. */
typedef struct {
    int read; /* 0 write, 1 read */
    uint32_t length;
    uint32_t timeout_ms;
} tb_call;
unsigned tb_call_count(void);
/* Copies call i; 0 when i is out of range or no longer kept. */
int tb_call_at(unsigned index, tb_call* out);

/* Loads a set-up file in the format of testboard/README.md; 0 when it cannot be read. */
int tb_load_setup(const char* path);
/* Appends one line per packet written from now on to this file (NULL stops); 0 when it
 * cannot be opened. VR3526_TESTBOARD_LOG does the same at load time. */
int tb_set_log_file(const char* path);

#ifdef __cplusplus
}
#endif

#endif
