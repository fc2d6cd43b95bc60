/* Starts PROGRAM with INPUT on its standard input and its output discarded,
   and sends it SIGNAL (a number) as soon as the file NAME.unfinished-PID-1
   that it writes has SIZE bytes, unless it ends first. Polling in a loop of
   its own places the signal within a few microseconds of that size, however
   fast the file system. The program starts with every signal's usual action,
   none held back, and no core file (Ctrl-\ and SIGXCPU would dump one).
   Exits 0 when the program ended by that signal or by itself with status 0,
   and 3 when it ended otherwise. For tools/filesystem-check.sh.
     killwriter SIGNAL SIZE NAME INPUT PROGRAM */
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

int main(int argc, char** argv) {
  if (argc != 6) {
    fprintf(stderr, "usage: killwriter SIGNAL SIZE NAME INPUT PROGRAM\n");
    return 2;
  }
  const int number = atoi(argv[1]);
  const long long size = atoll(argv[2]);
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
    for (int each = 1; each <= SIGRTMAX; ++each) signal(each, SIG_DFL);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, NULL);
    const struct rlimit nocore = {0, 0};
    setrlimit(RLIMIT_CORE, &nocore);
    execl(argv[5], argv[5], (char*)NULL);
    _exit(127);
  }
  close(input[0]);
  const size_t length = strlen(argv[4]);
  if (write(input[1], argv[4], length) != (ssize_t)length) return 1;
  close(input[1]);
  char temp[4096];
  snprintf(temp, sizeof temp, "%s.unfinished-%ld-1", argv[3], (long)child);
  int status = 0;
  for (;;) {
    struct stat file;
    if (stat(temp, &file) == 0 && file.st_size >= size) break;
    if (waitpid(child, &status, WNOHANG) == child) return status == 0 ? 0 : 3;
  }
  kill(child, number);
  waitpid(child, &status, 0);
  if (WIFSIGNALED(status) && WTERMSIG(status) == number) return 0;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 0 : 3;
}
