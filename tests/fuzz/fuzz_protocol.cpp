// libFuzzer target for the client protocol: the input's first two bytes seed
// where the rest, a stream from the server, is cut into received blocks and
// how much time passes between them. A download of zones 30 and 31 and a
// login are pending. Whatever arrives, the client must only ever commit
// files it asked for, leave no temporary file behind once closed, and send
// well-formed messages.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "net/client.h"
#include "net/memory_store.h"

using namespace zs::net;

namespace {

void require(bool ok) {
    if (!ok) std::abort();
}

bool allowed(const std::filesystem::path& path) {
    if (path == "bin/zs.part") return true;
    if (path.parent_path() != "areas") return false;
    const std::string name = path.filename().string();
    const auto zone = requested_zones(name.substr(0, name.find('.')));
    return !zone.empty() && (zone.front() == 30 || zone.front() == 31);
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
    bool closed = false;
    auto time = std::chrono::steady_clock::time_point{} + std::chrono::hours(1);
    ClientProtocol protocol(
        store, Places{"areas", "bin/zs"}, Timeouts{},
        [](std::string framed) {
            require(!framed.empty() && framed.back() == kEndOfText);
            require(framed.find(kEndOfText) == framed.size() - 1);
        },
        [&](Event event) {
            if (auto* received = std::get_if<FileReceived>(&event)) {
                require(allowed(received->path));
                require(store.files.at(received->path).size() ==
                        static_cast<std::size_t>(received->size));
            }
            if (auto* progress = std::get_if<FileProgress>(&event)) {
                require(progress->percent >= 0 && progress->percent <= 100);
            }
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
    }
    for (const auto& [path, bytes] : store.files)
        require(allowed(path));
    protocol.closed(protocol.broken() ? protocol.broken_reason() : "");
    require(closed && !store.open);
    return 0;
}
