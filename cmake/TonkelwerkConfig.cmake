# Tonkelwerk's CMake package, for games: find_package(Tonkelwerk CONFIG) gives
# the imported target Tonkelwerk::sound, the sound engine as a static library
# with its header <tonkelwerk/sound_engine.h>.
include("${CMAKE_CURRENT_LIST_DIR}/TonkelwerkTargets.cmake")
