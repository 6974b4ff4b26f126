/* The native side of bench/js_render.mjs: milliseconds of one render of the
 * longest sound (every knob at 360) through the engine's C interface into a
 * fresh buffer, as the package's render() returns one, the best of several
 * rounds, printed as a bare number.
 * Leaves out: the comparison, which js_render.mjs makes.
 * Depends on: the engine (tonkelwerk.h). */
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

#include "sound/tonkelwerk.h"

static double Now(void) {
  struct timespec at;
  timespec_get(&at, TIME_UTC);
  return (double)at.tv_sec * 1e3 + (double)at.tv_nsec / 1e6;
}

int main(void) {
  enum { kRounds = 5, kRenders = 10 };
  const tonkelwerk_knobs knobs = {360, 360, 360, 360, 360, 360};
  const size_t size = tonkelwerk_wav_size(&knobs);
  double best = 1e300;
  for (int round = 0; round < kRounds; ++round) {
    const double start = Now();
    for (int i = 0; i < kRenders; ++i) {
      uint8_t* wav = malloc(size);
      if (!wav || tonkelwerk_render_wav(&knobs, (uint32_t)i, wav, size, NULL) != TONKELWERK_OK)
        return 1;
      free(wav);
    }
    const double each = (Now() - start) / kRenders;
    if (each < best) best = each;
  }
  printf("%.3f\n", best);
  return 0;
}
