#include "platform/FileSystem.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/TestSupport.h"

namespace tagmora {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

mode_t ModeOf(const std::string& path) {
  struct stat st;
  stat(path.c_str(), &st);
  return st.st_mode & 07777;
}

TEST(FileSystem, ExistenceTellsFilesFromFolders) {
  TempDir dir;
  WriteFile(dir / "a.mp3", "x");
  EXPECT_TRUE(FileExists(dir / "a.mp3"));
  EXPECT_FALSE(FileExists(dir.Path()));
  EXPECT_TRUE(DirectoryExists(dir.Path()));
  EXPECT_FALSE(DirectoryExists(dir / "a.mp3"));
  EXPECT_FALSE(FileExists(dir / "missing"));
  EXPECT_FALSE(FileExists(""));
  EXPECT_EQ(FileSize(dir / "a.mp3"), 1);
  EXPECT_EQ(FileSize(dir.Path()), -1);
}

TEST(FileSystem, ReadOnlyIsTheOwnersWriteBit) {
  TempDir dir;
  std::string f = dir / "f";
  WriteFile(f, "x");
  chmod(f.c_str(), 0664);
  EXPECT_FALSE(IsReadOnly(f));
  ASSERT_TRUE(SetReadOnly(f));
  EXPECT_EQ(ModeOf(f), 0444u);
  EXPECT_TRUE(IsReadOnly(f));
  chmod(f.c_str(), 0450);
  ASSERT_TRUE(ClearAttributes(f));
  EXPECT_EQ(ModeOf(f), 0650u);
  EXPECT_FALSE(ClearAttributes(dir / "missing"));
}

TEST(FileSystem, MoveNeverReplacesATarget) {
  TempDir dir;
  WriteFile(dir / "a", "A");
  WriteFile(dir / "b", "B");
  EXPECT_FALSE(MoveFile(dir / "a", dir / "b"));
  EXPECT_EQ(errno, EEXIST);
  EXPECT_EQ(SystemErrorText(), "File exists");
  EXPECT_EQ(ReadFile(dir / "b"), "B");
  ASSERT_TRUE(MoveFile(dir / "a", dir / "c"));
  EXPECT_FALSE(FileExists(dir / "a"));
  EXPECT_EQ(ReadFile(dir / "c"), "A");
  EXPECT_FALSE(MoveFile(dir / "missing", dir / "d"));
  EXPECT_EQ(errno, ENOENT);
}

TEST(FileSystem, MoveAcrossFileSystemsCopiesThenDeletes) {
  // /dev/shm is a tmpfs on Linux; the temporary folder usually is not.
  TempDir dir;
  std::string shm = "/dev/shm/tagmora-move-test-" + std::to_string(getpid());
  WriteFile(dir / "a", std::string(200000, 'z'));
  chmod((dir / "a").c_str(), 0640);
  if (!MoveFile(dir / "a", shm)) GTEST_SKIP() << "no /dev/shm: " << SystemErrorText();
  EXPECT_FALSE(FileExists(dir / "a"));
  EXPECT_EQ(ReadFile(shm), std::string(200000, 'z'));
  EXPECT_EQ(ModeOf(shm), 0640u);
  WriteFile(dir / "b", "B");
  EXPECT_FALSE(MoveFile(shm, dir / "b"));
  EXPECT_EQ(ReadFile(dir / "b"), "B");
  EXPECT_TRUE(FileExists(shm));
  DeleteFile(shm);
}

TEST(FileSystem, FoldersAndDeletion) {
  TempDir dir;
  EXPECT_TRUE(CreateFolder(dir / "sub"));
  EXPECT_FALSE(CreateFolder(dir / "sub"));
  EXPECT_FALSE(CreateFolder(dir / "x/y"));
  WriteFile(dir / "f", "");
  EXPECT_TRUE(DeleteFile(dir / "f"));
  EXPECT_FALSE(DeleteFile(dir / "f"));
  EXPECT_EQ(SystemErrorText(), "No such file or directory");
  EXPECT_EQ(SystemErrorText(EACCES), "Permission denied");
}

TEST(FileSystem, ReplaceTakesTheTargetsPlaceAlsoAcrossFileSystems) {
  TempDir dir;
  std::string shm = "/dev/shm/tagmora-replace-test-" + std::to_string(getpid());
  WriteFile(dir / "a", "A");
  WriteFile(shm, "S");
  if (!ReplaceFile(dir / "a", shm)) GTEST_SKIP() << "no /dev/shm: " << SystemErrorText();
  EXPECT_EQ(ReadFile(shm), "A");
  EXPECT_FALSE(FileExists(dir / "a"));
  DeleteFile(shm);
}
}  // namespace
}  // namespace tagmora
