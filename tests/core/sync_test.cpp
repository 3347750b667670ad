#include "framework/core/sync.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace pogoda {
namespace {

using namespace std::chrono_literals;

TEST(MultiReadExclusiveWrite, WriterMayReenterAndReadersShare) {
    TMultiReadExclusiveWriteSynchronizer lock;
    lock.BeginWrite();
    lock.BeginWrite();  // re-entered by the same thread
    lock.BeginRead();   // and read while writing
    lock.EndRead();
    lock.EndWrite();

    std::atomic<bool> readerIn{false};
    std::thread reader([&] {
        lock.BeginRead();
        readerIn = true;
        lock.EndRead();
    });
    std::this_thread::sleep_for(50ms);
    EXPECT_FALSE(readerIn) << "a reader got in while the writer still held the lock once";
    lock.EndWrite();
    reader.join();
    EXPECT_TRUE(readerIn);

    // Two readers at once, a writer waits for both.
    lock.BeginRead();
    std::atomic<bool> secondReader{false}, writerIn{false};
    std::thread r2([&] {
        lock.BeginRead();
        secondReader = true;
        lock.EndRead();
    });
    r2.join();
    EXPECT_TRUE(secondReader);
    std::thread w([&] {
        lock.BeginWrite();
        writerIn = true;
        lock.EndWrite();
    });
    std::this_thread::sleep_for(50ms);
    EXPECT_FALSE(writerIn);
    lock.EndRead();
    w.join();
    EXPECT_TRUE(writerIn);
}

class Recorder : public TThread {
public:
    ~Recorder() override { WaitFor(); }
    std::atomic<bool> ranOnMain{true};

protected:
    void Execute() override { ranOnMain = IsMainThread(); }
};

TEST(Thread, RunsOffTheMainThread) {
    EXPECT_TRUE(IsMainThread());
    Recorder r;
    r.Start();
    r.WaitFor();
    EXPECT_TRUE(r.Finished());
    EXPECT_FALSE(r.ranOnMain);
}

}  // namespace
}  // namespace pogoda
