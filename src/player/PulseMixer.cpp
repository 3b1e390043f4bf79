#include "player/PulseMixer.h"

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <utility>

namespace tagmora {

namespace {

// Holds the server thread's lock for a scope; the helpers below expect it.
class Locked {
 public:
  explicit Locked(pa_threaded_mainloop* loop) : loop_(loop) { pa_threaded_mainloop_lock(loop_); }
  ~Locked() { pa_threaded_mainloop_unlock(loop_); }
  Locked(const Locked&) = delete;
  Locked& operator=(const Locked&) = delete;

 private:
  pa_threaded_mainloop* loop_;
};

// Waits until the operation has ended; true when it ran to its end.
bool Finish(pa_threaded_mainloop* loop, pa_operation* operation) {
  if (!operation) return false;
  while (pa_operation_get_state(operation) == PA_OPERATION_RUNNING)
    pa_threaded_mainloop_wait(loop);
  const bool done = pa_operation_get_state(operation) == PA_OPERATION_DONE;
  pa_operation_unref(operation);
  return done;
}

void Wake(pa_threaded_mainloop* loop) { pa_threaded_mainloop_signal(loop, 0); }

template <typename Info>
struct Answers {
  pa_threaded_mainloop* loop;
  std::function<void(const Info&)> take;
};

template <typename Info>
void Take(pa_context*, const Info* info, int eol, void* data) {
  auto* answers = static_cast<Answers<Info>*>(data);
  if (eol == 0 && info)
    answers->take(*info);
  else
    Wake(answers->loop);
}

// Runs a query of the server's info lists and hands each answer to take.
template <typename Info, typename Start>
bool Ask(pa_threaded_mainloop* loop, Start start, std::function<void(const Info&)> take) {
  Answers<Info> answers{loop, std::move(take)};
  return Finish(loop, start(&Take<Info>, &answers));
}

void Succeeded(pa_context*, int, void* loop) { Wake(static_cast<pa_threaded_mainloop*>(loop)); }

std::string Text(const char* text) { return text ? text : ""; }

}  // namespace

uint32_t ToPulseVolume(int volume) {
  const uint64_t v = static_cast<uint64_t>(std::clamp(volume, 0, kMaxVolume));
  return static_cast<uint32_t>((v * 2 * PA_VOLUME_NORM + kMaxVolume) / (2 * kMaxVolume));
}

int FromPulseVolume(uint32_t volume) {
  const uint64_t v = std::min<uint64_t>(volume, PA_VOLUME_NORM);
  return static_cast<int>((v * 2 * kMaxVolume + PA_VOLUME_NORM) / (2 * PA_VOLUME_NORM));
}

struct PulseMixer::LineState {
  bool found = false;
  pa_cvolume volume{};
  bool mute = false;
  bool writable = true;
  std::string id;  // the server's name of a capture line's source
};

PulseMixer::PulseMixer(Poster& poster) : poster_(poster) {
  loop_ = pa_threaded_mainloop_new();
  if (!loop_) return;
  pa_proplist* properties = pa_proplist_new();
  pa_proplist_sets(properties, PA_PROP_APPLICATION_NAME, "Tagmora");
  context_ = pa_context_new_with_proplist(pa_threaded_mainloop_get_api(loop_), "Tagmora mixer",
                                          properties);
  pa_proplist_free(properties);
  if (!context_) return;
  pa_context_set_state_callback(
      context_, [](pa_context*, void* loop) { Wake(static_cast<pa_threaded_mainloop*>(loop)); },
      loop_);
  pa_context_set_subscribe_callback(
      context_,
      [](pa_context*, pa_subscription_event_type_t type, uint32_t, void* self) {
        static_cast<PulseMixer*>(self)->Event(type);
      },
      this);
  if (pa_threaded_mainloop_start(loop_) < 0) return;
  {
    Locked locked(loop_);
    // Never start a server as a side effect of looking for one.
    if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0) {
      pa_context_state_t state;
      while ((state = pa_context_get_state(context_)) != PA_CONTEXT_READY &&
             PA_CONTEXT_IS_GOOD(state))
        pa_threaded_mainloop_wait(loop_);
      if (state == PA_CONTEXT_READY) {
        deviceCount_ = 1;
        const auto mask = static_cast<pa_subscription_mask_t>(
            PA_SUBSCRIPTION_MASK_SINK | PA_SUBSCRIPTION_MASK_SOURCE |
            PA_SUBSCRIPTION_MASK_SINK_INPUT | PA_SUBSCRIPTION_MASK_SERVER);
        if (pa_operation* operation = pa_context_subscribe(context_, mask, nullptr, nullptr))
          pa_operation_unref(operation);
      }
    }
  }
  if (deviceCount_ > 0) SetMixerId(0);
}

