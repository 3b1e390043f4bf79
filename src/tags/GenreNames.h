#pragma once

#include <array>
#include <string_view>

namespace tagmora {

inline constexpr int kGenreCount = 148;
// The genre byte that means "no genre".
inline constexpr unsigned char kNoGenre = 255;

extern const std::array<std::string_view, kGenreCount> GenreNames;

// The name of a genre byte; empty for 148 and above.
std::string_view GenreName(int id);
// The genre byte of a name, letter case of A to Z ignored; -1 when the
// name is none of the genres.
int GenreIdOf(std::string_view name);

}  // namespace tagmora
