/* Times one render of the longest sound (every knob at 360) through the C
 * interface as a C game calls it: size, allocate, render, free. Prints the
 * fastest of N runs in seconds, for python_render.py to compare with.
 * Leaves out: everything but that one sound. Depends on: tonkelwerk.h and
 * the shared library. Usage: tonkelwerk_c_api_render_bench [N] */
#define _POSIX_C_SOURCE 199309L
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

#include "sound/tonkelwerk.h"

static double Now(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return (double)t.tv_sec + (double)t.tv_nsec * 1e-9;
}

int main(int argc, char** argv) {
  const int runs = argc > 1 ? atoi(argv[1]) : 50;
  const tonkelwerk_knobs knobs = {360, 360, 360, 360, 360, 360};
  double best = 1e9;
  for (int run = 0; run < runs; ++run) {
    const double started = Now();
    const size_t size = tonkelwerk_wav_size(&knobs);
    uint8_t* wav = malloc(size);
    const tonkelwerk_status status = tonkelwerk_render_wav(&knobs, 7, wav, size, NULL);
    const double took = Now() - started;
    free(wav);
    if (status != TONKELWERK_OK) {
      fprintf(stderr, "%s\n", tonkelwerk_status_text(status));
      return 1;
    }
    if (took < best) best = took;
  }
  printf("%.9f\n", best);
  return 0;
}
