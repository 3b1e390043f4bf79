#include "cli/Commands.h"

#include <cstdio>

#include "cli/Fields.h"
#include "cli/Json.h"
#include "editing/TagAccess.h"
#include "tags/MPEGaudio.h"

namespace tagmora::cli {

namespace {

// Status texts end in ": " and leave the file name to the caller.
void Report(const std::string& status, const std::string& path) {
  std::string line = status;
  if (line.size() < 2 || line.compare(line.size() - 2, 2, ": ") != 0) line += ": ";
  std::fprintf(stderr, "%s%s\n", line.c_str(), path.c_str());
}

// The tags one assignment goes to in one file.
TagChoice Targets(const Assignment& a, TagChoice given, bool fileHasV1) {
  bool inV1 = FindField(V1Fields(), a.field) != nullptr;
  bool inV2 = FindField(V2Fields(), a.field) != nullptr;
  if (given.Given()) return {given.v1 && inV1, given.v2 && inV2};
  // Without a choice the ID3v2 tag takes every field it holds; the ID3v1
  // record follows only when the file has one already, or for a field
  // that only ID3v1 holds, so a plain edit never adds a record unasked.
  return {inV1 && (fileHasV1 || !inV2), inV2};
}

struct Edit {
  bool touched = false;
  bool exists = true;
};

template <class Record>
std::string Apply(std::span<const TagField<Record>> fields, const Assignment& a,
                  Record& record, Edit& edit) {
  const auto* field = FindField(fields, a.field);
  if (auto error = SetField(*field, record, a.value)) return *error;
  edit.touched = true;
  if (a.field == "exists") edit.exists = record.Exists;
  return "";
}

}  // namespace

int Info(const std::vector<std::string>& files) {
  int exitCode = 0;
  for (const auto& path : files) {
    IDv1Tag v1;
    IDv2Tag v2;
    std::string status = ReadTags(path, v1, v2);
    TMPEGaudio mpeg;
    mpeg.ReadInfo(path);
    Json line = {{"path", JsonText(path)},
                 {"status", status},
                 {"id3v1", TagJson(v1)},
                 {"id3v2", TagJson(v2)},
                 {"mpeg", StreamJson(mpeg)}};
    std::printf("%s\n", JsonLine(line).c_str());
    if (status != kStatusOK) exitCode = 1;
  }
  std::fflush(stdout);
  return exitCode;
}

std::string CheckAssignments(const std::vector<Assignment>& assignments, TagChoice tags) {
  IDv1Tag v1;
  IDv2Tag v2;
  Edit e1, e2;
  for (const auto& a : assignments) {
    const auto* f1 = FindField(V1Fields(), a.field);
    const auto* f2 = FindField(V2Fields(), a.field);
    if (!f1 && !f2) return "unknown field '" + a.field + "'";
    if (a.field == "exists" && !tags.Given())
      return "exists= needs --v1 or --v2 to say which tag";
    TagChoice reach = tags.Given() ? TagChoice{tags.v1 && f1, tags.v2 && f2}
                                   : TagChoice{f1 != nullptr, f2 != nullptr};
    if (!reach.Given())
      return a.field + " is not a field of the " + (tags.v1 ? "ID3v1" : "ID3v2") + " tag";
    if (reach.v1) {
      std::string error = Apply(V1Fields(), a, v1, e1);
      // Without --v1 the ID3v1 genre is set only where the file has a
      // record; a name that record cannot hold is still refused up front.
      if (!error.empty() && !tags.Given() && reach.v2 && a.field == "genre")
        error += "; use --v2 to set only the ID3v2 genre";
      if (!error.empty()) return error;
    }
    if (reach.v2) {
      std::string error = Apply(V2Fields(), a, v2, e2);
      if (!error.empty()) return error;
    }
  }
  bool removes = (!e1.exists && e1.touched) || (!e2.exists && e2.touched);
  for (const auto& a : assignments)
    if (removes && a.field != "exists")
      return "exists=0 removes the tag; it cannot go with other fields";
  return "";
}

int Set(const std::vector<Assignment>& assignments, TagChoice tags,
        const std::vector<std::string>& files, const WriteOptions& options) {
  int exitCode = 0;
  for (const auto& path : files) {
    IDv1Tag v1;
    IDv2Tag v2;
    // A file whose tags cannot be read is left alone: writing the cleared
    // records back would lose what the file holds.
    std::string status = ReadTags(path, v1, v2);
    if (status != kStatusOK) {
      Report(status, path);
      exitCode = 1;
      continue;
    }
    bool hadV1 = v1.Exists, hadV2 = v2.Exists;
    Edit e1, e2;
    for (const auto& a : assignments) {
      TagChoice to = Targets(a, tags, v1.Exists);
      if (to.v1) Apply(V1Fields(), a, v1, e1);
      if (to.v2) Apply(V2Fields(), a, v2, e2);
    }
    std::vector<std::string> statuses;
    if (e1.touched && (e1.exists || hadV1)) {
      v1.Exists = e1.exists;
      statuses.push_back(WriteID3v1Tag(path, v1, options));
    }
    if (e2.touched && (e2.exists || hadV2)) {
      v2.Exists = e2.exists;
      statuses.push_back(WriteID3v2Tag(path, v2, options));
    }
    for (const auto& s : statuses) {
      if (s == kStatusOK) continue;
      Report(s, path);
      exitCode = 1;
    }
  }
  return exitCode;
}

int Remove(TagChoice tags, const std::vector<std::string>& files, const WriteOptions& options) {
  if (!tags.Given()) tags = {true, true};
  int exitCode = 0;
  for (const auto& path : files) {
    IDv1Tag v1;
    IDv2Tag v2;
    std::string status = ReadTags(path, v1, v2);
    std::vector<std::string> statuses;
    if (status != kStatusOK) statuses.push_back(status);
    // A tag that is not there is already removed: the file is as asked.
    if (status == kStatusOK && tags.v1 && v1.Exists)
      statuses.push_back(WriteID3v1Tag(path, IDv1Tag{}, options));
    if (status == kStatusOK && tags.v2 && v2.Exists)
      statuses.push_back(WriteID3v2Tag(path, IDv2Tag{}, options));
    for (const auto& s : statuses) {
      if (s == kStatusOK) continue;
      Report(s, path);
      exitCode = 1;
    }
  }
  return exitCode;
}

}  // namespace tagmora::cli
