# The engine for Windows games: how tonkelwerk.dll is linked, and the sdk/
# folder that the zip and the installer carry beside the programs:
#   sdk/include/tonkelwerk/  the engine's C and C++ headers
#   sdk/lib/                 libtonkelwerk.dll.a, MinGW-w64's import library,
#                            and tonkelwerk.def, from which MSVC makes its own
#   sdk/bin/tonkelwerk.dll   the engine, for the game to ship
#   sdk/README.txt           how a C game builds against it
# Leaves out: an MSVC import library (made from the .def where MSVC is), a
# static library and a CMake package for Windows games.
# Depends on: the target tonkelwerk_shared and the list engine_headers
# (sound/CMakeLists.txt), MinGW-w64's linker, tonkelwerk_windows_text().

# A game ships the DLL alone: libgcc, libstdc++ and winpthread go into it, as
# into the programs. MSVC's lib reads the exports from the .def file that the
# linker writes, and the DLL's name from its LIBRARY line, which the linker
# copies from the .def file it is given (the exports stay those marked
# TONKELWERK_API).
file(CONFIGURE OUTPUT tonkelwerk-name.def CONTENT "LIBRARY tonkelwerk.dll\n")
target_sources(tonkelwerk_shared PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/tonkelwerk-name.def)
set(sdk_def ${CMAKE_CURRENT_BINARY_DIR}/tonkelwerk.def)
target_link_options(tonkelwerk_shared PRIVATE -static -Wl,--output-def,${sdk_def})

install(TARGETS tonkelwerk_shared RUNTIME DESTINATION sdk/bin ARCHIVE DESTINATION sdk/lib
        COMPONENT program)
install(FILES ${sdk_def} DESTINATION sdk/lib COMPONENT program)
install(FILES ${engine_headers} DESTINATION sdk/include/tonkelwerk COMPONENT program)
tonkelwerk_windows_text(${PROJECT_SOURCE_DIR}/packaging/windows/sdk-README.txt.in
                        ${CMAKE_CURRENT_BINARY_DIR}/sdk-README.txt)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/sdk-README.txt DESTINATION sdk RENAME README.txt
        COMPONENT program)
