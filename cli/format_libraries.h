// The libraries behind tonkelwerk-render's formats beyond the plain WAV,
// loaded on first use: a plain WAV run, the common one, never pays for them
// (libsndfile and libsoxr pull in some fifteen codec and thread libraries).
// Implements: loading one such library with the functions the renderer
// calls, and a message that names what is missing and what to install.
// Leaves out: the functions themselves, which format_libraries_dlopen.cpp
// defines under the libraries' own names, so that the encoder calls them as
// declared in their headers; a build that links the libraries leaves that
// file out.
// Depends on: the shared-library helper of the file layer.
#pragma once

#include <span>
#include <string>
#include <vector>

struct FormatLibrary {
  const char* name;      // as the user knows it: "libsndfile"
  const char* soname;    // the file the loader opens: "libsndfile.so.1"
  const char* package;   // the Debian package that installs it
  const char* neededBy;  // what needs it: "--rate"
};

// The addresses of `functions` in `library`, in their order. Empty, with
// `error` set to what is missing and what to install, when the library or
// any of the functions is.
std::vector<void*> FormatLibraryLoad(const FormatLibrary& library,
                                     std::span<const char* const> functions, std::string& error);
