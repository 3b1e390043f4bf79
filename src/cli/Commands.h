#pragma once
// The three commands of tagmora-cli. Each answers the process's exit
// status: 0 when every file answered "OK", 1 otherwise.

#include <string>
#include <vector>

#include "platform/WriteOptions.h"

namespace tagmora::cli {

struct Assignment {
  std::string field;
  std::string value;
};

// Which tags a command touches; neither means the command's default.
struct TagChoice {
  bool v1 = false;
  bool v2 = false;
  bool Given() const { return v1 || v2; }
};

int Info(const std::vector<std::string>& files);

// Checks the assignments against the field tables before any file is
// touched; an error message for bad arguments, else empty.
std::string CheckAssignments(const std::vector<Assignment>& assignments, TagChoice tags);
int Set(const std::vector<Assignment>& assignments, TagChoice tags,
        const std::vector<std::string>& files, const WriteOptions& options = {});
int Remove(TagChoice tags, const std::vector<std::string>& files,
           const WriteOptions& options = {});

}  // namespace tagmora::cli
