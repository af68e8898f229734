// One connection to the game server over POSIX sockets: the I/O thread that
// resolves and connects within a bound, reads into the ClientProtocol, runs
// posted commands, checks the waits and sends every byte of each message.
#include "net/connection.h"

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace zs::net {

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kPollMs = 10;
constexpr std::size_t kReceiveBlock = 4096;
constexpr int kSendAttempts = 3;

int poll_ms(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return static_cast<int>(std::clamp<long long>(left, 0, kPollMs));
}

std::string seconds_text(std::chrono::milliseconds ms) {
    if (ms.count() % 1000 != 0) return std::to_string(ms.count()) + " ms";
    return std::to_string(ms.count() / 1000) + (ms.count() == 1000 ? " second" : " seconds");
}

// A host name resolved on a helper thread, so that the wait for it is bounded
// and can be given up; the helper owns its share of the result.
struct Resolution {
    std::mutex mutex;
    std::condition_variable done_cv;
    bool done = false;
    std::vector<sockaddr_in> addresses;
};

std::shared_ptr<Resolution> start_resolving(const std::string& host, int port) {
    auto result = std::make_shared<Resolution>();
    std::thread([result, host, port] {
        addrinfo hints{};
        hints.ai_family = AF_INET;
        hints.ai_socktype = SOCK_STREAM;
        addrinfo* list = nullptr;
        std::vector<sockaddr_in> found;
        if (::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &list) == 0) {
            for (addrinfo* a = list; a; a = a->ai_next) {
                if (a->ai_family == AF_INET && a->ai_addrlen == sizeof(sockaddr_in)) {
                    found.push_back(*reinterpret_cast<const sockaddr_in*>(a->ai_addr));
                }
            }
            ::freeaddrinfo(list);
        }
        std::lock_guard lock(result->mutex);
        result->addresses = std::move(found);
        result->done = true;
        result->done_cv.notify_all();
    }).detach();
    return result;
}

}  // namespace

struct Connection::Impl {
    Endpoint endpoint;
    Places places;
    Timeouts timeouts;
    Listener listener;
    std::unique_ptr<FileStore> store;
    std::unique_ptr<ClientProtocol> protocol;
    std::thread thread;
    int wake[2] = {-1, -1};

    // Shared with the callers' threads.
    std::mutex mutex;
    std::deque<std::function<void(ClientProtocol&)>> commands;
    bool closing = false;
    std::atomic<bool> open{false};

    // The I/O thread's own.
    int fd = -1;
    std::string failure;  // set when a send broke the connection

    void emit(Event event) {
        if (listener) listener(std::move(event));
    }
    void wake_up() {
        const char byte = 1;
        [[maybe_unused]] ssize_t n = ::write(wake[1], &byte, 1);
    }
    void drain_wake() {
        char bytes[64];
        while (::read(wake[0], bytes, sizeof bytes) > 0) {
        }
    }
    bool close_requested() {
        std::lock_guard lock(mutex);
        return closing;
    }
    // Runs the posted commands; true when close() was asked for.
    bool run_commands() {
        std::deque<std::function<void(ClientProtocol&)>> batch;
        bool close_now = false;
        {
            std::lock_guard lock(mutex);
            batch.swap(commands);
            close_now = closing;
        }
        for (auto& command : batch)
            command(*protocol);
        return close_now;
    }
    void finish(const std::string& reason) {
        if (fd >= 0) ::close(fd);
        fd = -1;
        open = false;
        protocol->closed(reason);
    }

    bool resolve(Clock::time_point deadline, std::vector<sockaddr_in>& addresses);
    bool connect_to(const std::vector<sockaddr_in>& addresses, Clock::time_point deadline,
                    std::string& error);
    void send_all(const std::string& bytes);
    void run();
};

bool Connection::Impl::resolve(Clock::time_point deadline, std::vector<sockaddr_in>& addresses) {
    auto resolution = start_resolving(endpoint.host, endpoint.port);
    std::unique_lock lock(resolution->mutex);
    while (!resolution->done) {
        if (Clock::now() >= deadline || close_requested()) return false;
        resolution->done_cv.wait_for(lock, std::chrono::milliseconds(kPollMs));
    }
    addresses = resolution->addresses;
    return !addresses.empty();
}

bool Connection::Impl::connect_to(const std::vector<sockaddr_in>& addresses,
                                  Clock::time_point deadline, std::string& error) {
    for (const sockaddr_in& address : addresses) {
        fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (fd < 0) {
            error = std::strerror(errno);
            return false;
        }
        int rc = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
        if (rc != 0 && errno == EINPROGRESS) {
            while (true) {
                if (close_requested()) return false;
                if (Clock::now() >= deadline) {
                    error = "no answer within " + seconds_text(timeouts.connect);
                    return false;
                }
                pollfd fds[2] = {{fd, POLLOUT, 0}, {wake[0], POLLIN, 0}};
                if (::poll(fds, 2, poll_ms(deadline)) < 0 && errno != EINTR) break;
                if (fds[1].revents) drain_wake();
                if (fds[0].revents) {
                    int so_error = 0;
                    socklen_t len = sizeof so_error;
                    ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &so_error, &len);
                    rc = so_error == 0 ? 0 : -1;
                    errno = so_error;
                    break;
                }
            }
        }
        if (rc == 0) {
            int one = 1;
            ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
            return true;
        }
        error = std::strerror(errno);
        ::close(fd);
        fd = -1;
    }
    return false;
}

