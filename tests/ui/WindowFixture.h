#pragma once
// What the window tests start from: the main window over its model, with a
// scripted user, in a temporary folder of its own.

#include <memory>

#include "UiTestMain.h"
#include "app/Fakes.h"
#include "app/MainWindowModel.h"
#include "support/TestSupport.h"
#include "ui/MainWindow.h"
#include "ui/QtPoster.h"

namespace tagmora::test {

class WindowFixture {
 protected:
  // Before and after each test.
  void CreateWindow();
  void DestroyWindow();
  // Shows the window; true once it is exposed and its start-up has run.
  bool Shown();

  template <typename T>
  T* Find(const char* name) {
    return FindWidget<T>(window.get(), name);
  }

  std::unique_ptr<TempDir> dir;
  std::unique_ptr<QtPoster> poster;
  std::unique_ptr<FakeUser> user;
  std::unique_ptr<MainWindowModel> model;
  std::unique_ptr<MainWindow> window;
};

}  // namespace tagmora::test
