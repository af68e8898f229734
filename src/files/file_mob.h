// Mobile files (<zone>.mob): the reader of the current layout and of the six
// older layouts it falls back to (fileold_mob.h), and the writer.
#pragma once

#include <array>
#include <string>

#include "files/diagnostic.h"
#include "world/mobile.h"

namespace zs {

// What one mobile layout holds; the current layout and the older ones share
// one reader.
struct MobileLayout {
    enum class Flags { Quor, TbaMud, Circle };
    int texts;                 // 13, or 4 (keywords, short, long, description)
    Flags flags;               // the type line's flag words
    bool five_lines;           // numeric lines 1..5, or CircleMUD's three
    bool tagged_sections;      // "@", "@@", "@@@" and "Skills:" may follow the texts
    int conversation_numbers;  // numbers on a conversation's number line: 7, or 4
    bool keeps_skills;         // false: converting loses the mobile's skills
};

extern const MobileLayout kCurrentMobileLayout;

// Reads the mobile records of one layout from a file's bytes; `file_name` is
// what string errors name, and messages number a mobile by its place in the
// table, the first read being `numbered_from`. With `report`, failures and
// warnings are told as they are met, and on success the string errors are
// listed as load problems; older layouts are read silently, noting the
// fields (E-specs the game has no place for) they leave out.
ReadResult<MobilePrototype> read_mobiles_layout(std::string_view bytes, std::string_view file_name,
                                                const MobileLayout& layout, bool report,
                                                int numbered_from = 0,
                                                ReadSink<MobilePrototype>* sink = nullptr);
// The current layout, reporting.
ReadResult<MobilePrototype> read_mobiles(std::string_view bytes, std::string_view file_name,
                                         int numbered_from = 0,
                                         ReadSink<MobilePrototype>* sink = nullptr);
// The file text of the mobiles in these slots, with the records it could not
// write told of.
WriteResult write_mobiles(const MobileTable& mobiles, const std::vector<int>& slots);

}  // namespace zs
