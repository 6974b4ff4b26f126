# CPack post-build script of the Debian packages: CPack writes no Multi-Arch
# field, so this adds "Multi-Arch: same" to the control file of the package
# CPACK_TONKELWERK_MULTIARCH_SAME names (the engine's -dev package, whose
# architecture-specific files all lie in the multiarch folder) and builds it
# again with dpkg-deb. Depends on dpkg-deb.
foreach(deb IN LISTS CPACK_PACKAGE_FILES)
  get_filename_component(name "${deb}" NAME)
  if(NOT name MATCHES "^${CPACK_TONKELWERK_MULTIARCH_SAME}_")
    continue()
  endif()
  set(tree "${deb}.tree")
  file(REMOVE_RECURSE "${tree}")
  execute_process(COMMAND dpkg-deb -R "${deb}" "${tree}" COMMAND_ERROR_IS_FATAL ANY)
  # After Architecture, where dpkg puts it; the description ends the file.
  file(READ "${tree}/DEBIAN/control" control)
  string(REGEX REPLACE "(^|\n)(Architecture: [^\n]*\n)" "\\1\\2Multi-Arch: same\n" control "${control}")
  file(WRITE "${tree}/DEBIAN/control" "${control}")
  execute_process(COMMAND dpkg-deb --root-owner-group -b "${tree}" "${deb}"
                  OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE_RECURSE "${tree}")
endforeach()
