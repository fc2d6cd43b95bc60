// The signals that end a program by default and can be caught: those the
// program must catch to remove a leftover, the real-time ones included, and a
// child's start with each at its usual action. POSIX only.
#pragma once

#include <signal.h>
#include <sys/resource.h>

#include <vector>

inline volatile sig_atomic_t arrived = 0;

// Whether a signal raised here arrives: qemu-user keeps the last two real-time
// signals of the system it emulates for itself.
inline bool arrives(int probed) {
  struct sigaction probe {};
  struct sigaction previous {};
  probe.sa_handler = [](int) { arrived = 1; };
  arrived = 0;
  sigaction(probed, &probe, &previous);
  raise(probed);
  sigaction(probed, &previous, nullptr);
  return arrived != 0;
}

// The ending signals this system has and passes on.
inline std::vector<int> endingsignals() {
  std::vector<int> signals = {SIGINT,  SIGTERM, SIGHUP,    SIGQUIT, SIGUSR1,
                              SIGUSR2, SIGALRM, SIGVTALRM, SIGPROF, SIGXCPU};
#if defined(__linux__)
  signals.insert(signals.end(), {SIGPOLL, SIGPWR, SIGSTKFLT});
#endif
#if defined(SIGRTMIN)
  for (int real = SIGRTMIN; real <= SIGRTMAX; ++real) {
    if (arrives(real)) signals.push_back(real);
  }
#endif
  return signals;
}

// Readies a child to run as a shell would start it: every ending signal at its
// usual action and none held back, and no core file where one would dump it
// (Ctrl-\, the processor-time limit).
inline void usualsignals() {
  for (const int ending : endingsignals()) signal(ending, SIG_DFL);
  sigset_t none;
  sigemptyset(&none);
  sigprocmask(SIG_SETMASK, &none, nullptr);
  const rlimit nocore{0, 0};
  setrlimit(RLIMIT_CORE, &nocore);
}
