#pragma once
// The ECU simulator's response table and its parameter record, without any UI.
//
// OBDRespondEntry, 808 bytes, little-endian in files:
//   0 enabled u32   4 protocolMask u32   8 request[128]   136 requestLength u32
//   140 messageCount u32   144 message1Length u32   148 message2Length u32
//   152 bytesPerFrame u32   156 ackLength u32   160 ack[8]   168 message1[256]
//   424 message2[256]   680 note[128]
// EcuSimParams, 128 bytes: see the field list below; three-byte headers sit in a u32 whose
// bytes 2, 1, 0 are the wire bytes 1, 2, 3, except respondHeader9141 (wire: 13, 15, 14).
//
// The table is ordered by the sort below, and a request is answered by the first entry in
// table order that matches it. Threads: the page changes table and record on the UI thread
// only while no responder runs; a responder reads them without a lock.
#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr uint32_t kMaxRespondEntries = 1000;
constexpr size_t kRespondEntryBytes = 808;
constexpr size_t kEcuSimParamsBytes = 128;
constexpr uint32_t kRequestBytes = 128;
constexpr uint32_t kMaxAckBytes = 7;
constexpr uint32_t kMaxMessageBytes = 256;
constexpr uint32_t kNoteBytes = 128;

struct OBDRespondEntry {
    uint32_t enabled;
    uint32_t protocolMask;
    uint8_t request[kRequestBytes];
    uint32_t requestLength;
    uint32_t messageCount;
    uint32_t message1Length;
    uint32_t message2Length;
    uint32_t bytesPerFrame;
    uint32_t ackLength;
    uint8_t ack[8];
    uint8_t message1[kMaxMessageBytes];
    uint8_t message2[kMaxMessageBytes];
    char note[kNoteBytes];
};
static_assert(sizeof(OBDRespondEntry) == kRespondEntryBytes, "an entry is 808 bytes");
static_assert(offsetof(OBDRespondEntry, requestLength) == 136 &&
                  offsetof(OBDRespondEntry, ack) == 160 &&
                  offsetof(OBDRespondEntry, message2) == 424 &&
                  offsetof(OBDRespondEntry, note) == 680,
              "entry offsets are the file's");

struct EcuSimParams {
    uint32_t sessionTimeoutMs;            // 0
    uint8_t lengthMode9141;               // 4: 1 split by bytesPerFrame, 0 one frame per part
    uint8_t reserved5[3];                 // 5
    uint32_t requestHeader9141;           // 8
    uint8_t initAddress9141;              // 12
    uint8_t respondHeader9141[3];         // 13
    uint8_t keyWords9141[2];              // 16
    uint8_t initAddress14230;             // 18
    uint8_t keyWords14230[2];             // 19
    uint8_t fastInitLowMs;                // 21
    uint8_t functionalAddress14230;       // 22
    uint8_t physicalAddress14230;         // 23
    uint8_t testerAddress14230;           // 24
    uint8_t headerMode14230;              // 25
    uint8_t rxByteGapMaxMs;               // 26
    uint8_t p1Ms;                         // 27
    uint8_t p2Ms;                         // 28
    uint8_t j1850Flavour;                 // 29
    uint16_t kLineBrg;                    // 30
    uint32_t vpwFunctionalRequestHeader;  // 32
    uint32_t vpwFunctionalRespondHeader;
    uint32_t vpwPhysicalRequestHeader;
    uint32_t vpwPhysicalRespondHeader;
    uint32_t pwmFunctionalRequestHeader;  // 48
    uint32_t pwmFunctionalRespondHeader;
    uint32_t pwmPhysicalRequestHeader;
    uint32_t pwmPhysicalRespondHeader;
    uint8_t vpwNodeAddress;               // 64
    uint8_t vpwFunctionalAddress;
    uint8_t pwmNodeAddress;
    uint8_t pwmFunctionalAddress;
    uint8_t canPadValue;                  // 68
    uint8_t reserved69[3];
    uint32_t can11FunctionalRequestId;    // 72
    uint32_t can11PhysicalRequestId;
    uint32_t can11RespondId;
    uint32_t can29FunctionalRequestId;    // 84
    uint32_t can29PhysicalRequestId;
    uint32_t can29RespondId;
    uint32_t canKbps;                     // 96
    uint32_t canPadTo8;                   // 100
    uint32_t canStandardId;               // 104
    uint32_t flowControlDlc;              // 108
    uint8_t flowControlData[8];           // 112
    uint8_t reserved120[8];               // 120
};
static_assert(sizeof(EcuSimParams) == kEcuSimParamsBytes, "the record is 128 bytes");
static_assert(offsetof(EcuSimParams, kLineBrg) == 30 && offsetof(EcuSimParams, canPadValue) == 68 &&
                  offsetof(EcuSimParams, flowControlData) == 112,
              "record offsets are the file's");

