#include <cstdio>

int main() {
  std::puts("tagmora-cli: inspect and edit the ID3 tags of MP3 files");
  return 0;
}
