#include "ui/QtPoster.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>

namespace tagmora {

QtPoster::QtPoster(QObject* parent) : QObject(parent) {}

void QtPoster::Post(std::function<void()> work) {
  bool notify;
  {
    // The work passes through this lock, where the thread sanitizer sees
    // it handed over; Qt's own hand-over is invisible to it. The lock is
    // never held while Qt posts, so the user-interface thread does not
    // wait for a worker that the system has paused there.
    std::lock_guard lock(mutex_);
    queue_.push_back(std::move(work));
    notify = !deliveryPosted_;
    deliveryPosted_ = true;
  }
  if (notify) QMetaObject::invokeMethod(this, "Deliver", Qt::QueuedConnection);
}

void QtPoster::Deliver() {
  size_t due;
  {
    std::lock_guard lock(mutex_);
    deliveryPosted_ = false;
    due = queue_.size();
  }
  // What was there when the event came, one by one; what arrives meanwhile
  // waits for the next event, so that a busy worker cannot hold the thread.
  for (; due > 0; --due) {
    std::function<void()> work;
    bool notify = false;
    {
      std::lock_guard lock(mutex_);
      if (queue_.empty()) return;
      work = std::move(queue_.front());
      queue_.pop_front();
      // Work that opens a loop of its own (a message box) must not hold
      // up the rest: another event carries it.
      if (!queue_.empty() && !deliveryPosted_) notify = deliveryPosted_ = true;
    }
    if (notify) QMetaObject::invokeMethod(this, "Deliver", Qt::QueuedConnection);
    work();
  }
}

void QtPoster::PostDelayed(int delayMs, std::function<void()> work) {
  if (OnUserInterfaceThread()) {
    QTimer::singleShot(delayMs, this, std::move(work));
    return;
  }
  Post([this, delayMs, work = std::move(work)]() mutable {
    QTimer::singleShot(delayMs, this, std::move(work));
  });
}

bool QtPoster::OnUserInterfaceThread() const { return QThread::currentThread() == thread(); }

void AssertUserInterfaceThread() {
  Q_ASSERT_X(QCoreApplication::instance() &&
                 QThread::currentThread() == QCoreApplication::instance()->thread(),
             "view update", "runs outside the user-interface thread");
}

}  // namespace tagmora
