#pragma once
// A file's tags as the tag access layer reads them back, for the tests
// that check what a command or a job wrote.

#include <gtest/gtest.h>

#include <string>

#include "editing/TagAccess.h"

namespace tagmora::test {

inline IDv1Tag V1Of(const std::string& path) {
  IDv1Tag v1;
  IDv2Tag v2;
  EXPECT_EQ(ReadTags(path, v1, v2), "OK") << path;
  return v1;
}

inline IDv2Tag V2Of(const std::string& path) {
  IDv1Tag v1;
  IDv2Tag v2;
  EXPECT_EQ(ReadTags(path, v1, v2), "OK") << path;
  return v2;
}

}  // namespace tagmora::test
