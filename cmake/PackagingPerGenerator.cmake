# Read by CPack once per generator: the installer's file name
# (tonkelwerk-<version>-setup.exe) differs from the zip's.
if(CPACK_GENERATOR STREQUAL "NSIS")
  set(CPACK_PACKAGE_FILE_NAME "tonkelwerk-${CPACK_PACKAGE_VERSION}-setup")
endif()
