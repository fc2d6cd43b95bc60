/* The timing loop of bench/measure.sh where hyperfine is missing. Runs a set of
 * commands in turn, RUNS times after WARMUP untimed turns: each with its
 * preparation first (a shell command, untimed), standard input from its input
 * file and standard output to /dev/null, spawned directly without a shell and
 * timed from spawn to exit. Prints each command's median wall time in
 * milliseconds on one line, then the largest peak resident size in KiB seen
 * in any run (as /usr/bin/time -f %M reports it).
 *
 * Usage: spawntimer RUNS WARMUP {INPUT PREPARATION COMMAND}...
 * COMMAND is split at spaces (no quoting). Any run that fails ends the loop
 * with status 1. */
#define _GNU_SOURCE
#include <fcntl.h>
#include <spawn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>

extern char** environ;

static int compare(const void* a, const void* b) {
  const double x = *(const double*)a, y = *(const double*)b;
  return (x > y) - (x < y);
}

static double now(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return (double)t.tv_sec * 1e3 + (double)t.tv_nsec / 1e6;
}

/* Runs one command; its wall time in ms, or a negative value on failure. */
static double runone(const char* input, const char* preparation, const char* command,
                     long* peak) {
  if (system(preparation) != 0) return -1;
  char words[4096];
  char* args[64];
  int count = 0;
  snprintf(words, sizeof words, "%s", command);
  for (char* word = strtok(words, " "); word != NULL && count < 63; word = strtok(NULL, " "))
    args[count++] = word;
  args[count] = NULL;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, input, O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  const double start = now();
  pid_t pid;
  const int failed = posix_spawnp(&pid, args[0], &actions, NULL, args, environ);
  posix_spawn_file_actions_destroy(&actions);
  if (failed != 0) return -1;
  int status;
  struct rusage usage;
  if (wait4(pid, &status, 0, &usage) != pid) return -1;
  const double elapsed = now() - start;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
  if (usage.ru_maxrss > *peak) *peak = usage.ru_maxrss;
  return elapsed;
}

int main(int argc, char** argv) {
  if (argc < 6 || (argc - 3) % 3 != 0) {
    fprintf(stderr, "usage: spawntimer RUNS WARMUP {INPUT PREPARATION COMMAND}...\n");
    return 2;
  }
  const int runs = atoi(argv[1]), warmup = atoi(argv[2]), commands = (argc - 3) / 3;
  if (runs < 1) return 2;
  double* times = calloc((size_t)runs * (size_t)commands, sizeof *times);
  if (times == NULL) return 1;
  long peak = 0;
  for (int run = -warmup; run < runs; ++run) {
    for (int c = 0; c < commands; ++c) {
      char** job = argv + 3 + 3 * c;
      const double elapsed = runone(job[0], job[1], job[2], &peak);
      if (elapsed < 0) {
        fprintf(stderr, "spawntimer: %s failed\n", job[2]);
        return 1;
      }
      if (run >= 0) times[c * runs + run] = elapsed;
    }
  }
  for (int c = 0; c < commands; ++c) {
    double* mine = times + c * runs;
    qsort(mine, (size_t)runs, sizeof *mine, compare);
    const double median = runs % 2 ? mine[runs / 2] : (mine[runs / 2 - 1] + mine[runs / 2]) / 2;
    printf("%s%.4f", c ? " " : "", median);
  }
  printf("\n%ld\n", peak);
  free(times);
  return 0;
}
