// The loader of the format libraries: what a user reads when a library or one
// of its functions is missing, and the forwarders reaching the real library.
#include "cli/format_libraries.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <array>
#include <string>

namespace {

const std::array<const char*, 2> kFunctions{"ogg_page_checksum_set", "soxr_oneshot"};

TEST(FormatLibraries, AMissingLibraryOrFunctionSaysWhatToInstall) {
  std::string error;
  const FormatLibrary missing{"libnone", "libtonkelwerk-none.so.0", "libnone0", "--rate"};
  EXPECT_TRUE(FormatLibraryLoad(missing, kFunctions, error).empty());
  // The loader's own reason sits between what needs the library and the package.
  EXPECT_TRUE(
      error.starts_with("--rate needs libnone (libtonkelwerk-none.so.0): "
                        "libtonkelwerk-none.so.0: cannot open shared object file"))
      << error;
  EXPECT_TRUE(error.ends_with("; install the package libnone0")) << error;

  const FormatLibrary ogg{"libogg", "libogg.so.0", "libogg0", "Ogg"};
  EXPECT_TRUE(FormatLibraryLoad(ogg, kFunctions, error).empty());
  EXPECT_EQ(error,
            "Ogg needs libogg (libogg.so.0): libogg.so.0 has no soxr_oneshot; "
            "install the package libogg0");

  const std::vector<void*> found = FormatLibraryLoad(ogg, std::span(kFunctions).first(1), error);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_NE(found[0], nullptr);
}

TEST(FormatLibraries, CallsReachTheLoadedLibrary) {
  char version[64] = {};
  ASSERT_GT(sf_command(nullptr, SFC_GET_LIB_VERSION, version, sizeof version), 0);
  EXPECT_TRUE(std::string(version).starts_with("libsndfile-1.")) << version;
}

}  // namespace
