// The message log: what the builder was told, in order, with its time and
// within its bound; and the status box's error, which only a success after
// it clears.
#include "world/message_log.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/test_files.h"

namespace zs {
namespace {

TEST(MessageLog, TellsErrorsFromOtherStatusTexts) {
    for (const auto& row : test::table_rows("status_texts.tsv")) {
        ASSERT_EQ(row.col.size(), 2u) << row.line;
        EXPECT_EQ(is_error_text(row.col[1]), row.col[0] == "error") << row.line;
    }
}

TEST(MessageLog, KeepsEveryMessageWithItsTimeNewestLastWithinItsBound) {
    MessageLog log(3);
    std::vector<std::string> heard;
    log.set_listener([&](const LoggedMessage& m) { heard.push_back(m.text); });
    const auto t0 = std::chrono::system_clock::time_point(std::chrono::seconds(1000));
    log.add(MessageKind::Status, "Room 3001 selected.", t0);
    log.add(MessageKind::Message, "The file could not be read.", t0 + std::chrono::seconds(1));
    log.add(MessageKind::Status, "", t0 + std::chrono::seconds(2));  // an emptied box
    log.add(MessageKind::Question, "Save all files?", t0 + std::chrono::seconds(3));
    log.add(MessageKind::DialogLine, "Type a skill number.", t0 + std::chrono::seconds(4));

    ASSERT_EQ(log.entries().size(), 3u) << "the oldest went";
    EXPECT_EQ(log.entries().front().text, "The file could not be read.");
    EXPECT_EQ(log.entries().front().kind, MessageKind::Message);
    EXPECT_EQ(log.entries().front().time, t0 + std::chrono::seconds(1));
    EXPECT_EQ(log.entries().back().kind, MessageKind::DialogLine);
    EXPECT_EQ(log.total(), 5u);
    EXPECT_EQ(heard, (std::vector<std::string>{"Room 3001 selected.", "The file could not be read.",
                                               "Save all files?", "Type a skill number."}));
}

// Each case: what happens, in order; "status:TEXT", "line:TEXT" (a dialog's
// line), "begin" (the builder acts) and "success", which expects the box to
// be cleared ("success:cleared") or kept ("success:kept").
TEST(MessageLog, AnErrorInTheStatusBoxGoesWithTheNextSuccessfulAction) {
    for (const auto& row : test::table_rows("status_error_runs.tsv")) {
        MessageLog log;
        for (std::size_t i = 1; i < row.col.size(); ++i) {
            const std::string& event = row.col[i];
            if (event == "begin") {
                log.begin_action();
            } else if (event.rfind("status:", 0) == 0) {
                log.add(MessageKind::Status, event.substr(7));
            } else if (event.rfind("line:", 0) == 0) {
                log.add(MessageKind::DialogLine, event.substr(5));
            } else {
                ASSERT_TRUE(event == "success:cleared" || event == "success:kept") << row.line;
                EXPECT_EQ(log.take_stale_error(), event == "success:cleared")
                    << row.col[0] << " (event " << i << ")";
            }
        }
    }
}

}  // namespace
}  // namespace zs
