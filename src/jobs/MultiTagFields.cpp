#include "jobs/MultiTagFields.h"

#include "tags/GenreNames.h"

namespace tagmora {

namespace {

// Where each record keeps a field as text, in the order of MultiField.
constexpr std::array<std::string IDv1Tag::*, kMultiFieldCount> kV1Texts = {
    &IDv1Tag::Title, &IDv1Tag::Artist, &IDv1Tag::Album, &IDv1Tag::Comment, &IDv1Tag::Year};
constexpr std::array<std::string IDv2Tag::*, kMultiFieldCount> kV2Texts = {
    &IDv2Tag::Title,    &IDv2Tag::Artist,  &IDv2Tag::Album,     &IDv2Tag::Comment,
    &IDv2Tag::Year,     &IDv2Tag::Genre,   nullptr,             &IDv2Tag::Composer,
    &IDv2Tag::Encoder,  &IDv2Tag::Copyright, &IDv2Tag::Language, &IDv2Tag::URL};

}  // namespace

std::string* FieldText(IDv1Tag& v1, MultiField field) {
  return kV1Texts[field] ? &(v1.*kV1Texts[field]) : nullptr;
}

std::string* FieldText(IDv2Tag& v2, MultiField field) {
  return kV2Texts[field] ? &(v2.*kV2Texts[field]) : nullptr;
}

uint8_t GenreIdOfText(const std::string& text) {
  if (text.empty()) return kNoGenre;
  int id = GenreIdOf(text);
  return static_cast<uint8_t>(id < 0 ? 254 : id);
}

}  // namespace tagmora
