# Tonkelwerk's CMake package, for games: find_package(Tonkelwerk CONFIG) gives
# the imported targets Tonkelwerk::sound, the sound engine as a static library
# (C++), and Tonkelwerk::shared, the same engine as the shared library
# libtonkelwerk.so.1 (C and C++); both with the headers under <tonkelwerk/>.
include("${CMAKE_CURRENT_LIST_DIR}/TonkelwerkTargets.cmake")
