#pragma once
#include <condition_variable>
#include <mutex>
#include <thread>

// Cancels a statement that has waited too long on another transaction's lock. Firebird through Qt always
// waits forever; the engine lets another thread cancel the running request of a connection.
class LockWatchdog {
public:
    LockWatchdog();
    ~LockWatchdog();
    void Arm(void* dbHandle, int timeoutMs);
    // True when the statement was cancelled by the watchdog.
    bool Disarm();

private:
    void Run();
    std::mutex m_mutex;
    std::condition_variable m_wake;
    void* m_handle = nullptr;
    std::chrono::steady_clock::time_point m_deadline;
    bool m_armed = false;
    bool m_fired = false;
    bool m_stop = false;
    std::thread m_thread;
};
