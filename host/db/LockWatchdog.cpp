#include "LockWatchdog.h"
#include <ibase.h>

// Started once every member is set: the thread reads them at once.
LockWatchdog::LockWatchdog() {
    m_thread = std::thread([this] { Run(); });
}

LockWatchdog::~LockWatchdog() {
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

void LockWatchdog::Arm(void* dbHandle, int timeoutMs) {
    {
        std::lock_guard lock(m_mutex);
        m_handle = dbHandle;
        m_deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        m_armed = true;
        m_fired = false;
    }
    m_wake.notify_all();
}

bool LockWatchdog::Disarm() {
    std::lock_guard lock(m_mutex);
    m_armed = false;
    return m_fired;
}

void LockWatchdog::Run() {
    std::unique_lock lock(m_mutex);
    while (!m_stop) {
        if (!m_armed) {
            m_wake.wait(lock);
            continue;
        }
        m_wake.wait_until(lock, m_deadline);
        // Only the statement armed now, once its own deadline has passed: a wait that ends as a new
        // statement is armed belongs to the previous one.
        if (m_armed && !m_stop && std::chrono::steady_clock::now() >= m_deadline) {
            ISC_STATUS_ARRAY status{};
            fb_cancel_operation(status, static_cast<isc_db_handle*>(m_handle), fb_cancel_raise);
            m_fired = true;
            m_armed = false;
        }
    }
}