PulseMixer::~PulseMixer() {
  if (loop_ && context_) {
    Locked locked(loop_);
    pa_context_disconnect(context_);
  }
  // After this the server's thread has ended and posts no more.
  if (loop_) pa_threaded_mainloop_stop(loop_);
  if (context_) pa_context_unref(context_);
  if (loop_) pa_threaded_mainloop_free(loop_);
}

void PulseMixer::SetMixerId(int id) {
  if (id < 0 || id >= deviceCount_) return;
  mixerId_ = -1;
  destinations_.clear();
  Locked locked(loop_);
  if (pa_context_get_state(context_) != PA_CONTEXT_READY) return;
  ReadLines();
  mixerId_ = id;
}

void PulseMixer::ReadLines() {
  destinations_.clear();
  Finish(loop_, pa_context_get_server_info(
                    context_,
                    [](pa_context*, const pa_server_info* info, void* self) {
                      auto* mixer = static_cast<PulseMixer*>(self);
                      if (info)
                        mixer->product_ =
                            Text(info->server_name) + " " + Text(info->server_version);
                      Wake(mixer->loop_);
                    },
                    this));
  Ask<pa_sink_info>(
      loop_, [this](auto take, void* data) { return pa_context_get_sink_info_list(context_, take, data); },
      [this](const pa_sink_info& sink) {
        const std::string shown = sink.description ? sink.description : Text(sink.name);
        destinations_.push_back({{LineKind::Sink, sink.index, shown, Text(sink.name)}, {}});
      });
  std::vector<std::pair<uint32_t, Line>> streams;
  Ask<pa_sink_input_info>(
      loop_,
      [this](auto take, void* data) { return pa_context_get_sink_input_info_list(context_, take, data); },
      [&streams](const pa_sink_input_info& stream) {
        const char* application = pa_proplist_gets(stream.proplist, PA_PROP_APPLICATION_NAME);
        streams.push_back(
            {stream.sink, {LineKind::Stream, stream.index, Text(application ? application : stream.name), {}}});
      });
  for (Destination& destination : destinations_)
    for (const auto& [sink, line] : streams)
      if (sink == destination.line.index) destination.connections.push_back(line);
  Destination capture{{LineKind::Capture, PA_INVALID_INDEX, "Capture", {}}, {}};
  bool anySource = false;
  Ask<pa_source_info>(
      loop_, [this](auto take, void* data) { return pa_context_get_source_info_list(context_, take, data); },
      [&](const pa_source_info& source) {
        anySource = true;
        if (source.monitor_of_sink != PA_INVALID_INDEX) return;
        const std::string shown = source.description ? source.description : Text(source.name);
        capture.connections.push_back({LineKind::Source, source.index, shown, Text(source.name)});
      });
  if (anySource) destinations_.push_back(std::move(capture));
}

std::string PulseMixer::DestinationName(int destination) const {
  const Line* line = Find(destination, -1);
  return line ? line->name : std::string();
}

int PulseMixer::ConnectionCount(int destination) const {
  if (destination < 0 || destination >= DestinationCount()) return 0;
  return static_cast<int>(destinations_[static_cast<size_t>(destination)].connections.size());
}

std::string PulseMixer::ConnectionName(int destination, int connection) const {
  const Line* line = connection < 0 ? nullptr : Find(destination, connection);
  return line ? line->name : std::string();
}

const PulseMixer::Line* PulseMixer::Find(int destination, int connection) const {
  if (destination < 0 || destination >= DestinationCount()) return nullptr;
  const Destination& found = destinations_[static_cast<size_t>(destination)];
  if (connection == -1) return &found.line;
  if (connection < 0 || connection >= static_cast<int>(found.connections.size())) return nullptr;
  return &found.connections[static_cast<size_t>(connection)];
}

std::string PulseMixer::DefaultSource() {
  std::string name;
  struct Asked {
    pa_threaded_mainloop* loop;
    std::string* name;
  } asked{loop_, &name};
  Finish(loop_, pa_context_get_server_info(
                    context_,
                    [](pa_context*, const pa_server_info* info, void* data) {
                      auto* asked = static_cast<Asked*>(data);
                      if (info) *asked->name = Text(info->default_source_name);
                      Wake(asked->loop);
                    },
                    &asked));
  return name;
}

bool PulseMixer::Query(const Line& line, LineState& state) {
  auto take = [&state](const auto& info) {
    state.found = true;
    state.volume = info.volume;
    state.mute = info.mute != 0;
  };
  switch (line.kind) {
    case LineKind::Sink:
      Ask<pa_sink_info>(
          loop_,
          [&](auto answer, void* data) {
            return pa_context_get_sink_info_by_index(context_, line.index, answer, data);
          },
          take);
      break;
    case LineKind::Stream:
      Ask<pa_sink_input_info>(
          loop_,
          [&](auto answer, void* data) {
            return pa_context_get_sink_input_info(context_, line.index, answer, data);
          },
          [&](const pa_sink_input_info& info) {
            take(info);
            state.writable = info.has_volume && info.volume_writable;
          });
      break;
    case LineKind::Capture:
      // The capture line is whichever source records now.
      state.id = DefaultSource();
      if (state.id.empty()) break;
      Ask<pa_source_info>(
          loop_,
          [&](auto answer, void* data) {
            return pa_context_get_source_info_by_name(context_, state.id.c_str(), answer, data);
          },
          take);
      break;
    case LineKind::Source:
      Ask<pa_source_info>(
          loop_,
          [&](auto answer, void* data) {
            return pa_context_get_source_info_by_index(context_, line.index, answer, data);
          },
          take);
      break;
  }
  return state.found && pa_cvolume_valid(&state.volume);
}

