// The events of a connection on their way from its I/O thread to the thread
// that handles them. The queue holds a bounded number: a push waits while it
// is full, so the I/O thread stops reading and a server that sends faster
// than its events are handled fills its own TCP window instead of this
// process's memory. close() ends every wait.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <optional>

#include "net/client.h"

namespace zs::net {

class EventQueue {
public:
    static constexpr std::size_t kDefaultCapacity = 256;
    explicit EventQueue(std::size_t capacity = kDefaultCapacity);

    enum class Pushed {
        first,    // the queue had been taken empty: its taker is to be told
        queued,   // the taker has been told already
        dropped,  // the queue is closed
    };
    // Adds an event, waiting while the queue is full.
    Pushed push(Event event);
    // The next event, waiting for one; nothing once the queue is closed.
    std::optional<Event> pop();
    // Every event there now, without waiting. The next push is `first` again.
    std::deque<Event> take();
    // Drops what is queued and ends every wait; later pushes are dropped.
    void close();

private:
    const std::size_t capacity_;
    std::mutex mutex_;
    std::condition_variable not_full_, not_empty_;
    std::deque<Event> events_;
    bool told_ = false;
    bool closed_ = false;
};

}  // namespace zs::net
