# CPack pre-build script of the Debian packages: takes the .comment section
# (the compilers' version strings) out of every ELF file (the programs and
# the shared library) and static library staged for packaging, which `strip`
# leaves in. Depends on objcopy, named by CPACK_TONKELWERK_OBJCOPY.
file(GLOB_RECURSE staged LIST_DIRECTORIES false "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*")
foreach(file IN LISTS staged)
  if(IS_SYMLINK "${file}")
    continue()
  endif()
  file(READ "${file}" magic LIMIT 7 HEX)
  # "\x7fELF" starts an ELF file, "!<arch>" an archive of them. CPack strips
  # the programs and the shared library but not the archive, so it loses its
  # debug sections here, as dh_strip does it.
  if(magic MATCHES "^7f454c46")
    set(strip_debug "")
  elseif(magic STREQUAL "213c617263683e")
    set(strip_debug --strip-debug)
  else()
    continue()
  endif()
  execute_process(COMMAND "${CPACK_TONKELWERK_OBJCOPY}" ${strip_debug} --remove-section=.comment "${file}"
                  RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "objcopy could not remove .comment from ${file}")
  endif()
endforeach()
