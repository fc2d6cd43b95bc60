/* The floor of writing the lists as the program does, for bench/measure.sh:
 * copies each FILE into the folder DIR as cp does, then syncs the copy and the
 * folder (fsync), one after the other, as the program syncs each list before
 * it names it and the folder after.
 *
 * Usage: synccopy DIR FILE... */
#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

static char buffer[131072];

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  for (int f = 2; f < argc; ++f) {
    const char* base = strrchr(argv[f], '/');
    char target[4096];
    snprintf(target, sizeof target, "%s/%s", argv[1], base != NULL ? base + 1 : argv[f]);
    const int in = open(argv[f], O_RDONLY);
    const int out = open(target, O_WRONLY | O_CREAT | O_EXCL, 0666);
    if (in < 0 || out < 0) return 1;
    for (ssize_t n; (n = read(in, buffer, sizeof buffer)) > 0;) {
      if (write(out, buffer, (size_t)n) != n) return 1;
    }
    if (fsync(out) != 0 || close(out) != 0 || close(in) != 0) return 1;
    const int folder = open(argv[1], O_RDONLY | O_DIRECTORY);
    if (folder < 0 || fsync(folder) != 0 || close(folder) != 0) return 1;
  }
  return 0;
}
