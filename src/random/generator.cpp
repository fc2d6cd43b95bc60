// The program-wide pseudo-random generator. Every random draw of every
// activity takes its values from this one sequence, one value per call.
#include "random/generator.hpp"

std::uint32_t generatorstate = 0;

void seedgenerator(qword seed) {
  generatorstate = static_cast<std::uint32_t>(seed);
}

qword nextrandom() {
  generatorstate = generatorstate * 214013U + 2531011U;
  return (generatorstate >> 16U) & 0x7FFFU;
}
