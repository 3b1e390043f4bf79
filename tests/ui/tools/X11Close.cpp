// Asks a top-level X window to close the way a window manager does, with a
// WM_DELETE_WINDOW client message: Xvfb runs without a window manager.
//
// Usage: x11-close TITLE [SECONDS [SETTLE_MS]]
// Waits up to SECONDS (default 30) for a mapped window whose name is TITLE,
// then SETTLE_MS more (default 0), sends the message and answers 0; 1 when
// no such window appeared.

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace {

bool HasName(Display* display, Window window, const char* title) {
  char* name = nullptr;
  if (!XFetchName(display, window, &name) || !name) return false;
  const bool same = std::strcmp(name, title) == 0;
  XFree(name);
  return same;
}

// Searches the tree below root for a mapped window named title.
Window Find(Display* display, Window window, const char* title) {
  XWindowAttributes attributes;
  if (XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable &&
      HasName(display, window, title))
    return window;
  Window root = 0, parent = 0, *children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(display, window, &root, &parent, &children, &count)) return 0;
  Window found = 0;
  for (unsigned i = 0; i < count && !found; ++i) found = Find(display, children[i], title);
  if (children) XFree(children);
  return found;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: x11-close TITLE [SECONDS [SETTLE_MS]]\n");
    return 2;
  }
  const char* title = argv[1];
  const int seconds = argc > 2 ? std::atoi(argv[2]) : 30;
  const int settleMs = argc > 3 ? std::atoi(argv[3]) : 0;
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    std::fprintf(stderr, "x11-close: cannot open the display\n");
    return 2;
  }
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  Window window = 0;
  while (!(window = Find(display, DefaultRootWindow(display), title))) {
    if (std::chrono::steady_clock::now() > end) {
      std::fprintf(stderr, "x11-close: no window named \"%s\"\n", title);
      XCloseDisplay(display);
      return 1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(settleMs));
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display, window, False, NoEventMask, &event);
  XFlush(display);
  XCloseDisplay(display);
  return 0;
}
