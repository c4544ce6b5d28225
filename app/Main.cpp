// Stridemere Logbook. The windows of the training log are still being built; until
// they stand, the program reports what this build can already do.
#include <cstdio>

int main() {
  std::printf(
      "Stridemere Logbook\n"
      "The training log's windows are not built yet. This build holds the foundation\n"
      "libraries and their tests; run ./test.sh to exercise them.\n");
  return 0;
}
