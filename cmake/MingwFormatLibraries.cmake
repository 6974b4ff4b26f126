# The libraries behind the Windows renderer's formats beyond WAV (libsndfile
# with FLAC, Ogg Vorbis and Opus; libsoxr for resampling), cross-built as
# static libraries from the Debian source packages of the very versions the
# Linux renderer loads, so that both write the same bytes for a command.
# Each is built once into <build>/mingw-formats/<package>-<version>/ and then
# kept: its build steps leave stamps there, and a version changed here builds
# the new one beside it.
# Leaves out: their programs, tests, examples and documents; MP3 in
# libsndfile; OpenMP in libsoxr (the renderer asks it for one thread).
# Depends on: ExternalProject, cmake/debian-source.sh (apt-get source, with
# the deb-src entries of scripts/install-deps.sh win32), the MinGW toolchain.
# Defines: the imported target tonkelwerk_format_libraries.
include(ExternalProject)

set(tonkelwerk_formats_dir ${CMAKE_BINARY_DIR}/mingw-formats)
set(tonkelwerk_formats_prefix ${tonkelwerk_formats_dir}/installed)

# One library: Debian's source PACKAGE at VERSION, configured with the
# remaining arguments after those the libraries share; LIBRARIES are the
# files it installs that the renderer links (by default the target's name).
# AUTOTOOLS builds with the package's configure script instead of CMake, for
# a package whose CMake files are incomplete; PATCH is a command that edits
# its source, for a Windows-only difference; LISTS names a folder of our
# CMake files that build it, for a package without any. C_FLAGS are those of
# the Debian build once its configure script has added its own: they decide
# the floating-point code, and so the bytes of a lossy or resampled file.
# Each library's maths calls go to glibc's functions (below).
function(tonkelwerk_format_library target package version c_flags)
  cmake_parse_arguments(PARSE_ARGV 4 library "AUTOTOOLS" "LISTS" "DEPENDS;OPTIONS;LIBRARIES;PATCH")
  if(NOT library_LIBRARIES)
    set(library_LIBRARIES ${target})
  endif()
  list(TRANSFORM library_LIBRARIES PREPEND ${tonkelwerk_formats_prefix}/lib/lib OUTPUT_VARIABLE files)
  list(TRANSFORM files APPEND .a)
  # The build step installs too: the libraries it names as made must be made
  # by it, or a library built anew would not link the program anew (CMake
  # 3.25 knows no files made by the install step).
  set(build BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> --target install)
  set(cmake_arguments -DCMAKE_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE}
                      -DCMAKE_BUILD_TYPE=Debian "-DCMAKE_C_FLAGS=${c_flags}"
                      -DCMAKE_INSTALL_PREFIX=${tonkelwerk_formats_prefix}
                      -DCMAKE_STAGING_PREFIX=${tonkelwerk_formats_prefix}
                      -DCMAKE_PREFIX_PATH=${tonkelwerk_formats_prefix}
                      -DBUILD_SHARED_LIBS=OFF -DBUILD_TESTING=OFF
                      ${library_OPTIONS})
  if(library_LISTS)
    list(APPEND build CONFIGURE_COMMAND ${CMAKE_COMMAND} -S ${library_LISTS} -B <BINARY_DIR>
                        -G ${CMAKE_GENERATOR} ${cmake_arguments} -DDEBIAN_SOURCE_DIR=<SOURCE_DIR>)
  endif()
  if(library_AUTOTOOLS)
    set(build CONFIGURE_COMMAND <SOURCE_DIR>/configure --host=${TONKELWERK_MINGW_PREFIX}
                --prefix=${tonkelwerk_formats_prefix} --disable-shared --enable-static
                "CC=${CMAKE_C_COMPILER}" "CFLAGS=${c_flags}" ${library_OPTIONS}
              BUILD_COMMAND make install)
  endif()
  ExternalProject_Add(${target}
    PREFIX ${tonkelwerk_formats_dir}/${package}-${version}
    DOWNLOAD_COMMAND ${PROJECT_SOURCE_DIR}/cmake/debian-source.sh ${package} ${version} <SOURCE_DIR>
    DEPENDS ${library_DEPENDS}
    PATCH_COMMAND ${library_PATCH}
    CMAKE_ARGS ${cmake_arguments}
    ${build}
    INSTALL_COMMAND ""
    BUILD_BYPRODUCTS ${files}
    LOG_DOWNLOAD ON LOG_CONFIGURE ON LOG_BUILD ON LOG_OUTPUT_ON_FAILURE ON)
  if(library_LISTS)
    # Our files change more often than a package version.
    file(GLOB_RECURSE own_files CONFIGURE_DEPENDS ${library_LISTS}/*)
    ExternalProject_Add_StepDependencies(${target} build ${own_files})
  endif()
  if(NOT target STREQUAL tw_glibc_math)
    foreach(file IN LISTS files)
      list(APPEND glibc_maths COMMAND ${CMAKE_OBJCOPY} ${tonkelwerk_glibc_renames} ${file})
    endforeach()
    ExternalProject_Add_Step(${target} glibc_maths DEPENDEES build ${glibc_maths}
      COMMENT "${package}: maths by glibc")
  endif()
  ExternalProject_Get_Property(${target} SOURCE_DIR)
  set_property(GLOBAL APPEND PROPERTY tonkelwerk_format_notices ${package}=${version}=${SOURCE_DIR})
endfunction()

# The C library's maths functions differ from glibc's in the last bit now
# and then, and so would the filters libsoxr designs and the choices the
# encoders make: the libraries call glibc's own instead, built from the
# source of the version on this machine (with glibc's flags, which its CMake
# files set), by the names tw_glibc_<function>.
execute_process(COMMAND dpkg-query -W -f=\${Version} libc6
                OUTPUT_VARIABLE glibc_version COMMAND_ERROR_IS_FATAL ANY)
tonkelwerk_format_library(tw_glibc_math glibc ${glibc_version} ""
  LISTS ${CMAKE_CURRENT_LIST_DIR}/glibc-math)
set(glibc_functions acosf asin atan atan2 cos cosf exp log log10 pow sin sincos sincosf)
list(TRANSFORM glibc_functions REPLACE "(.+)" "--redefine-sym=\\1=tw_glibc_\\1"
     OUTPUT_VARIABLE tonkelwerk_glibc_renames)

# Debian's default flags, less those that only harden or debug.
set(debian_flags "-O2")
tonkelwerk_format_library(ogg libogg 1.3.5-3 "${debian_flags} -ffast-math -fsigned-char"
  OPTIONS -DINSTALL_DOCS=OFF)
# On Windows libvorbis rounds its quantised values by floor(x + 0.5), which
# takes halves up where rint, as on Linux, takes them to even.
tonkelwerk_format_library(vorbis libvorbis 1.3.7-1
  "${debian_flags} -ffast-math -mno-ieee-fp -fsigned-char -D_REENTRANT"
  DEPENDS ogg LIBRARIES vorbisenc vorbis PATCH sed -i "/define rint(x)/d" <SOURCE_DIR>/lib/os.h)
# NDEBUG as its configure script sets it: otherwise it reports the CPU on
# standard error.
tonkelwerk_format_library(FLAC flac 1.4.2+ds-2 "${debian_flags} -funroll-loops -DNDEBUG"
  DEPENDS ogg
  OPTIONS -DBUILD_CXXLIBS=OFF -DBUILD_PROGRAMS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_DOCS=OFF
          -DINSTALL_MANPAGES=OFF -DWITH_STACK_PROTECTOR=OFF -DWITH_FORTIFY_SOURCE=OFF)
tonkelwerk_format_library(opus opus 1.3.1-3 "${debian_flags}" AUTOTOOLS
  OPTIONS --disable-doc --disable-extra-programs --disable-stack-protector
          CPPFLAGS=-D_FORTIFY_SOURCE=0)
# libsndfile's search for FLAC does not see that it is a static library.
tonkelwerk_format_library(sndfile libsndfile 1.2.0-1+deb12u1 "${debian_flags} -DFLAC__NO_DLL"
  DEPENDS ogg vorbis FLAC opus
  OPTIONS -DBUILD_PROGRAMS=OFF -DBUILD_EXAMPLES=OFF -DENABLE_CPACK=OFF -DENABLE_MPEG=OFF
          -DINSTALL_MANPAGES=OFF)
tonkelwerk_format_library(soxr libsoxr 0.1.3-4 "${debian_flags}"
  OPTIONS -DBUILD_TESTS=OFF -DWITH_OPENMP=OFF -DWITH_LSR_BINDINGS=OFF)

# Linked in the order each needs the next.
add_library(tonkelwerk_format_libraries INTERFACE IMPORTED)
file(MAKE_DIRECTORY ${tonkelwerk_formats_prefix}/include)
target_include_directories(tonkelwerk_format_libraries INTERFACE
                           ${tonkelwerk_formats_prefix}/include)
foreach(library sndfile vorbisenc vorbis FLAC opus ogg soxr tw_glibc_math)
  target_link_libraries(tonkelwerk_format_libraries INTERFACE
                        ${tonkelwerk_formats_prefix}/lib/lib${library}.a)
endforeach()
add_dependencies(tonkelwerk_format_libraries sndfile soxr tw_glibc_math)

# The packages carry the libraries' copyright and license texts.
get_property(notices GLOBAL PROPERTY tonkelwerk_format_notices)
set(notices_file ${CMAKE_BINARY_DIR}/THIRD-PARTY-NOTICES.txt)
add_custom_command(OUTPUT ${notices_file}
  COMMAND ${CMAKE_COMMAND} -DOUTPUT=${notices_file} "-DLIBRARIES=${notices}"
          -P ${PROJECT_SOURCE_DIR}/cmake/third_party_notices.cmake
  DEPENDS ogg vorbis FLAC opus sndfile soxr tw_glibc_math
          ${PROJECT_SOURCE_DIR}/cmake/third_party_notices.cmake
  COMMENT "The format libraries' notices" VERBATIM)
add_custom_target(tonkelwerk_format_notices ALL DEPENDS ${notices_file})
install(FILES ${notices_file} DESTINATION . COMPONENT program)
