#include "tests/integration/game_run.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "platform/video/video.h"

namespace fs = std::filesystem;

namespace testing_support {

std::array<int, 3> Screenshot::at(int x, int y) const {
  const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 4;
  return {rgba.at(i), rgba.at(i + 1), rgba.at(i + 2)};
}

GameFolder::GameFolder(bool with_sounds) {
  // Another build of the game may stand in for this one, e.g. the Windows
  // build through Wine (tools/test-windows.sh).
  if (const char* other = std::getenv("VERMIX_TEST_GAME")) exe_ = other;
  std::string templ =
      (fs::temp_directory_path() / "vermix-test-XXXXXX").string();
  if (!mkdtemp(templ.data())) throw std::runtime_error("mkdtemp failed");
  dir_ = templ;
  if (with_sounds) {
    fs::create_directory(dir_ / "data");
    for (const auto& entry : fs::directory_iterator(VERMIX_DATA_DIR)) {
      if (entry.path().extension() == ".ogg") {
        fs::copy_file(entry.path(), dir_ / "data" / entry.path().filename());
      }
    }
  }
}

GameFolder::~GameFolder() {
  std::error_code ec;
  fs::remove_all(dir_, ec);
}

static std::string slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

pid_t GameFolder::start_script(const std::string& script,
                               const std::vector<std::string>& args) {
  {
    std::ofstream out(dir_ / "script.txt", std::ios::binary);
    out << script;
  }
  std::vector<std::string> all = args;
  for (const char* a : {"--window", "--fast", "--script", "script.txt"})
    all.push_back(a);
  return start(all);
}

RunResult GameFolder::run(const std::string& script,
                          const std::vector<std::string>& args,
                          int timeout_seconds) {
  return wait(start_script(script, args), timeout_seconds);
}

RunResult GameFolder::run_raw(const std::vector<std::string>& args,
                              int timeout_seconds,
                              const std::function<void()>& in_child) {
  return wait(start(args, in_child), timeout_seconds);
}

pid_t GameFolder::start(const std::vector<std::string>& args,
                        const std::function<void()>& in_child) {
  const fs::path out_file = dir_ / ".stdout";
  const fs::path err_file = dir_ / ".stderr";
  pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    if (chdir(dir_.c_str()) != 0) _exit(126);
    int o = open(out_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int e = open(err_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (o < 0 || e < 0) _exit(126);
    dup2(o, 1);
    dup2(e, 2);
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("ALSOFT_DRIVERS", "null", 0);
    // An installed-layout run saves here, never in the real home.
    setenv("XDG_DATA_HOME", (dir_ / "xdg").c_str(), 1);
    if (in_child) in_child();
    std::vector<char*> argv;
    std::string exe = exe_;
    argv.push_back(exe.data());
    std::vector<std::string> copy = args;
    for (auto& a : copy) argv.push_back(a.data());
    argv.push_back(nullptr);
    execv(exe.c_str(), argv.data());
    _exit(127);
  }
  return pid;
}

RunResult GameFolder::wait(pid_t pid, int timeout_seconds) {
  // A slower stand-in for the game (the browser build) may ask for longer.
  if (const char* slower = std::getenv("VERMIX_TEST_SLOWDOWN")) {
    timeout_seconds *= std::max(1, std::atoi(slower));
  }
  RunResult result;
  int status = 0;
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::seconds(timeout_seconds);
  for (;;) {
    pid_t r = waitpid(pid, &status, WNOHANG);
    if (r == pid) break;
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      result.err = "timed out\n";
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  if (WIFEXITED(status))
    result.exit_code = WEXITSTATUS(status);
  else if (WIFSIGNALED(status))
    result.exit_code = 128 + WTERMSIG(status);
  result.out = slurp(dir_ / ".stdout");
  result.err += slurp(dir_ / ".stderr");
  return result;
}

std::vector<nlohmann::json> GameFolder::dumps(const std::string& name) const {
  std::vector<nlohmann::json> out;
  std::ifstream in(dir_ / name);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty()) out.push_back(nlohmann::json::parse(line));
  }
  return out;
}

nlohmann::json GameFolder::only_dump(const RunResult& run, int status) const {
  EXPECT_EQ(run.exit_code, status) << run.err;
  const auto d = dumps();
  if (d.size() != 1) {
    ADD_FAILURE() << "expected one dump: " << run.err;
    return {};
  }
  return d[0];
}

Screenshot GameFolder::screenshot(const std::string& name) const {
  Screenshot shot;
  std::vector<std::uint8_t> bytes = read_bytes(name);
  bool had_alpha = false;
  if (bytes.empty() ||
      !platform::detail::decode_png(bytes.data(), bytes.size(), shot.width,
                                    shot.height, shot.rgba, had_alpha)) {
    return Screenshot{};
  }
  return shot;
}

void GameFolder::write_bytes(const std::string& rel,
                             const std::vector<std::uint8_t>& bytes) {
  fs::create_directories((dir_ / rel).parent_path());
  std::ofstream out(dir_ / rel, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::uint8_t> GameFolder::read_bytes(const std::string& rel) const {
  std::string s = slurp(dir_ / rel);
  return {s.begin(), s.end()};
}

bool GameFolder::exists(const std::string& rel) const {
  return fs::exists(dir_ / rel);
}

std::string script_line(long tick, const std::string& event) {
  return std::to_string(tick) + " " + event + "\n";
}

void expect_same_dumps(const std::vector<std::uint8_t>& script,
                       const std::vector<std::string>& args,
                       const std::string& dump_file,
                       const std::vector<nlohmann::json>& want) {
  GameFolder player;
  player.write_bytes("game.script", script);
  std::vector<std::string> all = {"--window", "--fast"};
  all.insert(all.end(), args.begin(), args.end());
  all.insert(all.end(), {"--script", "game.script"});
  const RunResult run = player.run_raw(all, 290);
  ASSERT_EQ(run.exit_code, 0) << run.err;
  const std::vector<nlohmann::json> got = player.dumps(dump_file);
  ASSERT_EQ(got.size(), want.size()) << run.err;
  for (std::size_t i = 0; i < want.size(); ++i)
    ASSERT_EQ(got[i], want[i]) << "first difference in dump " << i;
}

}  // namespace testing_support
