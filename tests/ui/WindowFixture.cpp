#include "WindowFixture.h"

#include <QTest>

namespace tagmora::test {

void WindowFixture::CreateWindow() {
  dir = std::make_unique<TempDir>();
  poster = std::make_unique<QtPoster>();
  user = std::make_unique<FakeUser>();
  model = std::make_unique<MainWindowModel>(*user, *poster, dir->Path(), dir->Path());
  window = std::make_unique<MainWindow>(*model);
}

void WindowFixture::DestroyWindow() {
  window.reset();
  model.reset();
  user.reset();
  poster.reset();
  dir.reset();
}

bool WindowFixture::Shown() {
  window->show();
  return QTest::qWaitForWindowExposed(window.get()) &&
         QTest::qWaitFor([this] { return model->Started(); });
}

}  // namespace tagmora::test
