// Small files of ints: game paths, short and odd files, and saves that never
// leave a half-written file behind.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/platform.h"
#include "platform/system/system.h"
#include "tests/support/ended_process.h"

namespace fs = std::filesystem;
using namespace platform;

namespace {

class FilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string templ =
        (fs::temp_directory_path() / "vermix-files-XXXXXX").string();
    ASSERT_NE(mkdtemp(templ.data()), nullptr);
    dir_ = templ;
    old_ = fs::current_path();
    fs::current_path(dir_);
  }
  void TearDown() override {
    fs::current_path(old_);
    fs::remove_all(dir_);
  }
  static void put(const std::string& rel, const std::string& bytes) {
    fs::create_directories(fs::path(rel).parent_path().empty()
                               ? fs::path(".")
                               : fs::path(rel).parent_path());
    std::ofstream(rel, std::ios::binary) << bytes;
  }
  static std::string get(const std::string& rel) {
    std::ifstream in(rel, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  fs::path dir_, old_;
};

TEST_F(FilesTest, ReadIntCountsMissingBytesAsZero) {
  put("data/empty.dat", "");
  StreamRef s = read_file("data\\empty.dat");
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(read_int(s), 0);
  EXPECT_EQ(read_int(s), 0);
  close_stream(s);

  // Six bytes: one whole int, then two bytes as the low 16 bits of the next.
  put("data/six.dat", std::string("\xD2\x04\x00\x00\x34\x12", 6));
  s = read_file("data\\six.dat");
  EXPECT_EQ(read_int(s), 1234);
  EXPECT_EQ(read_int(s), 0x1234);
  EXPECT_EQ(read_int(s), 0);
  close_stream(s);

  put("data/neg.dat", std::string("\xFF\xFF\xFF\xFF\x00\x00\x00\x80\x99", 9));
  s = read_file("data\\neg.dat");
  EXPECT_EQ(read_int(s), -1);
  EXPECT_EQ(read_int(s), INT32_MIN);
  EXPECT_EQ(read_int(s), 0x99);
  close_stream(s);
}

TEST_F(FilesTest, FolderNamesMatchWithoutRegardToCase) {
  put("data/anaglyph3d.dat", std::string("\x06\0\0\0\x03\0\0\0", 8));
  EXPECT_EQ(file_type("Data\\anaglyph3d.dat"), 1);
  EXPECT_EQ(file_type("DATA/anaglyph3d.dat"), 1);
  EXPECT_EQ(file_type("data"), 2);
  EXPECT_EQ(file_type("Data\\nothing.dat"), 0);
  StreamRef s = read_file("Data\\anaglyph3d.dat");
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(read_int(s), 6);
  EXPECT_EQ(read_int(s), 3);
  close_stream(s);

  // Writing through the other spelling lands in the existing folder.
  s = write_file("Data\\anaglyph3d.dat");
  ASSERT_NE(s, nullptr);
  write_int(s, 8);
  write_int(s, 1);
  close_stream(s);
  EXPECT_EQ(get("data/anaglyph3d.dat"), std::string("\x08\0\0\0\x01\0\0\0", 8));
  EXPECT_FALSE(fs::exists("Data"));
}

TEST_F(FilesTest, FoldersAndMissingFilesNeverOpenOrCrash) {
  fs::create_directories("data/hiscore.dat");
  EXPECT_EQ(file_type("data\\hiscore.dat"), 2);
  EXPECT_EQ(read_file("data\\hiscore.dat"), nullptr);
  EXPECT_EQ(write_file("data\\hiscore.dat"), nullptr);
  EXPECT_EQ(read_file("data\\missing.dat"), nullptr);
  EXPECT_EQ(write_file("nofolder\\file.dat"), nullptr);

  // Every operation on a null stream does nothing.
  StreamRef none;
  EXPECT_EQ(read_int(none), 0);
  write_int(none, 5);
  close_stream(none);
  EXPECT_TRUE(fs::is_directory("data/hiscore.dat"));

  std::vector<std::uint8_t> bytes;
  EXPECT_FALSE(detail::read_bytes("data\\hiscore.dat", bytes));
  EXPECT_FALSE(detail::read_bytes("data\\missing.dat", bytes));
}

TEST_F(FilesTest, AWriteReplacesTheFileOnlyWhenClosed) {
  put("data/hiscore.dat", std::string("\xD2\x04\x00\x00", 4));
  {
    StreamRef s = write_file("data\\hiscore.dat");
    ASSERT_NE(s, nullptr);
    write_int(s, 99);
    // Not closed yet: the old file is still whole.
    EXPECT_EQ(get("data/hiscore.dat"), std::string("\xD2\x04\x00\x00", 4));
    EXPECT_TRUE(close_stream(s));
    EXPECT_FALSE(close_stream(s));  // a second close does nothing
  }
  EXPECT_EQ(get("data/hiscore.dat"), std::string("\x63\x00\x00\x00", 4));

  // A stream dropped without being closed never replaces the file, and
  // leaves no temporary file behind.
  {
    StreamRef s = write_file("data\\hiscore.dat");
    write_int(s, 7);
  }
  EXPECT_EQ(get("data/hiscore.dat"), std::string("\x63\x00\x00\x00", 4));
  int entries = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator("data"))
    ++entries;
  EXPECT_EQ(entries, 1);
}

