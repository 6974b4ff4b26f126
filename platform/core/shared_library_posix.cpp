// Opening shared libraries at run time on POSIX systems.
// Depends on: dlopen, dlsym, dlclose, dlerror.
#include <dlfcn.h>

#include "platform/core/shared_library.h"

void* SharedLibraryOpen(const char* soname, std::string& error) {
  // Bound at once, so that a missing function shows now rather than in the
  // middle of a call; local, so that its symbols never stand in for others.
  void* library = dlopen(soname, RTLD_NOW | RTLD_LOCAL);
  if (!library) error = dlerror();
  return library;
}

void* SharedLibraryFunction(void* library, const char* name) {
  return dlsym(library, name);
}

void SharedLibraryClose(void* library) {
  dlclose(library);
}
