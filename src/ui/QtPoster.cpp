#include "ui/QtPoster.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>

#include <mutex>

namespace tagmora {

QtPoster::QtPoster(QObject* parent) : QObject(parent) {}

namespace {
// Qt hands posted events over under a lock the thread sanitizer cannot
// see; this one makes the hand-over visible to it. The receiving side
// takes it before it touches anything the poster wrote.
std::mutex handover;
}  // namespace

void QtPoster::Post(std::function<void()> work) {
  std::lock_guard lock(handover);
  QMetaObject::invokeMethod(
      this,
      [work = std::move(work)] {
        { std::lock_guard received(handover); }
        work();
      },
      Qt::QueuedConnection);
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
