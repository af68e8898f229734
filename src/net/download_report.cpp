// The lines and the summary of an area download.
#include "net/download_report.h"

#include <algorithm>

namespace zs::net {

namespace {

bool contains(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

std::string count_of(std::size_t n) {
    return std::to_string(n) + (n == 1 ? " file" : " files");
}

}  // namespace

DownloadReport::DownloadReport(std::string_view request_list)
    : wanted_(requested_names(request_list)) {}

void DownloadReport::add(std::string_view request_list) {
    for (std::string& name : requested_names(request_list)) {
        // Asked for again: what became of it before no longer counts.
        std::erase(received_, name);
        std::erase(failed_, name);
        if (!contains(wanted_, name)) wanted_.push_back(std::move(name));
    }
    finished_ = false;
}

bool DownloadReport::settled(const std::string& name) const {
    return contains(received_, name) || contains(failed_, name);
}

std::vector<std::string> DownloadReport::outstanding(const std::string& why) {
    std::vector<std::string> lines;
    for (const std::string& name : wanted_) {
        if (settled(name)) continue;
        failed_.push_back(name);
        lines.push_back(name + ": failed: " + why);
    }
    return lines;
}

std::vector<std::string> DownloadReport::take(const Event& event) {
    if (finished_) return {};
    if (const auto* file = std::get_if<FileReceived>(&event)) {
        if (file->kind == FileKind::program) return {};
        if (contains(wanted_, file->name) && !contains(received_, file->name))
            received_.push_back(file->name);
        std::erase(failed_, file->name);
        return {escape_unprintable(file->name) + ": received, " + std::to_string(file->size) +
                " bytes"};
    }
    if (const auto* failed = std::get_if<FileFailed>(&event)) {
        const std::string name = failed->name.empty() ? "a file" : failed->name;
        if (failed->refused)
            ++refused_;
        else if (contains(wanted_, failed->name) && !settled(failed->name))
            failed_.push_back(failed->name);
        return {escape_unprintable(name) + (failed->refused ? ": refused: " : ": failed: ") +
                escape_unprintable(failed->reason)};
    }
    if (std::holds_alternative<RequestEnded>(event)) {
        finished_ = true;
        return outstanding("the server did not send it");
    }
    if (const auto* gone = std::get_if<Disconnected>(&event)) {
        finished_ = true;
        std::vector<std::string> lines = outstanding("the connection ended first");
        if (!complete()) {
            why_ = gone->reason.empty() ? "the server closed the connection" : gone->reason;
            if (why_.ends_with('.')) why_.pop_back();
            why_ = escape_unprintable(why_);
        }
        return lines;
    }
    return {};
}

void DownloadReport::stop(std::string why) {
    finished_ = true;
    why_ = escape_unprintable(why);
}

bool DownloadReport::complete() const {
    return refused_ == 0 && failed_.empty() && received_.size() == wanted_.size() && why_.empty();
}

std::string DownloadReport::summary() const {
    if (complete()) return "Download complete: " + count_of(wanted_.size()) + " received.";
    std::string text;
    const std::size_t missing = wanted_.size() - received_.size();
    if (missing > 0 || refused_ == 0) {
        text = std::to_string(missing) + " of " + count_of(wanted_.size()) + " did not arrive";
    }
    if (refused_ > 0) {
        if (!text.empty()) text += "; ";
        text += count_of(static_cast<std::size_t>(refused_)) + " from the server " +
                (refused_ == 1 ? "was" : "were") + " refused";
    }
    if (!why_.empty()) text += " (" + why_ + ")";
    return text + ".";
}

}  // namespace zs::net
