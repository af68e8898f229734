// The server link's download throughput over loopback: a 10 MB world file
// from the reference server, received by the real Connection into a scratch
// directory, once in lock-step (each data message waits for its
// acknowledgement, as the game server sends) and once with the whole file in
// one write (the client's decoding and writing alone).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <stdexcept>

#include "launch.h"
#include "net/connection.h"

namespace zs::bench {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr std::size_t kFileSize = 10 * 1000 * 1000;

// A scratch tree: server/areas/30.wld, server/accounts, area/.
struct NetTree {
    fs::path root = fs::temp_directory_path() / ("zs_bench_net_" + std::to_string(::getpid()));
    NetTree() {
        fs::create_directories(root / "server" / "areas");
        fs::create_directories(root / "area");
        std::ofstream(root / "server" / "accounts") << "bench bench\n";
        std::string bytes;
        bytes.reserve(kFileSize + 100);
        for (int room = 0; bytes.size() < kFileSize; ++room)
            bytes += "#" + std::to_string(room) +
                     "\r\nA long hall~\r\n   Dust lies thick on the floor of this hall, and "
                     "the walls are bare.\r\n~\r\n30 8 0\r\nS\r\n";
        bytes.resize(kFileSize);
        std::ofstream(root / "server" / "areas" / "30.wld", std::ios::binary) << bytes;
    }
    ~NetTree() {
        std::error_code ec;
        fs::remove_all(root, ec);
    }
};

// Logs in, downloads 30.wld and waits for the request's end.
void download_once(int port, const fs::path& area_dir) {
    std::mutex mutex;
    std::condition_variable changed;
    bool answered = false, logged_in = false, whole = false, ended = false;
    net::Credentials credentials{"bench", "bench"};
    net::Connection link({"127.0.0.1", port}, {area_dir, area_dir / "zonesmith"}, {},
                         [&](net::Event e) {
                             std::lock_guard lock(mutex);
                             if (auto* r = std::get_if<net::LoginReply>(&e)) {
                                 answered = true;
                                 logged_in = r->accepted;
                             }
                             whole = whole || std::holds_alternative<net::FileReceived>(e);
                             ended = ended || std::holds_alternative<net::RequestEnded>(e) ||
                                     std::holds_alternative<net::Disconnected>(e);
                             changed.notify_all();
                         });
    link.open(net::Request::login, credentials);
    std::unique_lock lock(mutex);
    if (!changed.wait_for(lock, 10s, [&] { return answered || ended; }) || !logged_in)
        throw std::runtime_error("bench_net: the login failed");
    lock.unlock();
    link.post([credentials](net::ClientProtocol& p) { p.send_download(credentials, "30 W "); });
    lock.lock();
    if (!changed.wait_for(lock, 60s, [&] { return ended; }) || !whole)
        throw std::runtime_error("bench_net: 30.wld did not arrive");
    lock.unlock();
    link.close();
}

void BM_DownloadWorldFile(benchmark::State& state) {
    NetTree tree;
    std::vector<std::string> args = {"--accounts", (tree.root / "server" / "accounts").string(),
                                     "--areas", (tree.root / "server" / "areas").string(),
                                     "--quiet"};
    if (state.range(0) == 1) args.insert(args.end(), {"--misbehave", "merge"});
    refserver::ServerProcess server(args, tree.root / "server.log");
    for (auto _ : state)
        download_once(server.port(), tree.root / "area");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kFileSize));
    state.SetLabel(state.range(0) == 1 ? "one write" : "lock-step");
}
BENCHMARK(BM_DownloadWorldFile)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace zs::bench
