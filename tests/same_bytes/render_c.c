/* Renders sounds through the engine's C interface: one line on standard
 * input per sound, "start end freq rustle cutter len seed file", each written
 * to its file. Built against the static and the shared library (and, in the
 * Windows build, tonkelwerk.dll), so that one test can hold their bytes
 * against every other way to the engine.
 * Leaves out: anything but the render; the test checks the bytes.
 * Depends on: tonkelwerk.h and the C standard library. */
#include <inttypes.h>
#include <stdio.h>
#include <stdlib.h>

#include "sound/tonkelwerk.h"

static int RenderOne(const tonkelwerk_knobs* knobs, uint32_t seed, const char* path) {
  size_t size = tonkelwerk_wav_size(knobs);
  uint8_t* wav = malloc(size ? size : 1);
  FILE* file = NULL;
  tonkelwerk_status status = TONKELWERK_ERROR_NULL;
  if (wav) status = tonkelwerk_render_wav(knobs, seed, wav, size, &size);
  if (status != TONKELWERK_OK) {
    fprintf(stderr, "%s: %s\n", path, tonkelwerk_status_text(status));
  } else if (!(file = fopen(path, "wb")) || fwrite(wav, 1, size, file) != size) {
    fprintf(stderr, "%s: cannot write\n", path);
    status = TONKELWERK_ERROR_NULL;
  }
  if (file && fclose(file) != 0) status = TONKELWERK_ERROR_NULL;
  free(wav);
  return status == TONKELWERK_OK;
}

int main(void) {
  tonkelwerk_knobs knobs;
  uint32_t seed;
  char path[256];
  int ok = 1;
  while (scanf("%" SCNd32 " %" SCNd32 " %" SCNd32 " %" SCNd32 " %" SCNd32 " %" SCNd32
               " %" SCNu32 " %255s",
               &knobs.start, &knobs.end, &knobs.freq, &knobs.rustle, &knobs.cutter, &knobs.len,
               &seed, path) == 8)
    ok &= RenderOne(&knobs, seed, path);
  return ok ? 0 : 1;
}
