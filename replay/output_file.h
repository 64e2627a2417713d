// Files the player asked for that grow as the game goes on: a recording,
// state dumps. Each write is flushed whole; a write that fails is named once
// on stderr with the path and the reason, the file is cut back to the end of
// its last whole write and written no more, and the game plays on.
#pragma once

#include <cstdio>
#include <string>

namespace replay::detail {

class OutputFile {
 public:
  OutputFile() = default;
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  ~OutputFile() { close(); }

  // Creates `path` anew, or with `append` adds to what it holds. False with
  // the reason in `error` when it cannot be opened.
  bool open(const std::string& path, bool append, std::string& error);
  // Writes and flushes `bytes`; does nothing once a write has failed.
  void write(const std::string& bytes);
  void close();
  bool is_open() const { return file_ != nullptr; }

 private:
  void fail(int error_number);

  std::FILE* file_ = nullptr;
  std::string path_;
  long whole_size_ = 0;  // bytes of the file that were written whole
};

}  // namespace replay::detail
