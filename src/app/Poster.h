#pragma once
// How work reaches the user-interface thread. Workers never touch the view:
// they change a model under its own lock and post the notification here.

#include <functional>
#include <memory>

namespace tagmora {

class Poster {
 public:
  virtual ~Poster() = default;
  // Runs work on the user-interface thread after what is queued already.
  // Callable from any thread.
  virtual void Post(std::function<void()> work) = 0;
  // Runs work on the user-interface thread once delayMs have passed
  // (the one-shot timers of the window).
  virtual void PostDelayed(int delayMs, std::function<void()> work) = 0;
  virtual bool OnUserInterfaceThread() const = 0;
};

// Posted work of an object that may be gone by the time the work runs:
// the work is dropped once the guard's owner has been destroyed.
class PostGuard {
 public:
  PostGuard() : alive_(std::make_shared<char>()) {}
  PostGuard(const PostGuard&) = delete;
  PostGuard& operator=(const PostGuard&) = delete;

  std::function<void()> Wrap(std::function<void()> work) const {
    return [alive = std::weak_ptr<char>(alive_), work = std::move(work)] {
      if (alive.lock()) work();
    };
  }

 private:
  std::shared_ptr<char> alive_;
};

}  // namespace tagmora
