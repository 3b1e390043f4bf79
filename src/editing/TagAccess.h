#pragma once
// The one place where the program reads or writes a file's tags as plain
// records. Each call uses its own tag objects, so the editor page and the
// batch jobs may call it from any thread at the same time.

#include <string>

#include "platform/WriteOptions.h"
#include "tags/ID3v1.h"
#include "tags/ID3v2.h"

namespace tagmora {

inline constexpr const char* kStatusOK = "OK";
inline constexpr const char* kStatusFileMissing = "File does NOT exist";
inline constexpr const char* kStatusReadID3v1 = "Error reading ID3v1 Tag: ";
inline constexpr const char* kStatusReadID3v2 = "Error reading ID3v2 Tag: ";
inline constexpr const char* kStatusWriteID3v1 = "Error writing ID3v1 Tag: ";
inline constexpr const char* kStatusWriteID3v2 = "Error writing ID3v2 Tag: ";

// Fills both records; on a missing file both stay as passed.
std::string ReadTags(const std::string& fileName, IDv1Tag& v1, IDv2Tag& v2);
// The writes open the file once and read and write it through that one
// descriptor. A change that fits is made in place under an undo record of
// the journal (platform/Journal.h); WriteOptions (platform/WriteOptions.h):
//   struct WriteOptions { bool keepModificationTime = false; };
// Writes the tag when v1.Exists, else removes it.
std::string WriteID3v1Tag(const std::string& fileName, const IDv1Tag& v1,
                          const WriteOptions& options = {});
// Writes the tag when v2.Exists, else removes it.
std::string WriteID3v2Tag(const std::string& fileName, const IDv2Tag& v2,
                          const WriteOptions& options = {});

}  // namespace tagmora