// The record's and an entry's bytes as stored in files, field by field.
void EncodeEcuSimParams(const EcuSimParams& params, uint8_t* out);
EcuSimParams DecodeEcuSimParams(const uint8_t* in);
void EncodeRespondEntry(const OBDRespondEntry& entry, uint8_t* out);
OBDRespondEntry DecodeRespondEntry(const uint8_t* in);

// A three-byte header in its u32 as wire bytes, and the 9141 response header in wire order.
void HeaderWireBytes(uint32_t header, uint8_t out[3]);
void RespondHeader9141Wire(const EcuSimParams& params, uint8_t out[3]);

// The page's defaults: every field but canStandardId and the reserved bytes (j1850Flavour 0).
void LoadDefaultParams(EcuSimParams& params);
// A new entry: zeroed, then enabled 1, mask 0x7F, bytesPerFrame 7, note "Note".
void InitRespondEntry(OBDRespondEntry& entry);

// --- protocols ---------------------------------------------------------------------------
constexpr uint32_t kSimProtocolCount = 7;
enum SimProtocol : uint32_t {
    SimIso9141 = 0, SimIso14230Slow, SimIso14230Fast, SimJ1850Vpw, SimJ1850Pwm, SimCan11, SimCan29
};
extern const char* const kSimProtocolNames[kSimProtocolCount];
inline uint32_t SimProtocolBit(uint32_t index) { return 1u << index; }

// --- table operations --------------------------------------------------------------------
// Bubble sort of entries [0, count): n - 1 passes, neighbours swapped when key(j) > key(j+1);
// before a key is taken, request bytes requestLength..7 are zeroed in the entry itself.
// key = request[0..7] as a big-endian u64 plus requestLength (wrapping).
void SortRespondTable(OBDRespondEntry* entries, uint32_t count);
uint64_t RespondSortKey(OBDRespondEntry& entry);

// The first entry in table order that answers the request's data on this protocol bit:
// enabled, mask & bit, equal length and equal bytes. -1 when none.
int MatchRespondEntry(const OBDRespondEntry* entries, uint32_t count, uint32_t protocolBit,
                      const uint8_t* data, uint32_t length);

// The same answer from an index built once over a table that no longer changes: the
// candidates with the request's length and first eight bytes, checked in table order.
class RespondIndex {
public:
    RespondIndex() = default;
    RespondIndex(const OBDRespondEntry* entries, uint32_t count) { Build(entries, count); }
    void Build(const OBDRespondEntry* entries, uint32_t count);
    int Match(uint32_t protocolBit, const uint8_t* data, uint32_t length) const;
    const OBDRespondEntry& Entry(int index) const { return entries_[index]; }

private:
    struct Key {
        uint64_t head;    // the first eight bytes (zeros past the length), big-endian
        uint32_t length;
        uint32_t index;
    };
    const OBDRespondEntry* entries_ = nullptr;
    std::vector<Key> keys_;  // by head, length, then table order
};

// Removes the rows (any order, duplicates ignored): from the highest down, each is replaced
// by the current last entry. The caller sorts afterwards. Returns the new count.
uint32_t DeleteRespondRows(OBDRespondEntry* entries, uint32_t count, std::vector<uint32_t> rows);

// --- the program's table -----------------------------------------------------------------
extern OBDRespondEntry g_RespondTable[kMaxRespondEntries];
extern uint32_t g_RespondCount;
extern EcuSimParams g_EcuSimParams;
extern std::atomic<uint32_t> g_SimProtocolBit;
extern std::atomic<uint8_t> g_NegativeRespondEnabled;

// Texts of the delete question and its refusal.
extern const char* const kTextSelectRowsToDelete;   // "请首先在列表中选择移除的一项或多项!"
extern const char* const kCaptionSelectRowsToDelete; // "请选择删除项"
// "确定要册除选择的 %d 项数据吗?" with the number filled in.
std::string DeleteQuestionText(size_t rows);
