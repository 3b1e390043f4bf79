#include "cli/Fields.h"

#include <array>
#include <charconv>
#include <functional>

#include "platform/TextCodec.h"
#include "tags/GenreNames.h"
#include "tags/MPEGaudio.h"

namespace tagmora::cli {

namespace {

using A = Access;

constexpr std::array<TagField<IDv1Tag>, 10> kV1{{
    {"exists", &IDv1Tag::Exists, A::Writable},
    {"version_id", &IDv1Tag::VersionId, A::ReadOnly},
    {"title", &IDv1Tag::Title, A::Writable},
    {"artist", &IDv1Tag::Artist, A::Writable},
    {"album", &IDv1Tag::Album, A::Writable},
    {"year", &IDv1Tag::Year, A::Writable},
    {"comment", &IDv1Tag::Comment, A::Writable},
    {"track", &IDv1Tag::Track, A::Writable},
    {"genre_id", &IDv1Tag::GenreId, A::Writable},
    {"genre", &IDv1Tag::Genre, A::GenreName},
}};

constexpr std::array<TagField<IDv2Tag>, 15> kV2{{
    {"exists", &IDv2Tag::Exists, A::Writable},
    {"version_id", &IDv2Tag::VersionId, A::ReadOnly},
    {"size", &IDv2Tag::Size, A::ReadOnly},
    {"title", &IDv2Tag::Title, A::Writable},
    {"artist", &IDv2Tag::Artist, A::Writable},
    {"album", &IDv2Tag::Album, A::Writable},
    {"track", &IDv2Tag::Track, A::Writable},
    {"year", &IDv2Tag::Year, A::Writable},
    {"genre", &IDv2Tag::Genre, A::Writable},
    {"comment", &IDv2Tag::Comment, A::Writable},
    {"composer", &IDv2Tag::Composer, A::Writable},
    {"encoder", &IDv2Tag::Encoder, A::Writable},
    {"copyright", &IDv2Tag::Copyright, A::Writable},
    {"language", &IDv2Tag::Language, A::Writable},
    {"url", &IDv2Tag::URL, A::Writable},
}};

struct StreamField {
  std::string_view name;
  Json (*get)(const TMPEGaudio&);
};

const std::array<StreamField, 16> kStream{{
    {"valid", [](const TMPEGaudio& m) -> Json { return m.Valid(); }},
    {"file_length", [](const TMPEGaudio& m) -> Json { return int64_t(m.FileLength()); }},
    {"version", [](const TMPEGaudio& m) -> Json { return m.Version(); }},
    {"layer", [](const TMPEGaudio& m) -> Json { return m.Layer(); }},
    {"vbr", [](const TMPEGaudio& m) -> Json { return m.VBR().Found; }},
    {"bit_rate", [](const TMPEGaudio& m) -> Json { return int64_t(m.BitRate()); }},
    {"sample_rate", [](const TMPEGaudio& m) -> Json { return int64_t(m.SampleRate()); }},
    {"channel_mode", [](const TMPEGaudio& m) -> Json { return m.ChannelMode(); }},
    {"duration", [](const TMPEGaudio& m) -> Json { return m.Duration(); }},
    {"first_frame", [](const TMPEGaudio& m) -> Json { return int64_t(m.Frame().Position); }},
    {"frames", [](const TMPEGaudio& m) -> Json { return int64_t(m.Frames()); }},
    {"crc", [](const TMPEGaudio& m) -> Json { return m.Frame().ProtectionBit; }},
    {"copyright", [](const TMPEGaudio& m) -> Json { return m.Frame().CopyrightBit; }},
    {"original", [](const TMPEGaudio& m) -> Json { return m.Frame().OriginalBit; }},
    {"emphasis", [](const TMPEGaudio& m) -> Json { return m.Emphasis(); }},
    {"encoder", [](const TMPEGaudio& m) -> Json { return JsonText(m.Encoder()); }},
}};

template <class Record>
Json RecordJson(std::span<const TagField<Record>> fields, const Record& tag) {
  Json object = Json::object();
  for (const auto& field : fields) {
    std::visit(
        [&](auto member) {
          const auto& value = tag.*member;
          using T = std::decay_t<decltype(value)>;
          if constexpr (std::is_same_v<T, std::string>)
            object[std::string(field.name)] = JsonText(value);
          else if constexpr (std::is_same_v<T, bool>)
            object[std::string(field.name)] = value;
          else
            object[std::string(field.name)] = int64_t(value);
        },
        field.member);
  }
  return object;
}

std::optional<int64_t> ParseInteger(std::string_view text) {
  int64_t value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
  return value;
}

// A genre by name (any letter case) or by number; empty means none.
std::optional<uint8_t> GenreByName(std::string_view text) {
  if (text.empty()) return kNoGenre;
  if (auto number = ParseInteger(text)) {
    if (*number >= 0 && *number <= 255) return uint8_t(*number);
    return std::nullopt;
  }
  for (int id = 0; id < kGenreCount; ++id)
    if (EqualsIgnoringAsciiCase(GenreNames[size_t(id)], text)) return uint8_t(id);
  return std::nullopt;
}

template <class Record>
std::optional<std::string> Store(const TagField<Record>& field, Record& tag,
                                 std::string_view value) {
  std::string name(field.name);
  if (field.access == Access::ReadOnly) return name + " cannot be set";
  return std::visit(
      [&](auto member) -> std::optional<std::string> {
        auto& slot = tag.*member;
        using T = std::decay_t<decltype(slot)>;
        if constexpr (std::is_same_v<T, std::string>) {
          slot = SanitizeUtf8(value);
        } else if constexpr (std::is_same_v<T, bool>) {
          if (value == "1" || value == "true") slot = true;
          else if (value == "0" || value == "false") slot = false;
          else return name + " must be 0 or 1, not '" + std::string(value) + "'";
        } else {
          auto number = ParseInteger(value);
          if (!number || *number < 0 || *number > 255)
            return name + " must be a number from 0 to 255, not '" + std::string(value) + "'";
          slot = T(*number);
        }
        return std::nullopt;
      },
      field.member);
}

}  // namespace

std::span<const TagField<IDv1Tag>> V1Fields() { return kV1; }
std::span<const TagField<IDv2Tag>> V2Fields() { return kV2; }

Json TagJson(const IDv1Tag& tag) { return RecordJson(V1Fields(), tag); }
Json TagJson(const IDv2Tag& tag) { return RecordJson(V2Fields(), tag); }

Json StreamJson(const TMPEGaudio& mpeg) {
  Json object = Json::object();
  for (const auto& field : kStream) object[std::string(field.name)] = field.get(mpeg);
  return object;
}

std::optional<std::string> SetField(const TagField<IDv1Tag>& field, IDv1Tag& tag,
                                    std::string_view value) {
  if (field.access != Access::GenreName) return Store(field, tag, value);
  auto id = GenreByName(value);
  if (!id) return std::string("'").append(value).append("' is not an ID3v1 genre name or number");
  tag.GenreId = *id;
  tag.Genre = std::string(GenreName(*id));
  return std::nullopt;
}

std::optional<std::string> SetField(const TagField<IDv2Tag>& field, IDv2Tag& tag,
                                    std::string_view value) {
  return Store(field, tag, value);
}

}  // namespace tagmora::cli
