#pragma once
// GoogleTest's Notification is built on std::mutex and std::condition_variable,
// which the win32 thread model of mingw lacks. GoogleTest uses it only to hold
// back threads it starts itself, so a flag that the waiter polls serves.
// Included ahead of every GoogleTest file of the cross build.
#include <atomic>

namespace testing {
namespace internal {
class Notification {
public:
  Notification() : notified_(false) {}
  Notification(const Notification&) = delete;
  Notification& operator=(const Notification&) = delete;
  void Notify() { notified_.store(true); }
  void WaitForNotification() {
    while (!notified_.load()) {
    }
  }

private:
  std::atomic<bool> notified_;
};
}  // namespace internal
}  // namespace testing

#define GTEST_HAS_NOTIFICATION_ 1
