// zonesmith-cli show, and what check finds in the properties of objects and
// mobiles, on the held files of zone 88.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/cli.h"
#include "support/cli_run.h"
#include "support/test_files.h"

namespace zs {
namespace {

using test::cli;
using test::CliRun;

TEST(CliShow, PrintsEveryFieldByNameAndFailsOnAVnumNotFound) {
    const std::string dir = test::test_data("props").string();
    const struct {
        std::vector<std::string> args;  // after --dir DIR
        int status;
        const char* golden;  // the whole output
        const char* err;     // within the errors; empty: none
    } cases[] = {
        {{"obj", "8803", "8899", "8801"}, 1, "props/show_obj.out", "no obj file of " /* ... */},
        {{"mob", "8800"}, 0, "props/show_mob.out", ""},
        // text 6 keeps its line breaks as bare LFs
        {{"obj", "8906"}, 0, "props/show_text.out", ""},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {"show", "--dir", dir};
        args.insert(args.end(), c.args.begin(), c.args.end());
        CliRun r = cli(args);
        SCOPED_TRACE(c.golden);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.out, test::test_data_bytes(c.golden));
        if (*c.err)
            EXPECT_NE(r.err.find(std::string(c.err) + dir + " holds object 8899"),
                      std::string::npos)
                << r.err;
        else
            EXPECT_EQ(r.err, "");
    }
    for (std::vector<std::string> args :
         {std::vector<std::string>{"show", "obj"}, {"show", "room", "3001"}, {"show", "mob", "x"}})
        EXPECT_EQ(cli(args).status, 2) << args.back();
}

TEST(CliShow, CheckWarnsOfMissingKeysZeroDiceAndUnfinishedMobiles) {
    const std::string dir = test::test_data("props").string();
    CliRun r = cli({"check", "--dir", dir});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, test::test_data_bytes("props/check.out"));
    EXPECT_EQ(cli({"check", "--strict", "--dir", dir}).status, 1);
}

}  // namespace
}  // namespace zs
