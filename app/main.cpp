// Tonkelwerk: a synthesizer for game sound effects. Takes no command line.
#include "app/app.h"

int main() {
  if (AppStart()) AppRunLoop();
  return AppEnd();
}
