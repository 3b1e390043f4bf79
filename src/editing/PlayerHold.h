#pragma once
// Stops the player while a command changes the file it plays, so that
// playback never reads a file that is being replaced, and takes it up again
// at the same place afterwards when the command wants it.

#include <cstdint>
#include <string>

#include "app/MainWindowModel.h"

namespace tagmora {

class PlayerHold {
 public:
  // Stops the player when it has a track open and the track is path.
  PlayerHold(PlayerCommands* player, const std::string& path) {
    if (!player || !player->TrackOpen() || player->TrackFile() != path) return;
    position_ = player->PositionMs();
    player->Stop();
    player_ = player;
  }
  PlayerHold(const PlayerHold&) = delete;
  PlayerHold& operator=(const PlayerHold&) = delete;

  // Plays again from the remembered position; nothing when the player was
  // not stopped.
  void Resume() {
    if (!player_) return;
    PlayerCommands* player = player_;
    player_ = nullptr;
    player->Play();
    player->Seek(position_);
  }

 private:
  PlayerCommands* player_ = nullptr;
  int64_t position_ = 0;
};

}  // namespace tagmora
