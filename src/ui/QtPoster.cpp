#include "ui/QtPoster.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>

namespace tagmora {

QtPoster::QtPoster(QObject* parent) : QObject(parent) {}

void QtPoster::Post(std::function<void()> work) {
  QMetaObject::invokeMethod(this, std::move(work), Qt::QueuedConnection);
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

void QtPoster::DeliverUntil(const std::function<bool()>& done) {
  while (!done()) {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
    QThread::msleep(1);
  }
}

void AssertUserInterfaceThread() {
  Q_ASSERT_X(QCoreApplication::instance() &&
                 QThread::currentThread() == QCoreApplication::instance()->thread(),
             "view update", "runs outside the user-interface thread");
}

}  // namespace tagmora
