/* A game in C99 built against the Windows packages' sdk/ folder alone, for
 * the end-to-end case "sdk": it reads sounds from standard input, one a line
 * as "START END FREQ RUSTLE CUTTER LEN SEED FILE", renders each through
 * tonkelwerk.dll and writes its WAV file to FILE.
 * Leaves out: the rest of the C interface, which its own tests cover; this
 * checks what reaches a game through the DLL.
 * Depends on: tonkelwerk/tonkelwerk.h with TONKELWERK_DLL, the import
 * library, and the C library. */
#include <inttypes.h>
#include <stdio.h>
#include <stdlib.h>
#include <tonkelwerk/tonkelwerk.h>

/* 1 when FILE now holds the WAV file of `knobs` and `seed`, else 0 with a message. */
static int render(const tonkelwerk_knobs* knobs, uint32_t seed, const char* file) {
  size_t size = tonkelwerk_wav_size(knobs);
  uint8_t* wav = malloc(size + 1);
  tonkelwerk_status status = tonkelwerk_render_wav(knobs, seed, wav, size, &size);
  FILE* out = status == TONKELWERK_OK ? fopen(file, "wb") : NULL;
  int written = out != NULL && fwrite(wav, 1, size, out) == size;
  if (out != NULL && fclose(out) != 0) written = 0;
  if (!written)
    fprintf(stderr, "%s: %s\n", file,
            status == TONKELWERK_OK ? "cannot be written" : tonkelwerk_status_text(status));
  free(wav);
  return written;
}

int main(void) {
  tonkelwerk_knobs knobs;
  uint32_t seed;
  char file[256];
  while (scanf("%" SCNd32 " %" SCNd32 " %" SCNd32 " %" SCNd32 " %" SCNd32 " %" SCNd32
               " %" SCNu32 " %255s",
               &knobs.start, &knobs.end, &knobs.freq, &knobs.rustle, &knobs.cutter,
               &knobs.len, &seed, file) == 8) {
    if (!render(&knobs, seed, file)) return 1;
  }
  return 0;
}
