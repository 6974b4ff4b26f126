# tonkelwerk_service(<service> SOURCES <file>... [LINK <library>...]), for the
# backends' CMake lists (platform/<backend>/, see platform/README.md): makes
# the static library tonkelwerk_<service> from the files of platform/<service>/,
# so that the service's folder keeps its contract and one source per backend
# while the backend's list decides which are built. The LINK libraries are the
# backend's own and stay private to the service.
# Depends on: tonkelwerk_core (platform/core/).
function(tonkelwerk_service service)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "SOURCES;LINK")
  list(TRANSFORM arg_SOURCES PREPEND ${PROJECT_SOURCE_DIR}/platform/${service}/)
  set(library tonkelwerk_${service})
  add_library(${library} STATIC ${arg_SOURCES})
  target_include_directories(${library} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${library} PUBLIC tonkelwerk_core PRIVATE ${arg_LINK})
  # The screen's contract builds on the window's: a screen opens in a window
  # (screen.h includes window.h).
  if(service STREQUAL "screen")
    target_link_libraries(${library} PUBLIC tonkelwerk_window)
  endif()
endfunction()
