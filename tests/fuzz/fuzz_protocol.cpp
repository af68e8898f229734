// libFuzzer target for the client protocol: the input's first two bytes seed
// where the rest, a stream from the server, is cut into received blocks and
// how much time passes between them. A download of 30.wld, 30.mob, 30.obj,
// 30.zon and 31.wld and a login are pending. Whatever arrives, the client
// must only ever write the files it asked for, by their exact names and each
// once; leave no temporary file behind once closed; send well-formed
// messages; take no login reply before the welcome; report what the server
// named in printable ASCII and every failure with a reason; and give up on a
// transfer that makes no progress within its bounds.
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <string_view>

#include "net/client.h"
#include "net/memory_store.h"

using namespace zs::net;

namespace {

void require(bool ok) {
    if (!ok) std::abort();
}

// Exactly the names the request list gives, and the program's ".part".
bool allowed(const std::filesystem::path& path) {
    static const char* const kNames[] = {"areas/30.wld", "areas/30.mob", "areas/30.obj",
                                         "areas/30.zon", "areas/31.wld", "bin/zs.part"};
    for (const char* name : kNames)
        if (path == name) return true;
    return false;
}

bool printable(std::string_view text) {
    for (char c : text)
        if (c < 0x20 || c >= 0x7f) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    std::uint32_t state = (std::uint32_t{data[0]} << 8 | data[1]) * 2654435761u + 1;
    auto random = [&state](std::uint32_t bound) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state % bound;
    };
    std::string_view stream(reinterpret_cast<const char*>(data) + 2, size - 2);

    MemoryStore store;
    bool closed = false, welcomed = false;
    std::map<std::filesystem::path, int> received;  // FileReceived per path
    auto time = std::chrono::steady_clock::time_point{} + std::chrono::hours(1);
    const Timeouts timeouts;
    ClientProtocol protocol(
        store, Places{"areas", "bin/zs"}, timeouts,
        [](std::string framed) {
            require(!framed.empty() && framed.back() == kEndOfText);
            require(framed.find(kEndOfText) == framed.size() - 1);
        },
        [&](Event event) {
            if (auto* file = std::get_if<FileReceived>(&event)) {
                require(allowed(file->path));
                require(++received[file->path] == 1);
                require(store.files.at(file->path).size() == static_cast<std::size_t>(file->size));
            }
            if (auto* progress = std::get_if<FileProgress>(&event)) {
                require(progress->percent >= 0 && progress->percent <= 100);
            }
            if (auto* failed = std::get_if<FileFailed>(&event)) {
                require(!failed->reason.empty() && printable(failed->reason));
            }
            if (auto* status = std::get_if<StatusText>(&event)) {
                require(!status->text.empty() && printable(status->text));
            }
            if (std::holds_alternative<Welcomed>(event)) welcomed = true;
            if (std::holds_alternative<LoginReply>(event)) require(welcomed);
            if (std::holds_alternative<Disconnected>(event)) closed = true;
        });
    protocol.set_pending(data[0] & 1 ? Request::program_download : Request::login,
                         {"user", "pass"});
    protocol.send_download({"user", "pass"}, "30 W M O Z 31 W ");
    protocol.connected(time);
    while (!stream.empty()) {
        const std::size_t cut = std::min<std::size_t>(stream.size(), 1 + random(600));
        protocol.receive(stream.substr(0, cut));
        stream.remove_prefix(cut);
        time += std::chrono::milliseconds(random(4) == 0 ? random(40000) : random(50));
        protocol.tick(time);
        if (store.open) require(allowed(*store.open));
    }
    for (const auto& [path, bytes] : store.files)
        require(allowed(path));
    // Nothing more comes: within two spans of the idle timeout a transfer
    // under way has been given up, however it went until now.
    for (int i = 0; i < 8 && !protocol.broken(); ++i) {
        time += timeouts.idle / 4 + std::chrono::milliseconds(1);
        protocol.tick(time);
    }
    require(protocol.broken() || !store.open);
    protocol.closed(protocol.broken() ? protocol.broken_reason() : "");
    require(closed && !store.open);
    return 0;
}
