# CPack pre-build script of the Debian packages: refuses to package a build
# that is not the deb preset's (TONKELWERK_DEB_BUILD, named by
# CPACK_TONKELWERK_DEB_BUILD), which would install into its own prefix
# without Debian's hardening flags. Depends on nothing.
if(NOT CPACK_TONKELWERK_DEB_BUILD)
  message(FATAL_ERROR "The Debian packages come from a build configured with "
                      "-DTONKELWERK_DEB_BUILD=ON (cmake --preset deb), not from this one")
endif()
