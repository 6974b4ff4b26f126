# What `cmake --install` and the packages share: the version for the code,
# the gzipped manual pages and the license beside the installed files, the
# texts of the Windows packages.
# Depends on GNUInstallDirs. Components: "program" (the two programs and their
# desktop files) and "dev" (the engine library for games).
include(GNUInstallDirs)

# TONKELWERK_VERSION for --version, from project() alone.
add_library(tonkelwerk_version INTERFACE)
target_compile_definitions(tonkelwerk_version INTERFACE TONKELWERK_VERSION="${PROJECT_VERSION}")

# Installs section-1 page PAGE, made from PAGE.in of the current source folder
# (which leaves the version to CMake), compressed as Debian's policy asks
# (-n: no time stamp, so that the package is reproducible).
function(tonkelwerk_install_man_page page)
  configure_file(${page}.in ${page} @ONLY)
  set(gz ${CMAKE_CURRENT_BINARY_DIR}/${page}.gz)
  add_custom_command(OUTPUT ${gz}
    COMMAND gzip -9nc ${CMAKE_CURRENT_BINARY_DIR}/${page} > ${gz}
    DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/${page})
  add_custom_target(man_${page} ALL DEPENDS ${gz})
  install(FILES ${gz} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT program)
endfunction()

# Configures text file SOURCE (its @VARIABLES@ replaced) into OUTPUT for
# Windows users: CR LF line ends, for Notepad.
function(tonkelwerk_windows_text source output)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
  file(READ ${source} text)
  file(CONFIGURE OUTPUT ${output} CONTENT "${text}" @ONLY NEWLINE_STYLE CRLF)
endfunction()
