// A scratch directory for the fuzz targets that play the export dialogue, which
// writes its score lists into the current directory. The fuzzing process moves
// into a fresh directory of its own once, at start-up, and removes it when it
// ends normally; a list is written only the first time it is asked for, later
// requests for it meet "File already exists".
#pragma once

#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/scratch.hpp"

namespace fuzzscratch {

inline std::optional<ScratchDir> directory;
inline std::vector<std::string> arguments;
inline std::vector<char*> argumentpointers;

// libFuzzer's flags that name a file or directory.
constexpr std::string_view pathflags[] = {
    "-artifact_prefix=", "-exact_artifact_path=", "-dict=", "-merge_control_file="};

inline std::string absolutepath(std::string_view path) {
  return std::filesystem::absolute(std::filesystem::path(path)).string();
}

// The command line with every path made absolute (but the program's own name,
// which libFuzzer wants unchanged), so that the corpus, the
// dictionary and the crash files stay where they were meant to be once the
// process has moved. Without an artifact prefix crash files would land in the
// scratch directory and vanish with it: they go to the starting directory.
inline void absolutearguments(int* argc, char*** argv) {
  bool prefixgiven = false;
  for (int i = 0; i < *argc; ++i) {
    std::string argument = (*argv)[i];
    const bool isflag = argument.starts_with('-');
    for (std::string_view flag : pathflags) {
      if (!argument.starts_with(flag)) continue;
      if (flag == pathflags[0]) prefixgiven = true;
      const std::string_view value = std::string_view(argument).substr(flag.size());
      // A prefix such as "crashes/" must keep its final slash.
      std::string path = absolutepath(value);
      if (value.ends_with('/') && !path.ends_with('/')) path += '/';
      argument = std::string(flag) + path;
    }
    if (!isflag && i > 0) argument = absolutepath(argument);
    arguments.push_back(argument);
  }
  if (!prefixgiven) {
    arguments.push_back(std::string(pathflags[0]) + std::filesystem::current_path().string() + "/");
  }
  for (std::string& argument : arguments) argumentpointers.push_back(argument.data());
  argumentpointers.push_back(nullptr);
  *argc = static_cast<int>(arguments.size());
  *argv = argumentpointers.data();
}

// Called from LLVMFuzzerInitialize, before libFuzzer reads its flags.
inline void enter(int* argc, char*** argv) {
  absolutearguments(argc, argv);
  directory.emplace();
}

}  // namespace fuzzscratch
