#pragma once
// The program's texts are UTF-8 (the Chinese captions included); wx wants them decoded.
#include <wx/string.h>

#include <string>

inline wxString U8(const char* text) { return wxString::FromUTF8(text); }
inline wxString U8(const std::string& text) { return wxString::FromUTF8(text.c_str()); }
