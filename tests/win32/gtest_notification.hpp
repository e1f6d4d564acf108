// GoogleTest's Notification is made of std::mutex, which mingw-w64's compilers with Windows threads
// lack; one made of a Windows event stands in (included before GoogleTest's own headers).
#pragma once

#include <windows.h>

namespace testing::internal {
class Notification {
public:
    Notification() : event_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~Notification() { CloseHandle(event_); }
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;
    void Notify() { SetEvent(event_); }
    void WaitForNotification() { WaitForSingleObject(event_, INFINITE); }

private:
    HANDLE event_;
};
}  // namespace testing::internal
#define GTEST_HAS_NOTIFICATION_ 1
