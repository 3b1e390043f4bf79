#include "UiTestMain.h"

#include <QApplication>
#include <QTest>

#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace tagmora::test {

namespace {
std::map<std::string, UiTestFactory>& Registry() {
  static std::map<std::string, UiTestFactory> registry;
  return registry;
}
}  // namespace

bool RegisterUiTest(const char* name, UiTestFactory factory) {
  Registry().emplace(name, std::move(factory));
  return true;
}

}  // namespace tagmora::test

// Usage: tagmora_ui_tests [TestClass [Qt Test options]]; without a class
// every class runs.
int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  std::vector<char*> args{argv[0]};
  std::string only;
  if (argc > 1 && argv[1][0] != '-') {
    only = argv[1];
    for (int i = 2; i < argc; ++i) args.push_back(argv[i]);
  } else {
    for (int i = 1; i < argc; ++i) args.push_back(argv[i]);
  }
  auto& registry = tagmora::test::Registry();
  if (!only.empty() && registry.find(only) == registry.end()) {
    fprintf(stderr, "no test class %s\n", only.c_str());
    return 2;
  }
  int failures = 0;
  for (auto& [name, factory] : registry) {
    if (!only.empty() && name != only) continue;
    std::unique_ptr<QObject> object = factory();
    failures += QTest::qExec(object.get(), static_cast<int>(args.size()), args.data());
  }
  return failures == 0 ? 0 : 1;
}
