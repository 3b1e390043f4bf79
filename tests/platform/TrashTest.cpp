// The desktop's trash as a file manager reads it: the file under "files",
// its original path and deletion date in "info", the trash of another file
// system on that volume, and the way back that never replaces a file.

#include "platform/Trash.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <sys/mount.h>
#include <unistd.h>

#include "platform/FileSystem.h"
#include "support/TestSupport.h"

namespace tagmora {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

// A tmpfs over a folder while it lives.
struct Volume {
  explicit Volume(const std::string& at) : path(at) {
    mounted = ::mount("none", at.c_str(), "tmpfs", 0, "size=1m") == 0;
  }
  ~Volume() {
    if (mounted) ::umount(path.c_str());
  }
  std::string path;
  bool mounted;
};

TEST(Trash, TheHomeTrashKeepsTheFileAndWhereItCameFrom) {
  TempDir dir;
  const std::string path = dir / "a b \xC3\xA9.mp3";
  WriteFile(path, "song");
  TrashEntry first;
  ASSERT_TRUE(MoveToTrash(path, first));
  EXPECT_FALSE(FileExists(path));
  EXPECT_EQ(first.file, HomeTrash() + "/files/a b \xC3\xA9.mp3");
  EXPECT_EQ(ReadFile(first.file), "song");
  const std::string info = ReadFile(first.info);
  const std::string head = "[Trash Info]\nPath=" + dir.Path() + "/a%20b%20%C3%A9.mp3\nDeletionDate=";
  ASSERT_EQ(info.substr(0, head.size()), head);
  std::tm when{};
  ASSERT_NE(::strptime(info.c_str() + head.size(), "%Y-%m-%dT%H:%M:%S\n", &when), nullptr) << info;
  when.tm_isdst = -1;
  EXPECT_LE(std::abs(std::difftime(std::mktime(&when), std::time(nullptr))), 60.0);

  // A second file of that name gets a name of its own; going back never
  // replaces a file.
  WriteFile(path, "other");
  TrashEntry second;
  ASSERT_TRUE(MoveToTrash(path, second));
  EXPECT_EQ(second.file, HomeTrash() + "/files/a b \xC3\xA9.2.mp3");
  WriteFile(path, "new");
  EXPECT_FALSE(RestoreFromTrash(second));
  EXPECT_EQ(errno, EEXIST);
  EXPECT_EQ(ReadFile(path), "new");
  ASSERT_TRUE(DeleteFile(path));
  ASSERT_TRUE(RestoreFromTrash(second));
  EXPECT_EQ(ReadFile(path), "other");
  EXPECT_FALSE(FileExists(second.info));
}

TEST(Trash, AnotherFileSystemUsesItsOwnTrashOrNone) {
  TempDir first, second;
  Volume volume(first.Path()), blocked(second.Path());
  if (!volume.mounted || !blocked.mounted) GTEST_SKIP() << "no tmpfs: " << std::strerror(errno);
  const std::string uid = std::to_string(::getuid());
  ASSERT_TRUE(CreateFolder(first / "sub"));
  WriteFile(first / "sub/x.mp3", "song");
  TrashEntry entry;
  ASSERT_TRUE(MoveToTrash(first / "sub/x.mp3", entry));
  EXPECT_EQ(entry.file, first / (".Trash-" + uid + "/files/x.mp3"));
  // The path from the volume's top, which holds wherever it is mounted.
  EXPECT_EQ(ReadFile(entry.info).substr(0, 31), "[Trash Info]\nPath=sub/x.mp3\nDel");
  ASSERT_TRUE(RestoreFromTrash(entry));
  EXPECT_EQ(ReadFile(first / "sub/x.mp3"), "song");

  // Where no trash can be made the move fails, and the file stays.
  WriteFile(second / (".Trash-" + uid), "a file in the way");
  WriteFile(second / "x.mp3", "song");
  EXPECT_FALSE(MoveToTrash(second / "x.mp3", entry));
  EXPECT_EQ(ReadFile(second / "x.mp3"), "song");
}

}  // namespace
}  // namespace tagmora
