#pragma once
// The posting seam on Qt: work goes through the event queue of the
// user-interface thread.

#include <QObject>

#include <deque>
#include <functional>
#include <mutex>

#include "app/Poster.h"

namespace tagmora {

class QtPoster : public QObject, public Poster {
  Q_OBJECT

 public:
  // Create it on the user-interface thread; posted work dies with it.
  explicit QtPoster(QObject* parent = nullptr);

  void Post(std::function<void()> work) override;
  void PostDelayed(int delayMs, std::function<void()> work) override;
  bool OnUserInterfaceThread() const override;

 private slots:
  void Deliver();

 private:
  // Work waits here in order; one event of the user-interface thread runs
  // what has gathered, so that a worker's burst of reports wakes the
  // thread once rather than once for each.
  std::mutex mutex_;
  std::deque<std::function<void()>> queue_;
  bool deliveryPosted_ = false;  // a Deliver event is on its way
};

// Stops a Debug build when a view update runs on another thread: the
// thread sanitizer cannot see a worker touching a widget.
void AssertUserInterfaceThread();

}  // namespace tagmora
