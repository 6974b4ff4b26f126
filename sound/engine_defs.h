/* The engine's interface version and the mark of the functions a shared
 * build of the engine exports. Plain C, so that the C and the C++ headers
 * share one copy of both.
 * Leaves out: everything else; see tonkelwerk.h and sound_engine.h.
 * Depends on: nothing.
 *
 * Tonkelwerk is distributed under the zlib license (the file LICENSE). */
#ifndef TONKELWERK_ENGINE_DEFS_H
#define TONKELWERK_ENGINE_DEFS_H

/* The version of the engine's programming interface, apart from the
 * program's own: the major number grows when a game's code has to change to
 * build. */
#define TONKELWERK_ENGINE_VERSION_MAJOR 2
#define TONKELWERK_ENGINE_VERSION_MINOR 0
#define TONKELWERK_ENGINE_VERSION_PATCH 0

/* The shared library exports the interface and nothing else (it is built
 * with hidden visibility). On Windows a game that uses tonkelwerk.dll defines
 * TONKELWERK_DLL (the CMake target Tonkelwerk::shared does), so that its
 * calls go through the import table; a static build defines neither. */
#if defined(_WIN32) || defined(__CYGWIN__)
#if defined(TONKELWERK_BUILDING_DLL)
#define TONKELWERK_API __declspec(dllexport)
#elif defined(TONKELWERK_DLL)
#define TONKELWERK_API __declspec(dllimport)
#else
#define TONKELWERK_API
#endif
#elif defined(__GNUC__)
#define TONKELWERK_API __attribute__((visibility("default")))
#else
#define TONKELWERK_API
#endif

#endif /* TONKELWERK_ENGINE_DEFS_H */
