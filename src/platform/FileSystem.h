#pragma once
// The operating-system services the program needs, with the answers the
// tag classes and commands expect: booleans, and the system's error text.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/UniqueFd.h"

namespace tagmora {

// True for an existing regular file (a folder is not a file).
bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);
// A relative path joined to the current folder, without "." and ".."
// steps; an absolute one as it is.
std::string AbsolutePath(const std::string& path);

// Read-only means the owner may not write.
bool IsReadOnly(const std::string& path);
// Removes the write permission of owner, group and others.
bool SetReadOnly(const std::string& path);
// Gives the owner write permission and keeps every other bit.
bool ClearAttributes(const std::string& path);
// The permission bits (07777) of a file, or -1; and setting them back
// exactly, so a job that made a file writable leaves it as it found it.
int FileMode(const std::string& path);
bool SetFileMode(const std::string& path, int mode);

bool DeleteFile(const std::string& path);
// Creates one folder; its parent must exist.
bool CreateFolder(const std::string& path);
// Moves or renames a file or folder. Never replaces an existing target;
// across file systems a file is copied, flushed, named and then deleted,
// so that a crash at any moment leaves it whole in one of its places.
bool MoveFile(const std::string& from, const std::string& to);
// Moves or renames a file over an existing one in one step: the target is
// the old file or the new one, never neither.
bool ReplaceFile(const std::string& from, const std::string& to);
// Whether two paths name one file on disk (same device and inode).
bool SameFile(const std::string& a, const std::string& b);
// A name that stays inside its folder: not empty, not "." or "..", without
// "/" or NUL. Otherwise false with errno EINVAL, the system's answer to a
// name it refuses.
bool IsPlainName(std::string_view name);

// Size in bytes of a regular file, or -1.
int64_t FileSize(const std::string& path);

// Writes all of data to fd, through interrupted and short writes.
bool WriteAll(int fd, const void* data, size_t size);
// The whole file into bytes: 0, or the errno of the failure.
int ReadWholeFile(const std::string& path, std::string& bytes);
// Creates or empties the file and writes bytes: 0, or the errno of the failure.
int WriteWholeFile(const std::string& path, std::string_view bytes);
// Writes the bytes to "<path>.new" and renames that over the file, so a
// failed write leaves the old file whole; the file keeps its permissions.
// With flush the new file is on disk before it takes the old one's place.
// Returns 0 or the errno of the failure.
int ReplaceWholeFile(const std::string& path, std::string_view bytes, bool flush);
// After a failure: closes fd, removes the partly made file at path and
// leaves errno as the failure set it. Answers false, for the caller to pass on.
bool RemoveAfterFailure(UniqueFd& fd, const std::string& path);
bool RemoveAfterFailure(const std::string& path);

// The system's text for an error number, without trailing blanks, line
// breaks and full stops. Without an argument, for the current errno.
std::string SystemErrorText();
std::string SystemErrorText(int error);

// Milliseconds from a monotonic clock; wraps like a 32-bit tick count.
uint32_t GetTickCount();
// Milliseconds from a monotonic clock that does not wrap.
int64_t MonotonicMs();

// The calling thread's id as the scheduler knows it.
int CurrentThreadId();
// Sets a thread's nice value (-20 to 19). False when refused: raising a
// priority needs a privilege most users lack.
bool SetThreadNice(int threadId, int nice);

}  // namespace tagmora
