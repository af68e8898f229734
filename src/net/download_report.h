// What became of each file of an area download, in the words the command line
// prints and the Download dialog shows, so that both say the same: a line for
// each file as its fate is known, and a summary once the request is over.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "net/client.h"

namespace zs::net {

class DownloadReport {
public:
    // The files `request_list` asks for.
    explicit DownloadReport(std::string_view request_list);
    // A further request while this one runs: its files join the report.
    void add(std::string_view request_list);

    // The lines `event` adds: "30.wld: received, 10000 bytes", "31.wld:
    // failed: the server skipped from block 2 to 4", "30.zon: refused: it was
    // not requested"; when the request or the connection ends, one for each
    // file still outstanding ("32.zon: failed: the server did not send it").
    // What the server named is escaped (escape_unprintable).
    std::vector<std::string> take(const Event& event);
    // Ends the report without an event (the login was refused); `why` goes
    // into the summary.
    void stop(std::string why);

    bool finished() const { return finished_; }
    // Every file asked for arrived whole and the server sent nothing that was
    // refused.
    bool complete() const;
    // "Download complete: 3 files received." or "2 of 5 files did not arrive;
    // 1 file from the server was refused (why)."
    std::string summary() const;

private:
    bool settled(const std::string& name) const;
    std::vector<std::string> outstanding(const std::string& why);

    std::vector<std::string> wanted_;
    std::vector<std::string> received_;
    std::vector<std::string> failed_;  // wanted files that did not arrive
    int refused_ = 0;
    std::string why_;
    bool finished_ = false;
};

}  // namespace zs::net
