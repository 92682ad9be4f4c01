#pragma once
// Run-time loading of a shared library by name (the system's search order when the name has
// no slash), and lookup of its entry points by exact name.
namespace platform {

void* LoadSharedLibrary(const char* name);          // nullptr on failure
void* GetLibrarySymbol(void* library, const char* name);  // nullptr when missing
void FreeSharedLibrary(void* library);

}  // namespace platform
