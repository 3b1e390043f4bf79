#pragma once
// Each *Test.cpp of this folder holds one Qt Test class named after its
// file and registers it here; ctest runs each class as its own test.

#include <QObject>
#include <QWidget>

#include <functional>
#include <memory>

namespace tagmora::test {

using UiTestFactory = std::function<std::unique_ptr<QObject>()>;
bool RegisterUiTest(const char* name, UiTestFactory factory);

// The widget of that object name below root; a missing one is named in the log.
template <typename T>
T* FindWidget(const QWidget* root, const char* name) {
  T* found = root->findChild<T*>(QString::fromLatin1(name));
  if (!found) qWarning("no widget %s", name);
  return found;
}

}  // namespace tagmora::test

#define TAGMORA_UI_TEST(Class)                                                              \
  static const bool Class##Registered =                                                     \
      ::tagmora::test::RegisterUiTest(#Class, [] { return std::make_unique<Class>(); })
