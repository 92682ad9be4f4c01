#include "platform/Library.h"

#include <dlfcn.h>

namespace platform {

void* LoadSharedLibrary(const char* name) { return dlopen(name, RTLD_NOW | RTLD_LOCAL); }

void* GetLibrarySymbol(void* library, const char* name) {
    return library ? dlsym(library, name) : nullptr;
}

void FreeSharedLibrary(void* library) {
    if (library) dlclose(library);
}

}  // namespace platform
