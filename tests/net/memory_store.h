// A FileStore in memory for the protocol's tests and fuzzer: committed files
// by final path, the temporary file in progress, and switches that make a
// step fail.
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "net/client.h"

namespace zs::net {

class MemoryStore final : public FileStore {
public:
    std::map<std::filesystem::path, std::string> files;  // committed
    std::optional<std::filesystem::path> open;           // final path of the file in progress
    std::string temp;                                    // its bytes so far
    int discarded = 0;
    bool fail_begin = false, fail_append = false, fail_commit = false;

    bool begin(const std::filesystem::path& final_path, bool /*keep_link*/) override {
        if (fail_begin) return false;
        open = final_path;
        temp.clear();
        return true;
    }
    bool append(std::string_view bytes) override {
        if (!open || fail_append) return false;
        temp.append(bytes);
        return true;
    }
    bool commit() override {
        if (!open || fail_commit) return false;
        files[*open] = temp;
        open.reset();
        temp.clear();
        return true;
    }
    void discard() override {
        if (open) ++discarded;
        open.reset();
        temp.clear();
    }
    std::string error() const override { return "the store failed"; }
};

}  // namespace zs::net
