// Starts the reference server as a child process for the tests and the
// benchmark: it passes the arguments on, reads the port the server prints,
// collects the server's log in a file and ends the server when done.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace zs::refserver {

// The server program this build made.
std::filesystem::path program();

class ServerProcess {
public:
    // Starts the server with `args` (without "--port", which is 0 here); its
    // stderr goes to `log`. Throws std::runtime_error when it does not print
    // its port within five seconds.
    ServerProcess(const std::vector<std::string>& args, std::filesystem::path log);
    // Ends the server (SIGTERM) unless it exited, and reaps it.
    ~ServerProcess();
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

    int port() const { return port_; }
    // Waits up to `limit` for the server to exit by itself.
    bool wait_exit(std::chrono::milliseconds limit);
    // What the server logged so far.
    std::string log() const;

private:
    pid_t pid_ = -1;
    int port_ = 0;
    bool reaped_ = false;
    std::filesystem::path log_;
};

}  // namespace zs::refserver
