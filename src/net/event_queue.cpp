// The bounded queue of a connection's events.
#include "net/event_queue.h"

#include <algorithm>
#include <utility>

namespace zs::net {

EventQueue::EventQueue(std::size_t capacity) : capacity_(std::max<std::size_t>(capacity, 1)) {}

EventQueue::Pushed EventQueue::push(Event event) {
    std::unique_lock lock(mutex_);
    not_full_.wait(lock, [this] { return closed_ || events_.size() < capacity_; });
    if (closed_) return Pushed::dropped;
    events_.push_back(std::move(event));
    not_empty_.notify_one();
    return std::exchange(told_, true) ? Pushed::queued : Pushed::first;
}

std::optional<Event> EventQueue::pop() {
    std::unique_lock lock(mutex_);
    not_empty_.wait(lock, [this] { return closed_ || !events_.empty(); });
    if (closed_) return std::nullopt;
    Event event = std::move(events_.front());
    events_.pop_front();
    not_full_.notify_one();
    return event;
}

std::deque<Event> EventQueue::take() {
    std::deque<Event> taken;
    {
        std::lock_guard lock(mutex_);
        taken.swap(events_);
        told_ = false;
    }
    not_full_.notify_all();
    return taken;
}

void EventQueue::close() {
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
        events_.clear();
    }
    not_full_.notify_all();
    not_empty_.notify_all();
}

}  // namespace zs::net
