# What `cmake --install` and the packages share: the version for the code,
# the gzipped manual pages and the license beside the installed files.
# Depends on GNUInstallDirs. Components: "program" (the two programs and their
# desktop files), "lib" (the engine's shared library) and "dev" (what a game's
# build needs of the engine).
include(GNUInstallDirs)

# TONKELWERK_VERSION for --version, from project() alone.
add_library(tonkelwerk_version INTERFACE)
target_compile_definitions(tonkelwerk_version INTERFACE TONKELWERK_VERSION="${PROJECT_VERSION}")

# Installs FILE gzipped into DESTINATION as NAME, as Debian's policy asks of
# manual pages and of the documents beside a package (-n: no time stamp, so
# that the package is reproducible).
function(tonkelwerk_install_gzipped file destination name component)
  get_filename_component(base ${file} NAME)
  set(gz ${CMAKE_CURRENT_BINARY_DIR}/${base}.gz)
  add_custom_command(OUTPUT ${gz}
    COMMAND gzip -9nc ${file} > ${gz}
    DEPENDS ${file})
  add_custom_target(gzip_${base} ALL DEPENDS ${gz})
  install(FILES ${gz} DESTINATION ${destination} RENAME ${name} COMPONENT ${component})
endfunction()

# Installs section-1 page PAGE, made from PAGE.in of the current source folder
# (which leaves the version to CMake).
function(tonkelwerk_install_man_page page)
  configure_file(${page}.in ${page} @ONLY)
  tonkelwerk_install_gzipped(${CMAKE_CURRENT_BINARY_DIR}/${page} ${CMAKE_INSTALL_MANDIR}/man1
                             ${page}.gz program)
endfunction()
