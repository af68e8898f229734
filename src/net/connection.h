// One connection to the game server: it owns the socket and one I/O thread
// that resolves and connects (bounded), reads, runs the ClientProtocol on
// every received byte in order, checks its waits, and sends. Sends are
// serialised on that thread and loop until every byte is out (never raising
// SIGPIPE). Events reach the listener on the I/O thread; the window and the
// command-line tool hand them on through a bounded EventQueue, whose push
// makes this thread wait (and read nothing) while the queue is full.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "net/client.h"

namespace zs::net {

struct Endpoint {
    std::string host;
    int port = kDefaultPort;
};

class Connection {
public:
    using Listener = std::function<void(Event)>;
    // `store` receives the files; the disk store when none is given.
    Connection(Endpoint endpoint, Places places, Timeouts timeouts, Listener listener,
               std::unique_ptr<FileStore> store = nullptr);
    // Closes and joins the I/O thread.
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Starts the I/O thread: connect, then answer the welcome with `request`.
    // A failure to connect emits the status text ("Failed to connect to
    // server." or "Updater: Failed to connect to server.") and Disconnected.
    void open(Request request, Credentials credentials);
    // Runs `command` on the I/O thread, in order with everything received.
    void post(std::function<void(ClientProtocol&)> command);
    // Ends the connection from this side; Disconnected follows (from the I/O
    // thread) unless it had already ended. Returns at once; the destructor
    // joins.
    void close();
    // Between open() and the end of the connection.
    bool is_open() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace zs::net
