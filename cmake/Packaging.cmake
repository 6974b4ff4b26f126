# The packages, built by CPack (scripts/package.sh runs it):
#   Linux:   from a build configured with TONKELWERK_DEB_BUILD
#            (cmake/DebianBuild.cmake), without .comment sections:
#            tonkelwerk_<version>_amd64.deb (component "program": the programs,
#            with the engine linked in), libtonkelwerk1_<version>_amd64.deb
#            (component "lib": libtonkelwerk.so.1, with shlibs, a symbols file
#            checked against packaging/debian/libtonkelwerk1.symbols and the
#            ldconfig trigger) and libtonkelwerk-dev_<version>_amd64.deb
#            (component "dev": headers, static library, .so link, CMake and
#            pkg-config files, NEWS), both engine packages "Multi-Arch: same";
#            python3-tonkelwerk_<version>_all.deb (component "python": the
#            Python module, loading libtonkelwerk1's library);
#   Windows: a portable zip and an NSIS installer, both of component "program".
# Also installs what every installed tree carries beside the files: the
# license, and on Linux the changelog that Debian packages must have.
set(CPACK_PACKAGE_NAME tonkelwerk)
set(CPACK_PACKAGE_VENDOR "The Tonkelwerk developers")
set(CPACK_PACKAGE_CONTACT "The Tonkelwerk developers <tonkelwerk@example.org>")
set(CPACK_PACKAGE_INSTALL_DIRECTORY Tonkelwerk)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)

if(WIN32)
  # Texts for Notepad: CR LF line ends and a .txt name. README.txt is for the
  # people who run the program, not the ones who build it.
  tonkelwerk_windows_text(${PROJECT_SOURCE_DIR}/LICENSE ${CMAKE_BINARY_DIR}/LICENSE.txt)
  tonkelwerk_windows_text(${PROJECT_SOURCE_DIR}/packaging/windows/README.txt.in
                          ${CMAKE_BINARY_DIR}/README.txt)
  install(FILES ${CMAKE_BINARY_DIR}/LICENSE.txt ${CMAKE_BINARY_DIR}/README.txt DESTINATION .
          COMPONENT program)

  set(CPACK_GENERATOR "ZIP;NSIS")
  # One folder, as the user unpacks it or as the installer lays it out: the
  # programs and their texts, and the engine for games in sdk/
  # (cmake/WindowsSdk.cmake).
  set(CPACK_ARCHIVE_COMPONENT_INSTALL OFF)
  set(CPACK_MONOLITHIC_INSTALL ON)
  set(CPACK_PACKAGE_FILE_NAME tonkelwerk-${PROJECT_VERSION}-windows)
  set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/PackagingPerGenerator.cmake)
  # The installer comes from our own script (packaging/windows/NSIS.template.in):
  # for the current user, with no administrator needed.
  set(CPACK_MODULE_PATH ${PROJECT_SOURCE_DIR}/packaging/windows)
  set(CPACK_NSIS_DISPLAY_NAME Tonkelwerk)
  set(CPACK_NSIS_PACKAGE_NAME Tonkelwerk)
  set(CPACK_NSIS_MUI_ICON ${TONKELWERK_WIN32_ICON})
