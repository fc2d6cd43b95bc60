/* Preloaded into a 32-bit program built with a 64-bit time_t: stops its clock
 * at the second given in FROZENCLOCK. Debian 12's libfaketime catches only
 * the 32-bit time calls there (time, clock_gettime), not __time64, which such
 * a program calls for time(). tools/arch-check.sh builds it for armhf and
 * for 32-bit x86. */
#include <stdint.h>
#include <stdlib.h>

/* The calendar time, in seconds since 1970, as glibc's time() gives it to a
 * program built with _TIME_BITS=64; FROZENCLOCK's value, whatever the clock. */
int64_t __time64(int64_t* now) {
  const char* frozen = getenv("FROZENCLOCK");
  const int64_t seconds = frozen != NULL ? strtoll(frozen, NULL, 10) : 0;
  if (now != NULL) *now = seconds;
  return seconds;
}
