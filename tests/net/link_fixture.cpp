#include "link_fixture.h"

#include <fstream>

namespace zs::test {

namespace fs = std::filesystem;

void EventLog::push(net::Event event) {
    {
        std::lock_guard lock(mutex_);
        events_.push_back(std::move(event));
    }
    changed_.notify_all();
}

bool EventLog::wait(const std::function<bool(const net::Event&)>& done,
                    std::chrono::milliseconds limit) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, limit, [&] {
        for (const net::Event& e : events_)
            if (done(e)) return true;
        return false;
    });
}

std::vector<net::Event> EventLog::events() const {
    std::lock_guard lock(mutex_);
    return events_;
}

LinkTree::LinkTree() {
    fs::create_directories(server_areas());
    fs::create_directories(area_dir());
    fs::create_directories(root() / "prog");
    std::ofstream(root() / "server" / "accounts")
        << "guest guest\n"
        << kCredentials.user << ' ' << kCredentials.password << '\n';
    // A program file is any bytes; this one is not a multiple of a message.
    std::string program;
    for (int i = 0; i < 9001; ++i)
        program += static_cast<char>((i * 131 + 7) % 256);
    std::ofstream(server_program(), std::ios::binary) << program;
}

net::Places LinkTree::places() const {
    return {area_dir(), root() / "prog" / "Zonesmith.exe"};
}

std::vector<std::string> LinkTree::server_args(const std::vector<std::string>& modes) const {
    std::vector<std::string> args = {"--accounts",    (root() / "server" / "accounts").string(),
                                     "--areas",       server_areas().string(),
                                     "--program",     server_program().string(),
                                     "--connections", "1",
                                     "--ack-timeout", "1000"};
    for (const std::string& m : modes) {
        args.push_back("--misbehave");
        args.push_back(m);
    }
    return args;
}

void LinkTree::add_area_file(const std::string& name, std::size_t size) const {
    // Text lines as an area file has them, with an end-of-text and a NUL byte
    // now and then: both are data inside a data message. No "]" anywhere, so
    // a data header that lacks its "]" cannot borrow one from the data.
    std::string bytes;
    for (int line = 0; bytes.size() < size; ++line) {
        bytes += "#" + std::to_string(3000 + line) + "\r\nA room of " + name + "~\r\n";
        if (line % 40 == 7) bytes += '\x03';
        if (line % 40 == 23) bytes += '\0';
    }
    bytes.resize(size);
    std::ofstream(server_areas() / name, std::ios::binary) << bytes;
}

}  // namespace zs::test