void Connection::Impl::send_all(const std::string& bytes) {
    if (fd < 0 || !failure.empty()) return;
    std::size_t sent = 0;
    int failed_attempts = 0;
    const Clock::time_point deadline = Clock::now() + timeouts.idle;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (Clock::now() < deadline) {
                pollfd fds[2] = {{fd, POLLOUT, 0}, {wake[0], POLLIN, 0}};
                ::poll(fds, 2, poll_ms(deadline));
                if (fds[1].revents) drain_wake();
                if (close_requested()) return;  // the connection ends anyway
                continue;
            }
            failure = "The server took nothing sent to it for " + seconds_text(timeouts.idle) + ".";
        } else if (sent == 0 && ++failed_attempts < kSendAttempts) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            continue;
        } else if (sent > 0) {
            failure = std::string("Sending to the server failed: ") + std::strerror(errno) + ".";
        }
        // A message that never started is dropped; one cut in the middle has
        // left the server's stream unreadable, so the connection ends.
        emit(StatusText{sent == 0 ? "Updater: Packet failed to send."
                                  : "Updater: Message transmission failed."});
        return;
    }
}

void Connection::Impl::run() {
    const Clock::time_point deadline = Clock::now() + timeouts.connect;
    std::vector<sockaddr_in> addresses;
    if (!resolve(deadline, addresses)) {
        if (close_requested()) return finish("");
        emit(StatusText{"Updater: Failed to connect to server."});
        return finish("The server's address " + endpoint.host + " could not be resolved.");
    }
    std::string error;
    if (!connect_to(addresses, deadline, error)) {
        if (close_requested()) return finish("");
        emit(StatusText{"Failed to connect to server."});
        return finish("Could not connect to " + endpoint.host + ":" +
                      std::to_string(endpoint.port) + ": " + error + ".");
    }
    protocol->connected(Clock::now());
    char block[kReceiveBlock];
    while (true) {
        if (run_commands()) return finish("");
        if (!failure.empty()) return finish(failure);
        if (protocol->broken()) return finish(protocol->broken_reason());
        pollfd fds[2] = {{fd, POLLIN, 0}, {wake[0], POLLIN, 0}};
        if (::poll(fds, 2, kPollMs) < 0 && errno != EINTR) {
            return finish(std::string("Waiting for the server failed: ") + std::strerror(errno) +
                          ".");
        }
        if (fds[1].revents) drain_wake();
        if (fds[0].revents) {
            const ssize_t n = ::recv(fd, block, sizeof block, 0);
            if (n > 0) {
                protocol->receive(std::string_view(block, static_cast<std::size_t>(n)));
            } else if (n == 0) {
                return finish("The server closed the connection.");
            } else if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
                return finish(std::string("The connection to the server failed: ") +
                              std::strerror(errno) + ".");
            }
        }
        protocol->tick(Clock::now());
    }
}

Connection::Connection(Endpoint endpoint, Places places, Timeouts timeouts, Listener listener,
                       std::unique_ptr<FileStore> store)
    : impl_(std::make_unique<Impl>()) {
    impl_->endpoint = std::move(endpoint);
    impl_->places = std::move(places);
    impl_->timeouts = timeouts;
    impl_->listener = std::move(listener);
    impl_->store = store ? std::move(store) : make_disk_store();
    if (::pipe2(impl_->wake, O_NONBLOCK | O_CLOEXEC) != 0) impl_->wake[0] = impl_->wake[1] = -1;
}

Connection::~Connection() {
    close();
    if (impl_->thread.joinable()) impl_->thread.join();
    for (int end : impl_->wake) {
        if (end >= 0) ::close(end);
    }
}

void Connection::open(Request request, Credentials credentials) {
    Impl& impl = *impl_;
    if (impl.open || impl.wake[0] < 0) return;
    // A connection that ended: its thread has nothing left to do.
    if (impl.thread.joinable()) {
        if (impl.thread.get_id() == std::this_thread::get_id()) return;
        impl.thread.join();
    }
    {
        std::lock_guard lock(impl.mutex);
        impl.commands.clear();
        impl.closing = false;
    }
    impl.drain_wake();
    impl.failure.clear();
    impl.protocol = std::make_unique<ClientProtocol>(
        *impl.store, impl.places, impl.timeouts,
        [&impl](std::string framed) { impl.send_all(framed); },
        [&impl](Event event) { impl.emit(std::move(event)); });
    impl.protocol->set_pending(request, std::move(credentials));
    impl.open = true;
    impl.thread = std::thread([&impl] { impl.run(); });
}

void Connection::post(std::function<void(ClientProtocol&)> command) {
    {
        std::lock_guard lock(impl_->mutex);
        impl_->commands.push_back(std::move(command));
    }
    impl_->wake_up();
}

void Connection::close() {
    {
        std::lock_guard lock(impl_->mutex);
        impl_->closing = true;
    }
    impl_->wake_up();
}

bool Connection::is_open() const {
    return impl_->open;
}

}  // namespace zs::net
