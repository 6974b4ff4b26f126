// The application tests run without a display or a sound card: Qt's
// offscreen platform and SDL's dummy audio driver stand in for them unless
// the environment names others.
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  // SDL would swallow SIGINT and SIGTERM, and a hung test could not be ended.
  setenv("SDL_NO_SIGNAL_HANDLERS", "1", 0);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
