#pragma once
// Text typed into a page's edits as every family reads it: decimal numbers like atoi but
// saturating, and hex bytes cut to what a field holds.
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>

#include "monitor/HexText.h"
#include "pages/shared/PageStatus.h"

// Read like atoi (leading blanks, optional sign, digits up to the first other character,
// no digits -> 0) but saturating at INT32_MIN / INT32_MAX instead of overflowing.
int32_t ParseDecimalSaturating(const std::string& text);

// Up to `capacity` bytes typed in a hex edit. Blanks and line breaks are no bytes; more bytes
// than fit are cut, and the edit is rewritten with the kept ones ("%.2X " each) under message.
PageEditResult CapHexData(std::string text, uint8_t* out, size_t capacity, uint8_t& count,
                          const char* message);

// Bytes typed in a hex edit: at most Capacity, more are cut under the page's message.
template <size_t Capacity>
struct HexData {
    HexData(std::initializer_list<uint8_t> init = {}) {
        for (uint8_t byte : init) bytes[count++] = byte;
    }
    PageEditResult Change(std::string text, const char* message) {
        return CapHexData(std::move(text), bytes, Capacity, count, message);
    }
    // "%.2X " per byte, as the edit shows them once left.
    std::string Text() const { return HexBytesText(bytes, count); }

    uint8_t count = 0;
    uint8_t bytes[Capacity] = {};
};
