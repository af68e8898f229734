// The frame decoder, file name checks, request lists, client texts and CRCs.
#include "net/protocol.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zs::net {
namespace {

using namespace std::string_literals;

std::string describe(const Message& m) {
    switch (m.type) {
        case Message::Type::text:
            return "text[" + m.text + "]/" + std::to_string(m.wire_bytes);
        case Message::Type::data:
            return "data " + std::to_string(m.sequence) + " " + std::to_string(m.length) + " [" +
                   m.payload + "]/" + std::to_string(m.wire_bytes);
        case Message::Type::malformed:
            return "malformed: " + m.error;
    }
    return {};
}

// Drains the decoder the way the client does: a data message is a file's
// first (its name) unless a file is open; a length-0 one closes the file.
struct Reader {
    FrameDecoder decoder;
    bool file_open = false;
    std::vector<std::string> got;
    void feed(std::string_view bytes) {
        decoder.feed(bytes);
        while (auto m = decoder.next(!file_open)) {
            got.push_back(describe(*m));
            if (m->type != Message::Type::data) continue;
            file_open = file_open ? m->length != 0 : true;
        }
    }
};

const std::string kHead = "\0\0WLC7\x03"s;
const std::string kName = "DAT1 6] "s;
const std::string kRest =
    "30.wld\0DAT2 6] a\x03"
    "b\0cdDAT3 0] LNS5 1\x03"
    "CRC1 0 -5\x03"s;
const std::vector<std::string> kExpected = {
    "text[WLC7]/5",
    "data 1 6 [30.wld]/15",
    "data 2 6 [a\x03"
    "b\0cd]/14"s,
    "data 3 0 []/8",
    "text[LNS5 1]/7",
    "text[CRC1 0 -5]/10",
};

TEST(FrameDecoder, SameMessagesForEverySplit) {
    const std::string stream = kHead + kName + kRest;
    // A name ends at the end of the bytes received so far, so the splits
    // inside the name are left out here (see NameEndsWithTheReceivedBytes).
    const std::size_t name_from = kHead.size() + kName.size() + 1;
    const std::size_t name_to = name_from + 5;
    auto inside_name = [&](std::size_t cut) { return cut >= name_from && cut <= name_to; };
    for (std::size_t i = 0; i <= stream.size(); ++i) {
        for (std::size_t j = i; j <= stream.size(); ++j) {
            if (inside_name(i) || inside_name(j)) continue;
            Reader r;
            r.feed(stream.substr(0, i));
            r.feed(stream.substr(i, j - i));
            r.feed(stream.substr(j));
            ASSERT_EQ(r.got, kExpected) << "cut at " << i << " and " << j;
            EXPECT_EQ(r.decoder.buffered(), 0u);
        }
    }
}

TEST(FrameDecoder, NameEndsWithTheReceivedBytes) {
    Reader r;
    r.feed(kName);
    EXPECT_TRUE(r.got.empty()) << "no name byte yet";
    r.feed("30.wld");
    EXPECT_EQ(r.got, std::vector<std::string>{"data 1 6 [30.wld]/14"});
}

TEST(FrameDecoder, MalformedStreamsSpendTheDecoder) {
    struct Case {
        std::string bytes;
        bool name;
        std::string error_has;
    };
    const std::vector<Case> cases = {
        {"DAT1 5 " + std::string(60, 'x'), false, "without \"]\""},
        {"DAT1 -5] x", false, "block length of -5"},
        {"DAT1 4097] x", false, "block length of 4097"},
        {"DAT1 268435457] x", true, "file size of 268435457"},
        {"DAT1 5x] x", false, "not \"DAT<block> <length>]\""},
        {"DAT15] x", false, "not \"DAT<block> <length>]\""},
        {std::string(5000, 'A'), false, "without an end byte"},
        {"DAT1 9] " + std::string(256, 'n') + '\0', true, "more than 255 characters"},
    };
    for (const Case& c : cases) {
        FrameDecoder d;
        d.feed(c.bytes);
        auto m = d.next(c.name);
        ASSERT_TRUE(m) << c.bytes.substr(0, 20);
        EXPECT_EQ(m->type, Message::Type::malformed);
        EXPECT_NE(m->error.find(c.error_has), std::string::npos) << m->error;
        d.feed("WLC1\x03");
        EXPECT_FALSE(d.next(false)) << "a spent decoder reads nothing more";
    }
}

TEST(FrameDecoder, IncompleteMessagesWait) {
    for (std::string bytes : {"DA"s, "DAT1 5"s, "DAT1 5]"s, "DAT1 5] abcd"s, "WLC7"s}) {
        FrameDecoder d;
        d.feed(bytes);
        EXPECT_FALSE(d.next(false)) << bytes;
        EXPECT_EQ(d.buffered(), bytes.size());
    }
}

TEST(FileNames, AcceptOrRefuse) {
    struct Case {
        std::string name;
        bool program_expected;
        std::string path_or_refusal;
    };
    // Asked for: 30.wld, 31.zon and 030.mob; 31.wld arrived already.
    const std::vector<std::string> expected = {"30.wld", "31.zon", "030.mob"};
    const std::vector<std::string> received = {"31.wld"};
    const std::vector<Case> cases = {
        {"30.wld", false, "areas/30.wld"},
        {"31.zon", false, "areas/31.zon"},
        {"030.mob", false, "areas/030.mob"},
        {"Zonesmith.exe", true, "bin/zonesmith.part"},
        {"zonesmith", true, "bin/zonesmith.part"},
        {"45.obj", false, "Download of \"45.obj\" refused: it was not requested."},
        {"030.wld", false, "Download of \"030.wld\" refused: it was not requested."},
        {"30.mob", false, "Download of \"30.mob\" refused: it was not requested."},
        {"31.wld", false, "Download of \"31.wld\" refused: it was sent a second time."},
        {"1234.wld", false, "it was not requested"},
        {"30.wld", true, "areas/30.wld"},
        {"x.wld", false, "it was not requested"},
        {"\x9b"
         "30.wld",
         false, "Download of \"\\x9b30.wld\" refused: it is not a plain file name."},
        {"zs\xe2\x80\xae", true, "Download of \"zs\\xe2\\x80\\xae\" refused: it is not a plain"},
        {"../x", true, "not a plain file name"},
        {"/abs", true, "not a plain file name"},
        {"a\\b.zon", false, "not a plain file name"},
        {"..", true, "not a plain file name"},
        {"ZonesmithSettings.txt", true, "replace a settings file"},
        {"Zonesmith.exe", false, "no program download was requested"},
        {std::string(300, 'a'), true, "the name has 300 characters"},
        {"", true, "Download refused: the server sent no file name."},
    };
    for (const Case& c : cases) {
        NameCheck check = check_file_name(c.name, expected, received, c.program_expected, "areas",
                                          "bin/zonesmith");
        if (check.ok) {
            EXPECT_EQ(check.path.generic_string(), c.path_or_refusal) << c.name;
            EXPECT_TRUE(check.refusal.empty());
        } else {
            EXPECT_NE(check.refusal.find(c.path_or_refusal), std::string::npos)
                << c.name << ": " << check.refusal;
        }
        EXPECT_EQ(check.ok, c.path_or_refusal.find('/') != std::string::npos &&
                                c.path_or_refusal.find(' ') == std::string::npos)
            << c.name;
    }
}

TEST(FileNames, KindFromTheLastLetter) {
    EXPECT_EQ(kind_of_name("30.wld"), FileKind::world);
    EXPECT_EQ(kind_of_name("30.mob"), FileKind::mobile);
    EXPECT_EQ(kind_of_name("30.obj"), FileKind::object);
    EXPECT_EQ(kind_of_name("30.zon"), FileKind::zone);
    EXPECT_EQ(kind_of_name("Zonesmith.exe"), FileKind::program);
}

TEST(RequestList, RowsWithAZoneAndABox) {
    std::vector<DownloadRow> rows = {
        {"30", true, true, true, true},     {"0", true, false, false, false},
        {"", true, false, false, false},    {"31", true, false, false, true},
        {"32", false, false, false, false}, {"030", false, true, false, false},
    };
    const std::string list = request_list(rows);
    EXPECT_EQ(list, "30 W M O Z 31 W Z 030 M ");
    EXPECT_EQ(requested_names(list),
              (std::vector<std::string>{"30.wld", "30.mob", "30.obj", "30.zon", "31.wld", "31.zon",
                                        "030.mob"}));
    EXPECT_EQ(requested_names("0 W 1000 M x O 7 Z 7 Z W"),
              (std::vector<std::string>{"7.zon", "7.wld"}));
    EXPECT_EQ(request_list({}), "");
}

TEST(ServerText, EveryByteButPrintableAsciiIsEscaped) {
    EXPECT_EQ(escape_unprintable("30.wld: a room~"), "30.wld: a room~");
    EXPECT_EQ(escape_unprintable("\x1b[2J\x9b"
                                 "31m\xe2\x80\xae\t\x7f\\"),
              "\\x1b[2J\\x9b31m\\xe2\\x80\\xae\\x09\\x7f\\");
    EXPECT_EQ(escape_unprintable(std::string("a\0b", 3)), "a\\x00b");
}

TEST(ClientTexts, ByteForByte) {
    EXPECT_EQ(frame(lgn_text(7, "user", "pass")), "LGN7 user pass\x03");
    EXPECT_EQ(rcc_text(-2), "RCC-2 0");
    EXPECT_EQ(rdl_text(7, "u", "p", "30 W "), "RDL7 u p #30 W ");
    EXPECT_EQ(dlw_text(12), "DLW12");
    EXPECT_EQ(ack_text(7, 1, 4106), "ACK7 1 4106");
}

TEST(Crc, ThirtyTwoBitsEitherWay) {
    EXPECT_EQ(crc32_of("123456789"), 0xCBF43926u);
    struct Case {
        std::string text;
        std::optional<std::uint32_t> crc;
    };
    const std::vector<Case> cases = {
        {"-5", 4294967291u},          {"4294967291", 4294967291u},  {"0", 0u},
        {"-2147483648", 0x80000000u}, {"4294967296", std::nullopt}, {"", std::nullopt},
        {"12x", std::nullopt},        {"-", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parse_crc(c.text), c.crc) << c.text;
}

}  // namespace
}  // namespace zs::net
