#include "LockWatchdog.h"
#include <ibase.h>

LockWatchdog::LockWatchdog() : m_thread([this] { Run(); }) {}

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
        if (m_wake.wait_until(lock, m_deadline) == std::cv_status::timeout && m_armed && !m_stop) {
            ISC_STATUS_ARRAY status{};
            auto* handle = static_cast<isc_db_handle*>(m_handle);
            fb_cancel_operation(status, handle, fb_cancel_raise);
            m_fired = true;
            m_armed = false;
        }
    }
}
