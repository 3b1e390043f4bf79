#pragma once
// What a tag write does beside changing the file's bytes.

namespace tagmora {

struct WriteOptions {
  // The file keeps the modification time it had before the write, so that
  // "recently added" views and backups that go by it see no change.
  bool keepModificationTime = false;
};

}  // namespace tagmora
