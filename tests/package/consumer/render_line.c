/* A C game's use of the installed engine's shared library: renders the sound
 * of one settings line into a WAV file through tonkelwerk.h alone, built as
 * C99 with -pedantic-errors, so that the header stays plain C.
 * Leaves out presets and noise states (render_line.cpp covers C++).
 * Depends on: <tonkelwerk/tonkelwerk.h>, libtonkelwerk.so.1.
 * Usage: render_line_c "SETTINGS LINE" OUT.wav */
#include <tonkelwerk/tonkelwerk.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static int write_file(const char* path, const uint8_t* bytes, size_t size) {
  FILE* out = fopen(path, "wb");
  int ok = 0;
  if (out != NULL) {
    ok = fwrite(bytes, 1, size, out) == size;
    ok = fclose(out) == 0 && ok;
  }
  return ok;
}

int main(int argc, char** argv) {
  tonkelwerk_settings settings;
  char error[200];
  uint8_t* wav;
  size_t size;
  int status;
  if (argc != 3) {
    fputs("usage: render_line_c \"SETTINGS LINE\" OUT.wav\n", stderr);
    return 2;
  }
  memset(&settings, 0, sizeof settings);
  status = tonkelwerk_settings_parse(argv[1], strlen(argv[1]), &settings, error, sizeof error);
  if (status != TONKELWERK_OK) {
    fprintf(stderr, "render_line_c: %s\n", error);
    return 2;
  }
  size = tonkelwerk_wav_size(&settings.knobs);
  wav = malloc(size > 0 ? size : 1);
  if (wav == NULL) return 1;
  status = tonkelwerk_render_wav(&settings.knobs, settings.has_seed ? settings.seed : 0, wav, size,
                                 &size);
  if (status != TONKELWERK_OK) {
    fprintf(stderr, "render_line_c: %s\n", tonkelwerk_status_text(status));
  } else if (!write_file(argv[2], wav, size)) {
    fprintf(stderr, "render_line_c: cannot write %s\n", argv[2]);
    status = -1;
  }
  free(wav);
  return status == TONKELWERK_OK ? 0 : 1;
}
