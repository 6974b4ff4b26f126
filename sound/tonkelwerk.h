/* Tonkelwerk's sound engine for C and for every language that can call C
 * (Python's ctypes, C#'s P/Invoke, Rust, Godot, Unity, ...): six knob angles
 * in, a WAV file or bare 16-bit samples out, into the caller's buffer.
 *
 *   #include <tonkelwerk/tonkelwerk.h>
 *
 *   tonkelwerk_knobs knobs = {0};
 *   knobs.freq = 120;
 *   knobs.len = 40;
 *   size_t size = tonkelwerk_wav_size(&knobs);
 *   uint8_t* wav = malloc(size);
 *   if (tonkelwerk_render_wav(&knobs, 7, wav, size, &size) != TONKELWERK_OK) ...
 *
 * The same knobs and seed give the same bytes on every platform, and the
 * same bytes as the C++ interface and tonkelwerk-render --seed.
 *
 * Ownership: the engine allocates nothing and keeps nothing. Every buffer is
 * the caller's, passed with its capacity; a function writes only inside it and
 * reports the size it wrote or would need. Strings the engine returns
 * (status texts, preset names) are static and never freed.
 *
 * Threads: there is no global state. Every function may be called from any
 * number of threads at once, as long as no two calls share a
 * tonkelwerk_noise or an output buffer.
 *
 * C99 or later, or C++ (extern "C"). Leaves out: playing sounds and writing
 * files, which the game does. Depends on: the C standard headers only.
 *
 * Tonkelwerk is distributed under the zlib license (the file LICENSE). */
#ifndef TONKELWERK_H
#define TONKELWERK_H

#include <stddef.h>
#include <stdint.h>

#include "engine_defs.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Every render: 16-bit stereo PCM at 44,100 frames per second. */
#define TONKELWERK_SAMPLE_RATE 44100
#define TONKELWERK_CHANNELS 2
/* Knob angles are whole degrees from 0 to this. */
#define TONKELWERK_MAX_ANGLE 360

/* What a call returns; tonkelwerk_status_text says it in words. */
typedef enum tonkelwerk_status {
  TONKELWERK_OK = 0,
  TONKELWERK_ERROR_NULL = 1,     /* a required pointer is NULL */
  TONKELWERK_ERROR_ANGLE = 2,    /* a knob angle lies outside 0..360 */
  TONKELWERK_ERROR_SILENT = 3,   /* Freq or Len. is 0: the knobs make no sound */
  TONKELWERK_ERROR_CAPACITY = 4, /* the caller's buffer is too small */
  TONKELWERK_ERROR_LINE = 5,     /* a settings line cannot be read */
  TONKELWERK_ERROR_NAME = 6,     /* a sound name cannot be a file name */
  TONKELWERK_ERROR_PRESET = 7    /* no preset has that name */
} tonkelwerk_status;

/* Knob positions in whole degrees, 0..360, in the order of the window. */
typedef struct tonkelwerk_knobs {
  int32_t start;
  int32_t end;
  int32_t freq;
  int32_t rustle;
  int32_t cutter;
  int32_t len;
} tonkelwerk_knobs;

/* The state of a noise generator, owned by the caller: render a sequence of
 * sounds from one seed, or copy it to render the same sound twice. Plain
 * memory of a fixed size that may be copied with memcpy; its contents are
 * the engine's. */
#define TONKELWERK_NOISE_SIZE 144
typedef struct tonkelwerk_noise {
  uint32_t state[TONKELWERK_NOISE_SIZE / 4];
} tonkelwerk_noise;

/* One sound as a settings line describes it:
 *   laser: start=10 end=90 freq=120 rustle=20 cutter=30 len=40 seed=7
 * `name` is not nul-terminated: after parsing it points into the parsed line
 * (NULL with name_length 0 when the line has no name); for printing it is
 * the caller's, or NULL. */
typedef struct tonkelwerk_settings {
  tonkelwerk_knobs knobs;
  int has_seed; /* 1 when the line gives seed=, else 0 */
  uint32_t seed;
  const char* name;
  size_t name_length;
} tonkelwerk_settings;

/* The engine's interface version, "2.0.0": the library's own, which may be
 * newer than the header's TONKELWERK_ENGINE_VERSION_*. */
TONKELWERK_API const char* tonkelwerk_version(void);

/* What `status` means, as one sentence; never NULL. */
TONKELWERK_API const char* tonkelwerk_status_text(int status);

/* Checks the knobs: OK, or why they cannot be rendered (NULL, ANGLE, SILENT). */
TONKELWERK_API tonkelwerk_status tonkelwerk_knobs_check(const tonkelwerk_knobs* knobs);

