# What `cmake --install` and the packages share: the version for the code,
# the gzipped manual pages and the license beside the installed files.
# Depends on GNUInstallDirs. Components: "program" (the two programs and their
# desktop files) and "dev" (the engine library for games).
include(GNUInstallDirs)

# TONKELWERK_VERSION for --version, from project() alone.
add_library(tonkelwerk_version INTERFACE)
target_compile_definitions(tonkelwerk_version INTERFACE TONKELWERK_VERSION="${PROJECT_VERSION}")

# Installs section-1 page PAGE of the current source folder, compressed as
# Debian's policy asks (-n: no time stamp, so the package is reproducible).
function(tonkelwerk_install_man_page page)
  set(gz ${CMAKE_CURRENT_BINARY_DIR}/${page}.gz)
  add_custom_command(OUTPUT ${gz}
    COMMAND gzip -9nc ${CMAKE_CURRENT_SOURCE_DIR}/${page} > ${gz}
    DEPENDS ${page})
  add_custom_target(man_${page} ALL DEPENDS ${gz})
  install(FILES ${gz} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT program)
endfunction()
