// The command tests' page program: GoogleTest's run, with its exit status
// handed to the page for app_tests.py. main's own return value reaches no
// one on a page: the browser's call to main ended at the program's first
// wait.
// Depends on: GoogleTest, Emscripten (EM_JS).
#include <emscripten.h>
#include <gtest/gtest.h>

EM_JS(void, tw_test_exit, (int status), { window.twExitStatus = status; });

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  const int status = RUN_ALL_TESTS();
  tw_test_exit(status);
  return status;
}
