#pragma once
// Test doubles of the two seams: a user who answers from a queue and
// records every box and dialog, and a poster whose user-interface thread
// is the test's own, run by hand, with a clock of its own for the timers.

#include <algorithm>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/Poster.h"
#include "app/UserInteraction.h"

namespace tagmora::test {

class FakeUser : public UserInteraction {
 public:
  MessageAnswer Show(const MessageBox& box) override {
    boxes.push_back(box);
    if (answers.empty()) return box.buttons == MessageButtons::Ok ? MessageAnswer::Ok
                                                                  : MessageAnswer::Cancel;
    MessageAnswer answer = answers.front();
    answers.pop_front();
    return answer;
  }
  std::vector<std::string> OpenFiles(const FileDialog& dialog) override {
    dialogs.push_back(dialog);
    if (openAnswers.empty()) return {};
    auto chosen = openAnswers.front();
    openAnswers.pop_front();
    return chosen;
  }
  std::optional<std::string> SaveFile(const FileDialog& dialog) override {
    dialogs.push_back(dialog);
    if (saveAnswers.empty()) return std::nullopt;
    auto chosen = saveAnswers.front();
    saveAnswers.pop_front();
    return chosen;
  }
  std::optional<std::string> ChooseFolder(const FileDialog& dialog) override {
    dialogs.push_back(dialog);
    if (folderAnswers.empty()) return std::nullopt;
    auto chosen = folderAnswers.front();
    folderAnswers.pop_front();
    return chosen;
  }
  void OpenWithShell(const std::string& target) override { opened.push_back(target); }
  void Beep() override { ++beeps; }

  std::vector<MessageBox> boxes;
  std::vector<FileDialog> dialogs;
  std::vector<std::string> opened;
  int beeps = 0;
  std::deque<MessageAnswer> answers;
  std::deque<std::vector<std::string>> openAnswers;
  std::deque<std::optional<std::string>> saveAnswers;
  std::deque<std::optional<std::string>> folderAnswers;
};

class FakePoster : public Poster {
 public:
  void Post(std::function<void()> work) override {
    std::lock_guard lock(mutex_);
    queue_.push_back(std::move(work));
  }
  void PostDelayed(int delayMs, std::function<void()> work) override {
    std::lock_guard lock(mutex_);
    timers_.push_back({now_ + delayMs, sequence_++, std::move(work)});
  }
  bool OnUserInterfaceThread() const override { return std::this_thread::get_id() == ui_; }

  // Runs posted work until none is left; answers how much ran.
  int RunPosted() {
    int ran = 0;
    for (;;) {
      std::function<void()> work;
      {
        std::lock_guard lock(mutex_);
        if (queue_.empty()) return ran;
        work = std::move(queue_.front());
        queue_.pop_front();
      }
      work();
      ++ran;
    }
  }
  // Lets ms pass: runs every timer that falls due, in time order.
  void Advance(int ms) {
    RunPosted();
    long end;
    {
      std::lock_guard lock(mutex_);
      end = now_ + ms;
    }
    for (;;) {
      Timer timer;
      {
        std::lock_guard lock(mutex_);
        auto due = std::min_element(timers_.begin(), timers_.end(), [](auto& a, auto& b) {
          return std::pair(a.due, a.sequence) < std::pair(b.due, b.sequence);
        });
        if (due == timers_.end() || due->due > end) break;
        timer = std::move(*due);
        timers_.erase(due);
        now_ = timer.due;
      }
      timer.work();
      RunPosted();
    }
    std::lock_guard lock(mutex_);
    now_ = end;
  }
  size_t PendingTimers() {
    std::lock_guard lock(mutex_);
    return timers_.size();
  }

 private:
  struct Timer {
    long due = 0;
    long sequence = 0;
    std::function<void()> work;
  };
  std::thread::id ui_ = std::this_thread::get_id();
  std::mutex mutex_;
  std::deque<std::function<void()>> queue_;
  std::vector<Timer> timers_;
  long now_ = 0;
  long sequence_ = 0;
};

}  // namespace tagmora::test
