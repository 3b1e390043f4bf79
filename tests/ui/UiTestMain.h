#pragma once
// Each *Test.cpp of this folder holds one Qt Test class named after its
// file and registers it here; ctest runs each class as its own test.

#include <QObject>

#include <functional>
#include <memory>

namespace tagmora::test {

using UiTestFactory = std::function<std::unique_ptr<QObject>()>;
bool RegisterUiTest(const char* name, UiTestFactory factory);

}  // namespace tagmora::test

#define TAGMORA_UI_TEST(Class)                                                              \
  static const bool Class##Registered =                                                     \
      ::tagmora::test::RegisterUiTest(#Class, [] { return std::make_unique<Class>(); })
