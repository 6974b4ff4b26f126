// Shared libraries opened while the program runs rather than when it starts:
// for libraries that only some runs need, whose loading (with everything
// they pull in) would otherwise slow every start.
// Implements: opening a library by its SONAME with its functions bound at
// once and its symbols kept to itself, looking up its functions by name.
// Leaves out: Windows (LoadLibrary): nothing there is loaded late.
// Depends on: the system's dynamic loader (dlopen). Source:
// shared_library_posix.cpp.
#pragma once

#include <string>

// The library `soname`; null, with `error` set to the loader's reason, when
// it cannot be opened.
void* SharedLibraryOpen(const char* soname, std::string& error);

// The address of the function `name` in `library`; null when it has none.
void* SharedLibraryFunction(void* library, const char* name);

void SharedLibraryClose(void* library);

// Sets `function` to the function `name` of `library`; false when the
// library lacks it.
template <typename Function>
bool SharedLibraryResolve(void* library, Function& function, const char* name) {
  function = reinterpret_cast<Function>(SharedLibraryFunction(library, name));
  return function != nullptr;
}
