#include "framework/core/sync.h"

namespace pogoda {
namespace {

// Static initialisation runs on the thread that starts the process.
const std::thread::id g_mainThread = std::this_thread::get_id();

}  // namespace

std::thread::id MainThreadID() { return g_mainThread; }

bool IsMainThread() { return std::this_thread::get_id() == g_mainThread; }

bool TMultiReadExclusiveWriteSynchronizer::HeldForWriteByCaller() const {
    return m_writeDepth > 0 && m_writer == std::this_thread::get_id();
}

void TMultiReadExclusiveWriteSynchronizer::BeginRead() {
    std::unique_lock lock(m_mutex);
    if (HeldForWriteByCaller()) {
        ++m_writerReads;
        return;
    }
    m_changed.wait(lock, [this] { return m_writeDepth == 0; });
    ++m_readers;
}

void TMultiReadExclusiveWriteSynchronizer::EndRead() {
    std::unique_lock lock(m_mutex);
    if (HeldForWriteByCaller() && m_writerReads > 0) {
        --m_writerReads;
        return;
    }
    if (m_readers > 0 && --m_readers == 0) m_changed.notify_all();
}

void TMultiReadExclusiveWriteSynchronizer::BeginWrite() {
    std::unique_lock lock(m_mutex);
    if (HeldForWriteByCaller()) {
        ++m_writeDepth;
        return;
    }
    m_changed.wait(lock, [this] { return m_writeDepth == 0 && m_readers == 0; });
    m_writer = std::this_thread::get_id();
    m_writeDepth = 1;
}

void TMultiReadExclusiveWriteSynchronizer::EndWrite() {
    std::unique_lock lock(m_mutex);
    if (!HeldForWriteByCaller()) return;
    if (--m_writeDepth == 0) {
        m_writer = std::thread::id();
        m_changed.notify_all();
    }
}

TThread::~TThread() {
    if (m_thread.joinable()) m_thread.join();
}

void TThread::Start() {
    m_thread = std::thread([this] {
        try {
            Execute();
        } catch (...) {
            // An exception must not cross the thread's edge; Execute reports its own failures.
        }
        m_finished = true;
    });
}

void TThread::WaitFor() {
    if (m_thread.joinable()) m_thread.join();
}

}  // namespace pogoda
