#pragma once
// Test doubles of the player's two back ends: a media player that plays
// nothing and moves only when told, and a mixer of lines held in memory.

#include <chrono>
#include <functional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "app/Fakes.h"
#include "player/AudioMixer.h"
#include "player/MediaBackend.h"

namespace tagmora::test {

class FakeMedia : public MediaBackend {
 public:
  bool Open(const std::string& path) override {
    opened.push_back(path);
    if (failing.count(path)) return false;
    path_ = path;
    mode_ = MediaMode::Stopped;
    position = 0;
    return true;
  }
  bool Play() override {
    mode_ = MediaMode::Playing;
    return true;
  }
  bool Pause() override {
    mode_ = MediaMode::Paused;
    return true;
  }
  bool Resume() override { return Play(); }
  void Stop() override { mode_ = MediaMode::Stopped; }
  void Close() override {
    path_.clear();
    mode_ = MediaMode::NotOpen;
  }
  bool Seek(int64_t ms) override {
    seeks.push_back(ms);
    position = ms;
    return true;
  }
  int64_t Position() const override { return position; }
  int64_t Length() const override { return length; }
  MediaMode Mode() const override { return mode_; }
  std::string FileName() const override { return path_; }
  std::string ErrorText() const override { return "The file holds no MPEG audio"; }
  void SetEndHandler(std::function<void()> ended) override { ended_ = std::move(ended); }

  // The track plays to its end.
  void End() {
    position = length;
    if (ended_) ended_();
  }

  int64_t position = 0;
  int64_t length = 200000;
  std::set<std::string> failing;
  std::vector<std::string> opened;
  std::vector<int64_t> seeks;

 private:
  std::string path_;
  MediaMode mode_ = MediaMode::NotOpen;
  std::function<void()> ended_;
};

class FakeMixer : public AudioMixer {
 public:
  struct Line {
    std::string name;
    LineVolume volume;
  };
  struct Destination {
    Line line;
    std::vector<Line> connections;
  };

  int DeviceCount() const override { return devices; }
  int MixerId() const override { return id; }
  void SetMixerId(int mixer) override {
    if (mixer >= 0 && mixer < devices) id = mixer;
  }
  std::string ProductName() const override { return "Fake Mixer"; }
  int DestinationCount() const override { return static_cast<int>(destinations.size()); }
  std::string DestinationName(int d) const override { return destinations.at(d).line.name; }
  int ConnectionCount(int d) const override {
    return static_cast<int>(destinations.at(d).connections.size());
  }
  std::string ConnectionName(int d, int c) const override {
    return destinations.at(d).connections.at(c).name;
  }
  bool ReadLineVolume(int d, int c, LineVolume& out) override {
    out = {};
    Line* line = Find(d, c);
    if (!line) return false;
    out = line->volume;
    return true;
  }
  bool WriteLineVolume(int d, int c, int left, int right, int mute) override {
    writes.push_back({d, c, left, right, mute});
    Line* line = Find(d, c);
    if (!line) return false;
    LineVolume& v = line->volume;
    if (left >= 0) {
      v.left = left;
      v.right = v.stereo ? (right < 0 ? left : right) : left;
    }
    if (mute >= 0) {
      // A selection is single: choosing one source leaves the others.
      if (v.muteIsSelection && mute)
        for (Line& other : destinations.at(d).connections) other.volume.mute = 0;
      v.mute = mute;
    }
    return true;
  }
  void SetChangeHandlers(std::function<void()> control, std::function<void()> lines) override {
    controlChanged = std::move(control);
    linesChanged = std::move(lines);
  }

  Line* Find(int d, int c) {
    if (d < 0 || d >= DestinationCount()) return nullptr;
    Destination& destination = destinations[static_cast<size_t>(d)];
    if (c == -1) return &destination.line;
    if (c < 0 || c >= static_cast<int>(destination.connections.size())) return nullptr;
    return &destination.connections[static_cast<size_t>(c)];
  }

  struct Write {
    int destination, connection, left, right, mute;
    bool operator==(const Write&) const = default;
  };

  int devices = 1;
  int id = 0;
  std::vector<Destination> destinations;
  std::vector<Write> writes;
  std::function<void()> controlChanged, linesChanged;
};

// A stereo line with volume and mute.
inline LineVolume StereoLine(int left, int right, int mute) {
  return {left, right, mute, true, false, false, false};
}

// Serves the work posted to the test's own user-interface thread until
// done() holds; false only after a generous while, so that a slow machine
// waits instead of failing.
inline bool ServeUntil(FakePoster& poster, const std::function<bool()>& done) {
  using namespace std::chrono_literals;
  for (auto end = std::chrono::steady_clock::now() + 20s; std::chrono::steady_clock::now() < end;) {
    poster.RunPosted();
    if (done()) return true;
    std::this_thread::sleep_for(10ms);
  }
  return false;
}

// Speakers with two streams, and a capture line whose two sources are
// chosen by selection.
inline std::vector<FakeMixer::Destination> SampleLines() {
  return {
      {{"Speakers", StereoLine(30000, 30000, 0)},
       {{"Music", StereoLine(65535, 65535, 0)}, {"Browser", StereoLine(1000, 2000, 1)}}},
      {{"Capture", StereoLine(40000, 40000, 0)},
       {{"Microphone", {5000, 5000, 1, false, false, false, true}},
        {"Line In", {6000, 6000, 0, false, false, false, true}}}},
  };
}

}  // namespace tagmora::test
