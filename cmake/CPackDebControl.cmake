# CPack post-build script of the Debian packages: writes into their control
# archives what CPack 3.25 cannot, and builds them again with dpkg-deb:
# - "Multi-Arch: same" in the packages CPACK_TONKELWERK_MULTIARCH_SAME names
#   (the engine's, whose architecture-specific files all lie in the
#   multiarch folder);
# - in the library package CPACK_TONKELWERK_LIBRARY_PACKAGE, the symbols file
#   that dpkg-gensymbols makes from the template CPACK_TONKELWERK_SYMBOLS,
#   failing when the library exports a symbol that it does not list, or
#   lacks one that an earlier version brought, and
#   the ldconfig trigger in place of the maintainer scripts that CPack writes
#   to run ldconfig, as Debian's policy wants.
# The shlibs file is CPack's own. Depends on dpkg-deb and dpkg-gensymbols.
foreach(deb IN LISTS CPACK_PACKAGE_FILES)
  get_filename_component(name "${deb}" NAME)
  string(REGEX REPLACE "_.*" "" package "${name}")
  set(library_package OFF)
  if(package STREQUAL CPACK_TONKELWERK_LIBRARY_PACKAGE)
    set(library_package ON)
  endif()
  if(NOT package IN_LIST CPACK_TONKELWERK_MULTIARCH_SAME AND NOT library_package)
    continue()
  endif()
  set(tree "${deb}.tree")
  file(REMOVE_RECURSE "${tree}")
  execute_process(COMMAND dpkg-deb -R "${deb}" "${tree}" COMMAND_ERROR_IS_FATAL ANY)
  if(package IN_LIST CPACK_TONKELWERK_MULTIARCH_SAME)
    # After Architecture, where dpkg puts it; the description ends the file.
    file(READ "${tree}/DEBIAN/control" control)
    string(REGEX REPLACE "(^|\n)(Architecture: [^\n]*\n)" "\\1\\2Multi-Arch: same\n" control "${control}")
    file(WRITE "${tree}/DEBIAN/control" "${control}")
  endif()
  if(library_package)
    execute_process(COMMAND dpkg-deb -f "${deb}" Version OUTPUT_VARIABLE version
                    OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    execute_process(COMMAND dpkg-gensymbols -c4 -p${package} -v${version} -P${tree}
                            -I${CPACK_TONKELWERK_SYMBOLS} -O${tree}/DEBIAN/symbols
                    RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
      # No package is better than one whose symbols file hides a broken ABI.
      file(REMOVE_RECURSE "${tree}" "${deb}")
      message(FATAL_ERROR "${package}: the library's symbols differ from "
                          "${CPACK_TONKELWERK_SYMBOLS} (the lines above say which); "
                          "${name} is not written")
    endif()
    file(REMOVE "${tree}/DEBIAN/postinst" "${tree}/DEBIAN/postrm")
    file(WRITE "${tree}/DEBIAN/triggers" "activate-noawait ldconfig\n")
  endif()
  execute_process(COMMAND dpkg-deb --root-owner-group -b "${tree}" "${deb}"
                  OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE_RECURSE "${tree}")
endforeach()
