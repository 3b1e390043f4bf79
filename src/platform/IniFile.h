#pragma once
// A plain INI file read and written key by key: every write goes to the
// disk at once (through a temporary file, so a failed write leaves the old
// file whole). Sections and keys are found without regard to letter case;
// lines the program does not know are kept. Values with blanks at either
// end are written in double quotes, which a read removes again.

#include <optional>
#include <string>

namespace tagmora {

class IniFile {
 public:
  explicit IniFile(std::string path) : path_(std::move(path)) {}
  const std::string& Path() const { return path_; }

  // Nothing when the file, the section or the key is missing or the file
  // cannot be read.
  std::optional<std::string> Read(const std::string& section, const std::string& key) const;
  // False (errno set) when the file cannot be written.
  bool Write(const std::string& section, const std::string& key, const std::string& value);
  // True when the key is gone afterwards.
  bool DeleteKey(const std::string& section, const std::string& key);

 private:
  std::string path_;
};

}  // namespace tagmora