TEST_F(FilesTest, CreatesFoldersAndReadsEmbeddedFiles) {
  EXPECT_EQ(file_type("data"), 0);
  EXPECT_TRUE(create_folder("data"));
  EXPECT_EQ(file_type("Data"), 2);
  EXPECT_FALSE(create_folder("DATA"));  // already there

  static const unsigned char bytes[] = {1, 2, 3, 4, 5};
  register_embedded_file("graphx\\thing.bin", bytes, sizeof bytes);
  std::vector<std::uint8_t> out;
  ASSERT_TRUE(detail::read_bytes("incbin::graphx\\thing.bin", out));
  EXPECT_EQ(out, std::vector<std::uint8_t>({1, 2, 3, 4, 5}));
  ASSERT_TRUE(detail::read_bytes("incbin::graphx/thing.bin", out));
  EXPECT_FALSE(detail::read_bytes("incbin::graphx\\other.bin", out));
}

// Sound files and pictures are read whole: only regular files (after links)
// are, and never more than the cap, so a pipe cannot stall the start and a
// device cannot fill the memory.
TEST_F(FilesTest, OnlyRegularFilesUpToTheCapAreRead) {
  put("data/real.ogg", "abc");
  fs::create_symlink("real.ogg", "data/link.ogg");
  std::vector<std::uint8_t> bytes;
  ASSERT_TRUE(detail::read_bytes("data\\link.ogg", bytes));
  EXPECT_EQ(bytes, (std::vector<std::uint8_t>{'a', 'b', 'c'}));

  ASSERT_EQ(mkfifo("data/fifo.ogg", 0644), 0);
  fs::create_symlink("/dev/zero", "data/zero.ogg");
  fs::create_symlink("/dev/urandom", "data/random.ogg");
  fs::create_symlink("gone.ogg", "data/dangling.ogg");
  for (const char* name : {"fifo", "zero", "random", "dangling"}) {
    const std::string path = std::string("data\\") + name + ".ogg";
    bytes.assign(3, 1);
    EXPECT_FALSE(detail::read_bytes(path, bytes)) << name;
    EXPECT_TRUE(bytes.empty()) << name;
    EXPECT_EQ(read_file(path), nullptr) << name;
  }

  // Sparse files: no disk is used for the zeros.
  fs::resize_file(fs::path("data/real.ogg"), detail::max_read_bytes);
  ASSERT_TRUE(detail::read_bytes("data\\real.ogg", bytes));
  EXPECT_EQ(bytes.size(), detail::max_read_bytes);
  fs::resize_file(fs::path("data/real.ogg"), detail::max_read_bytes + 1);
  EXPECT_FALSE(detail::read_bytes("data\\real.ogg", bytes));
  EXPECT_TRUE(bytes.empty());
}

TEST_F(FilesTest, ASaveRemovesOnlyTemporariesOfEndedSaves) {
  const std::string dead = std::to_string(testing_support::ended_pid());
  const std::string live = std::to_string(getppid());
  put("data/hiscore.dat", std::string("\xD2\x04\x00\x00", 4));
  const std::vector<std::string> kept = {
      "data/hiscore.dat.tmp" + live,  "data/hiscore.dat.tmp" + dead + "x",
      "data/hiscore.dat.tmp",         "data/hiscore.dat.tmpold",
      "data/other.dat.tmp" + dead,    "data/xhiscore.dat.tmp" + dead,
      "data/hiscore.dat.tmp-" + dead,
  };
  for (const std::string& name : kept) put(name, "keep");
  put("data/hiscore.dat.tmp" + dead, "stale");

  StreamRef s = write_file("Data\\hiscore.dat");
  write_int(s, 5);
  EXPECT_TRUE(close_stream(s));
  EXPECT_EQ(get("data/hiscore.dat"), std::string("\x05\x00\x00\x00", 4));
  EXPECT_FALSE(fs::exists("data/hiscore.dat.tmp" + dead));
  for (const std::string& name : kept) EXPECT_EQ(get(name), "keep") << name;
}

// A write that cannot grow the file (as on a full disk) fails at close,
// leaves the old file and no temporary. Run in a child, whose file size
// limit is set to nothing.
TEST_F(FilesTest, AFailedWriteKeepsTheOldFile) {
  put("data/hiscore.dat", std::string("\xD2\x04\x00\x00", 4));
  const pid_t pid = fork();
  if (pid == 0) {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit none = {0, 0};
    if (setrlimit(RLIMIT_FSIZE, &none) != 0) _exit(3);
    StreamRef s = write_file("data\\hiscore.dat");
    if (!s) _exit(4);
    write_int(s, 5);
    _exit(close_stream(s) ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1) << "close_stream reported success";
  EXPECT_EQ(get("data/hiscore.dat"), std::string("\xD2\x04\x00\x00", 4));
  int entries = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator("data"))
    ++entries;
  EXPECT_EQ(entries, 1);
}

}  // namespace
