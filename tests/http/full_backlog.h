#pragma once

// A loopback listener that never accepts, with its queue of unaccepted connections full: the
// system drops further connection requests, so a connect to it neither completes nor fails
// until its own retries run out. Nothing leaves the machine.

#include <cstdint>
#include <vector>

namespace pogoda::test {

class TFullBacklog {
public:
    TFullBacklog();
    ~TFullBacklog();
    TFullBacklog(const TFullBacklog&) = delete;
    TFullBacklog& operator=(const TFullBacklog&) = delete;

    int Port() const { return m_port; }
    // False when the queue took every connection tried (then connects would not hang).
    bool Full() const { return m_full; }

private:
    intptr_t m_listener = -1;
    std::vector<intptr_t> m_fillers;
    int m_port = 0;
    bool m_full = false;
};

}  // namespace pogoda::test
