/* The floor of writing a list line by line, for bench/measure.sh: writes LINES
 * lines of LENGTH bytes (newline included), one fwrite each through a 64 KiB
 * buffer, spread over four new files, each synced before it is closed and the
 * folder after it, as the export of the four every-total lists does.
 *
 * Usage: linewriter LINES LENGTH */
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

static char buffer[65536];

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  const long lines = atol(argv[1]), length = atol(argv[2]);
  char line[256];
  if (length < 1 || length > (long)sizeof line) return 2;
  memset(line, 'x', sizeof line);
  line[length - 1] = '\n';
  const char* names[4] = {"floor1", "floor2", "floor3", "floor4"};
  for (long f = 0; f < 4; ++f) {
    FILE* out = fopen(names[f], "wbx");
    if (out == NULL) return 1;
    setvbuf(out, buffer, _IOFBF, sizeof buffer);
    for (long n = f; n < lines; n += 4) fwrite(line, 1, (size_t)length, out);
    if (fflush(out) != 0 || fsync(fileno(out)) != 0 || fclose(out) != 0) return 1;
    const int folder = open(".", O_RDONLY | O_DIRECTORY);
    if (folder < 0 || fsync(folder) != 0 || close(folder) != 0) return 1;
  }
  return 0;
}
