#pragma once
// One window per user and settings folder. The first start holds a lock
// and listens on a local socket in the runtime folder ($XDG_RUNTIME_DIR);
// a later start hands its paths to that window and ends, so that "Open
// with Tagmora" adds to the open window and two windows never overwrite
// each other's settings and playlist when they close.

#include <QLocalServer>
#include <QLockFile>
#include <QObject>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tagmora {

class SingleInstance : public QObject {
  Q_OBJECT

 public:
  enum class Claim {
    First,       // this start opens the window and hears the later ones
    HandedOver,  // a running window took the paths
    NoAnswer,    // a window runs but did not take them
  };

  // Starts that share settingsFolder share one window.
  explicit SingleInstance(const std::string& settingsFolder, QObject* parent = nullptr);
  ~SingleInstance() override;

  Claim ClaimWindow(const std::vector<std::string>& paths);
  // Runs on the user-interface thread for every later start, with its
  // paths (none when it had none).
  void SetReceiver(std::function<void(std::vector<std::string>)> receive) {
    receive_ = std::move(receive);
  }

 private:
  // True once the window confirmed; connected tells whether one listened.
  bool Send(const std::vector<std::string>& paths, bool& connected) const;
  void Accept();

  std::string key_;
  QString serverName_;
  std::unique_ptr<QLockFile> lock_;
  QLocalServer server_;
  std::function<void(std::vector<std::string>)> receive_;
};

}  // namespace tagmora
