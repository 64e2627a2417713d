// Small files of ints: game paths, short and odd files, and saves that never
// leave a half-written file behind.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/internal.h"
#include "platform/platform.h"

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
    close_stream(s);
    close_stream(s);  // a second close does nothing
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

}  // namespace
