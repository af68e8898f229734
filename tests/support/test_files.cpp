#include "support/test_files.h"

#include "world/room.h"
#include "world/strfmt.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#include <fcntl.h>
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace zs::test {

namespace fs = std::filesystem;

ScratchDir::ScratchDir() {
    static std::atomic<int> counter{0};
    path_ = fs::temp_directory_path() /
            ("zonesmith-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    fs::remove_all(path_);
    fs::create_directories(path_);
}

ScratchDir::~ScratchDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

std::string ScratchDir::write(const std::string& name, const std::string& bytes) const {
    fs::path p = path_ / name;
    std::ofstream f(p, std::ios::binary);
    f << bytes;
    return p.string();
}

std::string ScratchDir::read(const std::string& name) const {
    return read_bytes(path_ / name);
}

bool ScratchDir::exists(const std::string& name) const {
    return fs::exists(path_ / name);
}

std::string world_file(
    std::initializer_list<std::pair<int, std::vector<std::pair<int, int>>>> rooms) {
    std::string s;
    for (const auto& [vnum, exits] : rooms) {
        s += strfmt("#%d\nRoom %d~\n~\nnone~\n~\n%d 0 0 0 0 -1 -1 -1 0 -1\n0 0 0 -1 0\n", vnum,
                    vnum, zone_of(vnum));
        for (auto [dir, to] : exits)
            s += strfmt("D%d\n~\n~\n~\n0 -1 %d 0 0 -1\n", dir, to);
        s += "S\n";
    }
    return crlf(s + "$\n");
}

bool blocked_on_fifo(const fs::path& path, const std::function<void()>& read) {
    std::atomic<bool> done{false}, blocked{false};
    std::thread rescue([&] {
        // Well past what opening a file takes: a reader still there waits
        // for a writer. Opening a FIFO to write succeeds only while it has a
        // reader; a device would pass for one, so only a FIFO is opened.
        auto patience = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISFIFO(st.st_mode)) return;
        while (!done) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            if (std::chrono::steady_clock::now() < patience) continue;
            if (int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC); fd >= 0) {
                blocked = true;
                ::close(fd);
            }
        }
    });
    read();
    done = true;
    rescue.join();
    return blocked;
}

void without_file_privileges(const std::function<void()>& fn) {
    // Capabilities belong to a thread: dropping them here leaves the rest of
    // the tests as they were.
    std::thread worker([&] {
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3] = {};
        if (::syscall(SYS_capget, &header, data) == 0) {
            data[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
            ::syscall(SYS_capset, &header, data);
        }
        fn();
    });
    worker.join();
}

std::string crlf(const std::string& lf_text) {
    std::string out;
    out.reserve(lf_text.size() + lf_text.size() / 16);
    for (char c : lf_text) {
        if (c == '\n') out.push_back('\r');
        out.push_back(c);
    }
    return out;
}

std::string read_bytes(const fs::path& path) {
    std::ifstream f(path, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

fs::path test_data(const std::string& name) {
    return fs::path(ZS_TEST_DATA_DIR) / name;
}

std::string test_data_bytes(const std::string& name) {
    return read_bytes(test_data(name));
}

fs::path corpus_dir() {
    fs::path p = fs::path(ZS_CORPUS_DIR) / "circlemud-stock";
    return fs::is_directory(p) ? p : fs::path();
}

std::vector<fs::path> corpus_files(const std::string& kind) {
    std::vector<fs::path> out;
    fs::path dir = corpus_dir();
    if (dir.empty()) return out;
    for (const auto& e : fs::directory_iterator(dir / kind))
        if (e.path().extension() == "." + kind) out.push_back(e.path());
    std::sort(out.begin(), out.end());
    return out;
}

void write_bytes(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::function<int(std::string_view)> fail_step(std::string step, int error) {
    return [step = std::move(step), error](std::string_view at) { return at == step ? error : 0; };
}

std::vector<TableRow> table_rows(const std::string& name) {
    std::vector<TableRow> rows;
    std::istringstream table(test_data_bytes(name));
    for (std::string line; std::getline(table, line);) {
        if (line.empty() || line[0] == '#') continue;
        TableRow row{line, {}};
        std::istringstream cells(line);
        for (std::string cell; std::getline(cells, cell, '\t');)
            row.col.push_back(cell);
        rows.push_back(std::move(row));
    }
    return rows;
}

}  // namespace zs::test