else()
  set(CPACK_DEBIAN_PROGRAM_PACKAGE_NAME tonkelwerk)
  set(CPACK_DEBIAN_LIB_PACKAGE_NAME libtonkelwerk1)
  set(CPACK_DEBIAN_DEV_PACKAGE_NAME libtonkelwerk-dev)
  set(CPACK_DEBIAN_PYTHON_PACKAGE_NAME python3-tonkelwerk)
  set(CPACK_COMPONENTS_ALL program lib dev python)
  foreach(component IN LISTS CPACK_COMPONENTS_ALL)
    string(TOUPPER ${component} upper)
    set(package ${CPACK_DEBIAN_${upper}_PACKAGE_NAME})
    set(changelog ${CMAKE_BINARY_DIR}/changelog-${component})
    configure_file(packaging/changelog.in ${changelog} @ONLY)
    set(doc ${CMAKE_INSTALL_DATADIR}/doc/${package})
    install(FILES LICENSE DESTINATION ${doc} RENAME copyright COMPONENT ${component})
    tonkelwerk_install_gzipped(${changelog} ${doc} changelog.gz ${component})
  endforeach()
  # What changed in the engine's interface, for the games built against it.
  tonkelwerk_install_gzipped(${PROJECT_SOURCE_DIR}/NEWS
                             ${CMAKE_INSTALL_DATADIR}/doc/${CPACK_DEBIAN_DEV_PACKAGE_NAME} NEWS.gz dev)

  set(CPACK_GENERATOR DEB)
  set(CPACK_DEB_COMPONENT_INSTALL ON)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  # The shlibs file of the library package: a game built against version V
  # runs with V or later, as long as the SONAME stays.
  set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
  set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
  # The -dev package's .so link and CMake files name this very build of the library.
  set(CPACK_COMPONENT_DEV_DEPENDS lib)
  set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
  # The install runs with prefix /usr below DESTDIR, so that the files written
  # at install time (the .pc files) name /usr and not CPack's staging folder.
  set(CPACK_SET_DESTDIR ON)
  set(CPACK_TONKELWERK_DEB_BUILD ${TONKELWERK_DEB_BUILD})
  set(CPACK_TONKELWERK_OBJCOPY ${CMAKE_OBJCOPY})
  set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/CPackDebBuildCheck.cmake
                              ${PROJECT_SOURCE_DIR}/cmake/CPackStripComments.cmake)
  set(CPACK_TONKELWERK_MULTIARCH_SAME ${CPACK_DEBIAN_LIB_PACKAGE_NAME} ${CPACK_DEBIAN_DEV_PACKAGE_NAME})
  set(CPACK_TONKELWERK_LIBRARY_PACKAGE ${CPACK_DEBIAN_LIB_PACKAGE_NAME})
  set(CPACK_TONKELWERK_SYMBOLS ${PROJECT_SOURCE_DIR}/packaging/debian/libtonkelwerk1.symbols)
  set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/CPackDebControl.cmake)

  set(CPACK_DEBIAN_PROGRAM_PACKAGE_SECTION sound)
  # SDL is loaded when sound starts, and tonkelwerk-render loads libsndfile,
  # libsoxr and libogg when a format needs them, so dpkg-shlibdeps cannot see
  # them; the rest of the dependencies come from the programs' ELF headers.
  # Depends rather than Recommends: every format works once the package is in.
  set(CPACK_DEBIAN_PROGRAM_PACKAGE_DEPENDS "libsdl2-2.0-0, libsndfile1, libsoxr0, libogg0")
  set(CPACK_DEBIAN_PROGRAM_PACKAGE_RECOMMENDS fonts-liberation2)
  # Descriptions: the summary line, then paragraphs parted by blank lines.
  set(CPACK_DEBIAN_PROGRAM_DESCRIPTION "synthesizer for game sound effects
Tonkelwerk makes short sound effects for games. Six knobs shape a sine tone
with a rising and falling pitch sweep, noise and cut samples; Preview plays
the sound and Save wave writes it as a 44.1 kHz, 16-bit stereo WAV file.

The command-line renderer tonkelwerk-render writes the very same files from
knob positions given as options, for scripting a game's assets.")

  # The engine's packages open their descriptions alike.
  set(engine_description "Tonkelwerk's sound engine for games: six knob angles in, a complete 16-bit
stereo WAV file image or its bare samples out, the same bytes as the
Tonkelwerk program renders. A game can render its sound effects at run time.")
  set(CPACK_DEBIAN_LIB_PACKAGE_SECTION libs)
  set(CPACK_DEBIAN_LIB_DESCRIPTION "sound effect engine of Tonkelwerk, shared library
${engine_description}

This package holds the shared library libtonkelwerk.so.1 that games built
against libtonkelwerk-dev load, from C, C++ or any language that can call C.")

  set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
  set(CPACK_DEBIAN_DEV_DESCRIPTION "sound effect engine of Tonkelwerk, development files
${engine_description}

This package holds the C header tonkelwerk.h and the C++ headers, the
static library, the link to the shared library of libtonkelwerk1, a CMake
package (find_package(Tonkelwerk), targets Tonkelwerk::sound for the static
and Tonkelwerk::shared for the shared library) and the pkg-config files
tonkelwerk (shared) and tonkelwerk-sound (static, C++).")

  # The module is plain Python over ctypes: one package for every Python 3
  # and every architecture, loading the engine that libtonkelwerk1 installs.
  set(CPACK_DEBIAN_PYTHON_PACKAGE_SECTION python)
  set(CPACK_DEBIAN_PYTHON_PACKAGE_ARCHITECTURE all)
  set(CPACK_COMPONENT_PYTHON_DEPENDS lib)
  set(CPACK_DEBIAN_PYTHON_PACKAGE_DEPENDS python3)
  set(CPACK_DEBIAN_PYTHON_PACKAGE_SUGGESTS python3-numpy)
  set(CPACK_DEBIAN_PYTHON_DESCRIPTION "sound effect engine of Tonkelwerk for Python 3
The Python module tonkelwerk renders Tonkelwerk's sound effects from six
knob angles: tonkelwerk.render(freq=120, len=40, seed=7) gives the bytes of
a 16-bit stereo WAV file, the same bytes as the command-line renderer
tonkelwerk-render writes; samples() gives the frames as a numpy array when
numpy is installed. It reads and prints settings lines and draws presets.")
endif()

include(CPack)
