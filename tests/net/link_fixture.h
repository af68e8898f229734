// What the tests that talk to the reference server share: a scratch tree
// with the server's area files, accounts and program file, the client's area
// directory, and a queue that collects the client's events and waits on them.
#pragma once

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "launch.h"
#include "net/client.h"
#include "support/test_files.h"

namespace zs::test {

class EventLog {
public:
    void push(net::Event event);
    // Waits until `done` holds for some event; false after `limit`.
    bool wait(const std::function<bool(const net::Event&)>& done, std::chrono::milliseconds limit);
    std::vector<net::Event> events() const;

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<net::Event> events_;
};

template <class T>
std::vector<T> all_of(const std::vector<net::Event>& events) {
    std::vector<T> out;
    for (const net::Event& e : events)
        if (const T* t = std::get_if<T>(&e)) out.push_back(*t);
    return out;
}

// The server's side (server/areas, server/accounts, server/Zonesmith.exe)
// and the client's (area/, prog/Zonesmith.exe) under one scratch directory.
class LinkTree {
public:
    LinkTree();
    const std::filesystem::path& root() const { return scratch_.path(); }
    std::filesystem::path server_areas() const { return root() / "server" / "areas"; }
    std::filesystem::path server_program() const { return root() / "server" / "Zonesmith.exe"; }
    std::filesystem::path area_dir() const { return root() / "area"; }
    net::Places places() const;
    // The server's arguments for these files, serving one connection.
    std::vector<std::string> server_args(const std::vector<std::string>& modes) const;
    std::filesystem::path server_log() const { return root() / "server.log"; }
    // Writes a server area file of `size` bytes that holds 0x03 and NUL bytes.
    void add_area_file(const std::string& name, std::size_t size) const;

    static inline const net::Credentials kCredentials{"builder", "s3cret"};

private:
    ScratchDir scratch_;
};

}  // namespace zs::test
