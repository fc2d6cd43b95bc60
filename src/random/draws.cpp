// The four random draws: each takes one generator value and maps it.
#include "random/draws.hpp"

#include "random/generator.hpp"

qword randomuniformnumber() {
  return uniformnumberfor(nextrandom());
}

qword randomweightednumber() {
  return weightednumberfor(nextrandom());
}

qword randommultiplier() {
  return multiplierfor(nextrandom());
}

qword randomdartcount() {
  return dartcountfor(nextrandom());
}
