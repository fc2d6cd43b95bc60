/* Starts PROGRAM with INPUT on its standard input and its output discarded,
   and kills it (SIGKILL) as soon as the file NAME.unfinished-PID-1 that it
   writes has SIZE bytes, unless it ends first. Polling in a loop of its own
   places the kill within a few microseconds of that size, however fast the
   file system. For tools/filesystem-check.sh.
     killwriter SIZE NAME INPUT PROGRAM */
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

int main(int argc, char** argv) {
  if (argc != 5) {
    fprintf(stderr, "usage: killwriter SIZE NAME INPUT PROGRAM\n");
    return 2;
  }
  const long long size = atoll(argv[1]);
  int input[2];
  if (pipe(input) != 0) return 1;
  const pid_t child = fork();
  if (child < 0) return 1;
  if (child == 0) {
    const int null = open("/dev/null", O_WRONLY);
    if (dup2(input[0], 0) < 0 || null < 0 || dup2(null, 1) < 0) _exit(127);
    close(input[0]);
    close(input[1]);
    close(null);
    execl(argv[4], argv[4], (char*)NULL);
    _exit(127);
  }
  close(input[0]);
  const size_t length = strlen(argv[3]);
  if (write(input[1], argv[3], length) != (ssize_t)length) return 1;
  close(input[1]);
  char temp[4096];
  snprintf(temp, sizeof temp, "%s.unfinished-%ld-1", argv[2], (long)child);
  for (;;) {
    struct stat file;
    if (stat(temp, &file) == 0 && file.st_size >= size) break;
    if (waitpid(child, NULL, WNOHANG) == child) return 0;
  }
  kill(child, SIGKILL);
  waitpid(child, NULL, 0);
  return 0;
}