bool PulseMixer::ReadLineVolume(int destination, int connection, LineVolume& out) {
  out = LineVolume{};
  const Line* line = Find(destination, connection);
  if (!line) return false;
  Locked locked(loop_);
  // A line that went away meanwhile reads as one without controls.
  LineState state;
  if (!Query(*line, state)) return true;
  const pa_cvolume& volume = state.volume;
  out.volumeDisabled = !state.writable;
  out.left = FromPulseVolume(volume.values[0]);
  out.stereo = volume.channels >= 2;
  out.right = out.stereo ? FromPulseVolume(volume.values[1]) : out.left;
  out.muteDisabled = false;
  if (line->kind == LineKind::Source) {
    out.muteIsSelection = true;
    out.mute = line->id == DefaultSource() ? 1 : 0;
  } else {
    out.mute = state.mute ? 1 : 0;
  }
  return true;
}

bool PulseMixer::WriteLineVolume(int destination, int connection, int left, int right,
                                 int mute) {
  const Line* line = Find(destination, connection);
  if (!line) return false;
  Locked locked(loop_);
  LineState state;
  if (!Query(*line, state)) return true;
  const char* id = state.id.c_str();
  if (left >= 0 && state.writable) {
    if (right < 0) right = left;
    pa_cvolume volume = state.volume;
    // One value for a one-channel line; beyond left and right the louder.
    volume.values[0] = ToPulseVolume(left);
    if (volume.channels >= 2) volume.values[1] = ToPulseVolume(right);
    for (unsigned channel = 2; channel < volume.channels; ++channel)
      volume.values[channel] = ToPulseVolume(std::max(left, right));
    pa_operation* operation = nullptr;
    switch (line->kind) {
      case LineKind::Sink:
        operation = pa_context_set_sink_volume_by_index(context_, line->index, &volume, Succeeded, loop_);
        break;
      case LineKind::Stream:
        operation = pa_context_set_sink_input_volume(context_, line->index, &volume, Succeeded, loop_);
        break;
      case LineKind::Capture:
        operation = pa_context_set_source_volume_by_name(context_, id, &volume, Succeeded, loop_);
        break;
      case LineKind::Source:
        operation = pa_context_set_source_volume_by_index(context_, line->index, &volume, Succeeded, loop_);
        break;
    }
    Finish(loop_, operation);
  }
  if (mute >= 0) {
    pa_operation* operation = nullptr;
    switch (line->kind) {
      case LineKind::Sink:
        operation = pa_context_set_sink_mute_by_index(context_, line->index, mute, Succeeded, loop_);
        break;
      case LineKind::Stream:
        operation = pa_context_set_sink_input_mute(context_, line->index, mute, Succeeded, loop_);
        break;
      case LineKind::Capture:
        operation = pa_context_set_source_mute_by_name(context_, id, mute, Succeeded, loop_);
        break;
      case LineKind::Source:
        // Selecting a source makes it the one that records; some source
        // always records, so clearing the selection changes nothing.
        if (mute) operation = pa_context_set_default_source(context_, line->id.c_str(), Succeeded, loop_);
        break;
    }
    Finish(loop_, operation);
  }
  return true;
}

void PulseMixer::SetChangeHandlers(std::function<void()> controlChanged,
                                   std::function<void()> linesChanged) {
  controlChanged_ = std::move(controlChanged);
  linesChanged_ = std::move(linesChanged);
}

void PulseMixer::Event(int type) {
  const int kind = type & PA_SUBSCRIPTION_EVENT_TYPE_MASK;
  const bool lines = kind == PA_SUBSCRIPTION_EVENT_NEW || kind == PA_SUBSCRIPTION_EVENT_REMOVE;
  (lines ? linesPending_ : controlsPending_) = true;
  if (!posted_.exchange(true)) poster_.Post(guard_.Wrap([this] { Deliver(); }));
}

void PulseMixer::Deliver() {
  posted_ = false;
  const bool lines = linesPending_.exchange(false);
  const bool controls = controlsPending_.exchange(false);
  if (lines) {
    if (mixerId_ >= 0) {
      Locked locked(loop_);
      ReadLines();
    }
    if (linesChanged_) linesChanged_();
  } else if (controls && controlChanged_) {
    controlChanged_();
  }
}

}  // namespace tagmora
