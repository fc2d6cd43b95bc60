#include "support/scratch.hpp"

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>

namespace {

// A file system in memory (/dev/shm) where there is one, else the temporary
// folder: each of the hundreds of lists the tests write is synced.
const std::filesystem::path& scratchroot() {
  static const std::filesystem::path root = [] {
    std::error_code error;
    if (std::filesystem::is_directory("/dev/shm", error)) return std::filesystem::path("/dev/shm");
    return std::filesystem::temp_directory_path();
  }();
  return root;
}

}  // namespace

std::filesystem::path scratchname(const char* prefix) {
  // The device's entropy, the clock and a count: random_device alone may be a
  // fixed sequence on some platforms.
  static std::mt19937_64 random = [] {
    std::random_device device;
    const auto now = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    std::seed_seq seed{device(), device(), static_cast<unsigned>(now),
                       static_cast<unsigned>(now >> 32)};
    return std::mt19937_64(seed);
  }();
  static unsigned long long count = 0;
  const std::string name =
      std::string(prefix) + std::to_string(random()) + "-" + std::to_string(++count);
  return scratchroot() / name;
}

ScratchFile::ScratchFile()
    : path_(scratchname("quiverly-file-")), stream_(std::fopen(path_.string().c_str(), "w+b")) {
  if (stream_ == nullptr) std::abort();
}

ScratchFile::~ScratchFile() {
  std::fclose(stream_);
  std::error_code ignored;
  std::filesystem::remove(path_, ignored);
}

std::string ScratchFile::written(long from) const {
  std::ifstream in(path_, std::ios::binary);
  in.seekg(from);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

ScratchDir::ScratchDir() : previous_(std::filesystem::current_path()) {
  do {
    path_ = scratchname("quiverly-");
  } while (!std::filesystem::create_directory(path_));
  std::filesystem::current_path(path_);
}

ScratchDir::~ScratchDir() {
  std::filesystem::current_path(previous_);
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string filetext(const std::filesystem::path& name) {
  std::ifstream in(name, std::ios::binary);
  if (!in) return "(missing)";
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::size_t filecount() {
  const std::filesystem::directory_iterator files(".");
  return static_cast<std::size_t>(std::distance(begin(files), end(files)));
}
