#include "support/TestSupport.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace tagmora::test {

namespace {

// Every test program keeps its journals (and so its undo records) and its
// trash in a folder of its own, never in the user's: set before main, so
// that the program and the tagmora-cli it starts take them, and removed at
// the end.
struct OwnStateFolder {
  OwnStateFolder() {
    folder = fs::temp_directory_path().string() + "/tagmora-state-XXXXXX";
    if (::mkdtemp(folder.data())) {
      ::setenv("XDG_STATE_HOME", folder.c_str(), 1);
      ::setenv("XDG_DATA_HOME", (folder + "/data").c_str(), 1);
    }
    owner = ::getpid();
  }
  ~OwnStateFolder() {
    std::error_code ec;
    if (::getpid() == owner) fs::remove_all(folder, ec);
  }
  std::string folder;
  pid_t owner;
} ownStateFolder;

}  // namespace

TempDir::TempDir() {
  std::string base = fs::temp_directory_path().string() + "/tagmora-test-XXXXXX";
  std::vector<char> buf(base.begin(), base.end());
  buf.push_back('\0');
  if (!::mkdtemp(buf.data())) throw std::runtime_error("mkdtemp failed");
  path_ = buf.data();
}

TempDir::~TempDir() {
  std::error_code ec;
  // Tests make files read-only; give the owner access back before removing.
  for (auto it = fs::recursive_directory_iterator(path_, ec);
       !ec && it != fs::recursive_directory_iterator(); it.increment(ec))
    fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
  fs::remove_all(path_, ec);
}

FileSizeLimit::FileSizeLimit(uint64_t bytes) {
  ::getrlimit(RLIMIT_FSIZE, &old_);
  oldHandler_ = ::signal(SIGXFSZ, SIG_IGN);
  struct rlimit limit = {bytes, old_.rlim_max};
  ::setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit() {
  ::setrlimit(RLIMIT_FSIZE, &old_);
  ::signal(SIGXFSZ, oldHandler_);
}

namespace {
WriteStage stopStage;
int stoppedPipe = -1;

// Ends the process there, or (live) says so and waits to be killed.
void StopAtStage(WriteStage stage) {
  if (stage != stopStage) return;
  if (stoppedPipe < 0) ::_exit(0);
  (void)!::write(stoppedPipe, "x", 1);
  for (;;) ::pause();
}
}  // namespace

pid_t StopWriteAt(WriteStage stage, const std::function<void()>& write, bool live) {
  int fds[2];
  if (::pipe(fds) != 0) throw std::runtime_error("pipe failed");
  pid_t child = ::fork();
  if (child == 0) {
    stopStage = stage;
    stoppedPipe = live ? fds[1] : -1;
    SetWriteStageHook(StopAtStage);
    write();
    ::_exit(3);  // the write never reached the stage
  }
  ::close(fds[1]);
  char done;
  int status = 0;
  bool stopped = live ? ::read(fds[0], &done, 1) == 1
                      : ::waitpid(child, &status, 0) == child && WIFEXITED(status) &&
                            WEXITSTATUS(status) == 0;
  ::close(fds[0]);
  EXPECT_TRUE(stopped) << "the write did not reach its stage";
  return child;
}

void KillChild(pid_t child) {
  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

std::vector<std::string> Snapshot(const std::string& folder) {
  std::vector<std::string> entries;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    const std::string name = fs::relative(entry.path(), folder).string();
    struct stat st;
    if (entry.is_directory() || ::lstat(entry.path().c_str(), &st) != 0) {
      entries.push_back(name + "/");
      continue;
    }
    std::ostringstream line;
    line << name << " " << std::oct << (st.st_mode & 07777) << std::dec << " "
         << st.st_mtim.tv_sec << "." << st.st_mtim.tv_nsec << " " << st.st_size << " "
         << std::hash<std::string>{}(ReadFile(entry.path()));
    entries.push_back(line.str());
  }
  std::sort(entries.begin(), entries.end());
  return entries;
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), std::streamsize(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

void CopyFile(const std::string& from, const std::string& to) {
  fs::copy_file(from, to, fs::copy_options::overwrite_existing);
  fs::permissions(to, fs::perms::owner_read | fs::perms::owner_write,
                  fs::perm_options::add);
}

std::string ShellQuote(const std::string& text) {
  std::string out = "'";
  for (char c : text) {
    if (c == '\'')
      out += "'\\''";
    else
      out += c;
  }
  return out + "'";
}

CommandResult RunCommand(const std::string& command) {
  CommandResult result;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return result;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) result.output.append(buffer, n);
  int status = ::pclose(pipe);
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

void MakeMp3(const std::string& path, double seconds, const std::string& lameArgs,
             int sampleRate, int channels) {
  std::ostringstream key;
  key << seconds << '|' << lameArgs << '|' << sampleRate << '|' << channels;
  std::string cacheDir = fs::temp_directory_path().string() + "/tagmora-mp3-cache-" +
                         std::to_string(::getuid());
  fs::create_directories(cacheDir);
  std::string cached = cacheDir + "/" + std::to_string(std::hash<std::string>{}(key.str())) + ".mp3";
  if (!fs::exists(cached)) {
    std::string wav = cached + "." + std::to_string(::getpid()) + ".wav";
    std::string part = cached + "." + std::to_string(::getpid()) + ".part";
    std::ostringstream cmd;
    cmd << "sox -n -r " << sampleRate << " -c " << channels << " -b 16 " << ShellQuote(wav)
        << " synth " << seconds << " sine 440 vol 0.5 2>/dev/null && lame --quiet "
        << lameArgs << " " << ShellQuote(wav) << " " << ShellQuote(part) << " && mv -f "
        << ShellQuote(part) << " " << ShellQuote(cached);
    int rc = std::system(cmd.str().c_str());
    fs::remove(wav);
    if (rc != 0) throw std::runtime_error("sox/lame failed: " + cmd.str());
  }
  CopyFile(cached, path);
}

std::string CorpusDir() {
  const char* shared = std::getenv("TAGMORA_SHARED");
  if (!shared) shared = TAGMORA_SHARED_BUILT;
  std::string dir = std::string(shared) + "/corpus";
  return fs::is_directory(dir) ? dir : "";
}

std::string CliPath() {
  const char* cli = std::getenv("TAGMORA_CLI");
  return cli ? cli : TAGMORA_CLI_BUILT;
}

}  // namespace tagmora::test
