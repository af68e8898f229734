#include "files/area_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace zs {

std::optional<std::string> read_file_bytes(const std::filesystem::path& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    std::string data;
    if (S_ISREG(st.st_mode) && st.st_size > 0) data.reserve(static_cast<std::size_t>(st.st_size));
    char buf[1 << 16];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) continue;
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0) break;
        data.append(buf, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return data;
}

int zone_number_from_path(std::string_view path) {
    if (path.size() < 4) return 0;
    std::string_view stem = path.substr(0, path.size() - 4);
    std::size_t slash = stem.find_last_of("/\\");
    if (slash != std::string_view::npos) stem.remove_prefix(slash + 1);
    // Read the way atoi does: optional sign, then digits.
    std::size_t i = 0;
    while (i < stem.size() && (stem[i] == ' ' || stem[i] == '\t')) ++i;
    bool negative = false;
    if (i < stem.size() && (stem[i] == '+' || stem[i] == '-')) negative = stem[i++] == '-';
    long long v = 0;
    while (i < stem.size() && stem[i] >= '0' && stem[i] <= '9' && v < 1000000) v = v * 10 + (stem[i++] - '0');
    return static_cast<int>(negative ? -v : v);
}

AreaWriter& AreaWriter::text(std::string_view s) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\n' && (i == 0 || s[i - 1] != '\r')) {
            out_.append(s.data() + start, i - start);
            out_.append("\r\n", 2);
            start = i + 1;
        }
    }
    out_.append(s.data() + start, s.size() - start);
    return *this;
}

AreaWriter& AreaWriter::text_no_cr(std::string_view s, std::size_t limit) {
    std::size_t taken = 0;
    for (char c : s) {
        if (c == '\r') continue;
        if (taken == limit) break;
        if (c == '\n')
            out_.append("\r\n", 2);
        else
            out_.push_back(c);
        ++taken;
    }
    return *this;
}

namespace {
bool write_all(int fd, std::string_view bytes) {
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) return false;
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}
}  // namespace

bool save_file_atomically(const std::filesystem::path& dir, const std::string& temp_name,
                          const std::string& final_name, std::string_view bytes) {
    std::filesystem::path temp = dir / temp_name;
    std::filesystem::path target = dir / final_name;
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    bool ok = write_all(fd, bytes);
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && std::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) ::unlink(temp.c_str());
    return ok;
}

bool remove_file_if_present(const std::filesystem::path& dir, const std::string& name) {
    std::filesystem::path p = dir / name;
    return ::unlink(p.c_str()) == 0 || errno == ENOENT;
}

}  // namespace zs