/* Bytes of the WAV file of these knobs (44-byte header and data); 0 when
 * tonkelwerk_knobs_check refuses them. */
TONKELWERK_API size_t tonkelwerk_wav_size(const tonkelwerk_knobs* knobs);

/* 16-bit values (two per frame, left first) of these knobs' samples; 0 when
 * tonkelwerk_knobs_check refuses them. */
TONKELWERK_API size_t tonkelwerk_sample_count(const tonkelwerk_knobs* knobs);

/* Starts `noise` from `seed`, as tonkelwerk-render --seed does. */
TONKELWERK_API tonkelwerk_status tonkelwerk_noise_seed(tonkelwerk_noise* noise, uint32_t seed);

/* Renders the WAV file of `knobs` with noise from `seed` into `wav`, which
 * holds `capacity` bytes, and sets *written (may be NULL) to its size. On an
 * error nothing is written into `wav`, and *written is the size needed (0 if
 * the knobs are refused). */
TONKELWERK_API tonkelwerk_status tonkelwerk_render_wav(const tonkelwerk_knobs* knobs, uint32_t seed,
                                                       uint8_t* wav, size_t capacity,
                                                       size_t* written);

/* As tonkelwerk_render_wav, drawing from the caller's `noise`, which moves on:
 * the next render from it sounds different. */
TONKELWERK_API tonkelwerk_status tonkelwerk_render_wav_noise(const tonkelwerk_knobs* knobs,
                                                             tonkelwerk_noise* noise, uint8_t* wav,
                                                             size_t capacity, size_t* written);

/* Renders the samples of `knobs` with noise from `seed` into `samples`, which
 * holds `capacity` 16-bit values, in the machine's byte order, and sets
 * *written (may be NULL) to their count. The WAV file's data is these samples
 * as little-endian bytes, cut to its data size (which is rounded on its own
 * and may end up to 2 bytes sooner or later). */
TONKELWERK_API tonkelwerk_status tonkelwerk_render_samples(const tonkelwerk_knobs* knobs,
                                                           uint32_t seed, int16_t* samples,
                                                           size_t capacity, size_t* written);

/* As tonkelwerk_render_samples, drawing from the caller's `noise`. */
TONKELWERK_API tonkelwerk_status tonkelwerk_render_samples_noise(const tonkelwerk_knobs* knobs,
                                                                 tonkelwerk_noise* noise,
                                                                 int16_t* samples, size_t capacity,
                                                                 size_t* written);

/* Reads the `length` bytes of `line` (no nul needed) into *settings. On
 * TONKELWERK_ERROR_LINE (a bad word or name), `error` (may be NULL) gets
 * the reason, quoting the bad word, cut to fit `error_capacity` and always
 * nul-terminated; *settings is then left as it was. */
TONKELWERK_API tonkelwerk_status tonkelwerk_settings_parse(const char* line, size_t length,
                                                           tonkelwerk_settings* settings,
                                                           char* error, size_t error_capacity);

/* Writes the settings line of *settings, nul-terminated, into `text`, which
 * holds `capacity` bytes, and sets *length (may be NULL) to its length
 * without the nul; on TONKELWERK_ERROR_CAPACITY *length is the length needed.
 * A name that is not a usable file name gives TONKELWERK_ERROR_NAME. */
TONKELWERK_API tonkelwerk_status tonkelwerk_settings_print(const tonkelwerk_settings* settings,
                                                           char* text, size_t capacity,
                                                           size_t* length);

/* The number of presets, and the name of the one at `index` (NULL beyond
 * them): "pickup", "laser", ... in the order tonkelwerk-render --help lists. */
TONKELWERK_API int tonkelwerk_preset_count(void);
TONKELWERK_API const char* tonkelwerk_preset_name(int index);

/* Draws the knobs of the preset `name` for the sound of `seed`: the knobs
 * that tonkelwerk-render --preset NAME --seed SEED renders, and the window's
 * menu draws. Render them with the same seed to make that sound. */
TONKELWERK_API tonkelwerk_status tonkelwerk_preset(const char* name, uint32_t seed,
                                                   tonkelwerk_knobs* knobs);

/* Moves every knob of *knobs by up to `degrees` (0..360) either way, drawn for
 * `seed`, keeping Freq and Len. above 0: a variation of the sound. */
TONKELWERK_API tonkelwerk_status tonkelwerk_mutate(tonkelwerk_knobs* knobs, int32_t degrees,
                                                   uint32_t seed);

#ifdef __cplusplus
}
#endif

#endif /* TONKELWERK_H */
