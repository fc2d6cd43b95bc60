// A fresh directory of its own for a test that writes files: made under the
// system's temporary directory and entered on construction, left and removed
// with all its contents on destruction. Tests run in parallel processes, so
// none may write into the source or build tree.
#pragma once

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

class ScratchDir {
 public:
  ScratchDir() : previous_(std::filesystem::current_path()) {
    std::string pattern = (std::filesystem::temp_directory_path() / "quiverly-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    path_ = pattern;
    std::filesystem::current_path(path_);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  ~ScratchDir() {
    std::filesystem::current_path(previous_);
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path previous_;
  std::filesystem::path path_;
};

// The whole content of a file, or "(missing)" when it cannot be opened.
inline std::string filetext(const std::filesystem::path& name) {
  std::ifstream in(name, std::ios::binary);
  if (!in) return "(missing)";
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The number of entries in the current directory.
inline std::size_t filecount() {
  const std::filesystem::directory_iterator files(".");
  return static_cast<std::size_t>(std::distance(begin(files), end(files)));
}
