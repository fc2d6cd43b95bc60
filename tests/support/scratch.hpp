// Files and folders of a test's own under the system's temporary folder (or
// its file system in memory), made with standard calls only so that the tests
// run wherever the program does. Tests run in parallel processes, so none may
// write into the source or build tree, and every name carries a random part.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>

// A name under that folder that no other test process will choose.
std::filesystem::path scratchname(const char* prefix);

// A file of its own, open for reading and writing in binary mode, closed and
// removed on destruction.
class ScratchFile {
 public:
  ScratchFile();
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;
  ~ScratchFile();
  std::FILE* stream() const { return stream_; }
  // What has reached the file from byte from on, read through a stream of its
  // own: anything still held in stream()'s buffer is not there yet.
  std::string written(long from = 0) const;

 private:
  std::filesystem::path path_;
  std::FILE* stream_;
};

// A fresh folder of its own, entered on construction, left and removed with all
// its contents on destruction.
class ScratchDir {
 public:
  ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  ~ScratchDir();
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path previous_;
  std::filesystem::path path_;
};

// The whole content of a file, or "(missing)" when it cannot be opened.
std::string filetext(const std::filesystem::path& name);

// The number of entries in the current folder.
std::size_t filecount();
