#pragma once
// The fields tagmora-cli shows and sets, as tables: one row per field of
// each tag record and of the stream information.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "cli/Json.h"
#include "tags/ID3v1.h"
#include "tags/ID3v2.h"

namespace tagmora {
class TMPEGaudio;
}

namespace tagmora::cli {

enum class Access {
  ReadOnly,
  Writable,
  GenreName,  // shown as the name; set by name or number into GenreId
};

template <class Record>
struct TagField {
  std::string_view name;
  std::variant<bool Record::*, uint8_t Record::*, int32_t Record::*, std::string Record::*> member;
  Access access;
};

std::span<const TagField<IDv1Tag>> V1Fields();
std::span<const TagField<IDv2Tag>> V2Fields();

template <class Record>
const TagField<Record>* FindField(std::span<const TagField<Record>> fields,
                                  std::string_view name) {
  for (const auto& field : fields)
    if (field.name == name) return &field;
  return nullptr;
}

// The record as a JSON object, in table order.
Json TagJson(const IDv1Tag& tag);
Json TagJson(const IDv2Tag& tag);
Json StreamJson(const TMPEGaudio& mpeg);

// Stores a text value into the record; an error message when the value
// does not fit the field (a track outside 0-255, an unknown genre name).
std::optional<std::string> SetField(const TagField<IDv1Tag>& field, IDv1Tag& tag,
                                    std::string_view value);
std::optional<std::string> SetField(const TagField<IDv2Tag>& field, IDv2Tag& tag,
                                    std::string_view value);

}  // namespace tagmora::cli
