#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "framework/core/object.h"

namespace pogoda {

// A lock the owning thread may take again (as a Windows critical section).
class TCriticalSection : public TObject {
    POGODA_CLASS_NAME(TCriticalSection)
public:
    void Enter() { m_mutex.lock(); }
    void Leave() { m_mutex.unlock(); }
    bool TryEnter() { return m_mutex.try_lock(); }
    // For std::lock_guard.
    void lock() { Enter(); }
    void unlock() { Leave(); }

private:
    std::recursive_mutex m_mutex;
};

// Many readers or one writer. The writer may take the write lock again, and may also take
// the read lock, while it holds the write lock.
class TMultiReadExclusiveWriteSynchronizer : public TObject {
    POGODA_CLASS_NAME(TMultiReadExclusiveWriteSynchronizer)
public:
    void BeginRead();
    void EndRead();
    void BeginWrite();
    void EndWrite();

private:
    bool HeldForWriteByCaller() const;

    std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_readers = 0;
    int m_writeDepth = 0;
    int m_writerReads = 0;  // read locks taken by the writer while it writes
    std::thread::id m_writer;
};

// A thread object: Execute runs on the new thread once Start is called.
class TThread : public TObject {
    POGODA_CLASS_NAME(TThread)
public:
    TThread() = default;
    TThread(const TThread&) = delete;
    TThread& operator=(const TThread&) = delete;
    // Waits for the thread; derived classes should stop it (Terminate, WaitFor) themselves.
    ~TThread() override;

    void Start();
    void Terminate() { m_terminated = true; }
    bool Terminated() const { return m_terminated; }
    bool Finished() const { return m_finished; }
    void WaitFor();

protected:
    virtual void Execute() = 0;

private:
    std::thread m_thread;
    std::atomic<bool> m_terminated{false};
    std::atomic<bool> m_finished{false};
};

// The window thread's identity, recorded when the process starts.
std::thread::id MainThreadID();
bool IsMainThread();

}  // namespace pogoda
