#pragma once
// Hex text as the pages type it: numbers read right to left, byte strings two digits a byte,
// and the character filter of the hex edit control.
//
// A character that is not a hex digit counts 0 at its own position (it still takes one).
#include <cstddef>
#include <cstdint>
#include <string>

// 16 to the power n: 1 for n <= 0, 0 from n = 8 on (the weight no longer fits 32 bits).
uint32_t HexDigitWeight(int n);

// The sum of digit x weight, read from the last character backwards, modulo 2^32 (so only
// the last eight characters matter). Empty text gives 0.
uint32_t HexStringToNumber(const std::string& text);

// Removes every space, carriage return and line feed from text (the caller's string changes),
// then turns each two characters from the start into one byte; a last single character makes
// a byte alone ("ABC" gives AB 0C). Writes at most capacity bytes and returns how many it wrote.
size_t HexStringToBytes(std::string& text, uint8_t* out, size_t capacity);

// How many bytes HexStringToBytes would make of text (all of them, without a capacity).
size_t HexTextByteCount(const std::string& text);

// A hex byte field: blanks, tabs and line breaks removed, then HexStringToNumber; the low
// byte is kept.
uint8_t ParseHexByteField(const std::string& text);

// "%.2X" of one byte, and "%.2X " per byte as the pages show byte strings.
std::string HexByteText(uint8_t value);
std::string HexBytesText(const uint8_t* bytes, size_t count);

// The hex edit's character filter. Accepted: '0'-'9', 'A'-'F', 'a'-'f', backspace (8),
// space, carriage return (13), Ctrl+C (3), Ctrl+V (22), Ctrl+X (24); every other character
// is dropped. Keys that are not characters (arrows, Home, End, Delete, Tab) are the control's
// business and pass without asking. Pasted text is not filtered.
bool CEditHexAcceptsChar(int ch);

// 'a'-'f' become 'A'-'F'; every other code is returned as it is.
int CEditHexTransformChar(int ch);
