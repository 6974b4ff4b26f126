# The build behind the Debian packages (-DTONKELWERK_DEB_BUILD=ON, preset
# "deb"): prefix /usr, so that GNUInstallDirs puts the engine's library,
# pkg-config and CMake files in the multiarch folder, and Debian's hardening
# flags from dpkg-buildflags (fortified functions, stack protector, relro,
# BIND_NOW). Leaves the ordinary builds alone: their programs stay what the
# tests and benchmarks measure. Depends on dpkg-dev's dpkg-buildflags.
# The engine's own -ffp-contract=off and -fno-fast-math come after these
# flags on every command line, and CMake's -O3 of Release after the -O2 here.
option(TONKELWERK_DEB_BUILD "Build for the Debian packages: prefix /usr, Debian's hardening flags" OFF)
if(NOT TONKELWERK_DEB_BUILD)
  return()
endif()
set(CMAKE_INSTALL_PREFIX /usr CACHE PATH "The Debian packages install into /usr" FORCE)

# Prints dpkg-buildflags' value of FLAG into VARIABLE; run from the source
# folder, so that its -ffile-prefix-map names the source and not this build.
function(tonkelwerk_debian_flags flag variable)
  execute_process(COMMAND dpkg-buildflags --get ${flag}
                  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                  OUTPUT_VARIABLE value OUTPUT_STRIP_TRAILING_WHITESPACE
                  RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "dpkg-buildflags --get ${flag} failed (${status}): is dpkg-dev installed?")
  endif()
  set(${variable} "${value}" PARENT_SCOPE)
endfunction()

set(ENV{DEB_BUILD_MAINT_OPTIONS} hardening=+all)
tonkelwerk_debian_flags(CPPFLAGS cppflags)
tonkelwerk_debian_flags(CFLAGS cflags)
tonkelwerk_debian_flags(CXXFLAGS cxxflags)
tonkelwerk_debian_flags(LDFLAGS ldflags)
set(CMAKE_C_FLAGS "${CMAKE_C_FLAGS} ${cppflags} ${cflags}")
set(CMAKE_CXX_FLAGS "${CMAKE_CXX_FLAGS} ${cppflags} ${cxxflags}")
foreach(kind IN ITEMS EXE SHARED MODULE)
  set(CMAKE_${kind}_LINKER_FLAGS "${CMAKE_${kind}_LINKER_FLAGS} ${ldflags}")
endforeach()
