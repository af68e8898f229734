// Mobile files (<zone>.mob): the reader of the current layout and of the six
// older layouts it falls back to, the writer, and the load and save commands.
#pragma once

#include <array>
#include <string>

#include "files/load_notes.h"

namespace zs {

class Workspace;
class TextReader;

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
// The older layouts, in the order they are tried.
extern const std::array<MobileLayout, 6> kLegacyMobileLayouts;

// Reads mobile records of one layout into the mobile table. With `report`,
// failures and warnings show their boxes; older layouts are tried silently,
// noting in `notes` the fields (E-specs the game has no place for) they leave
// out. Records read before a failure stay in the table.
bool parse_mobiles(Workspace& ws, TextReader& reader, const MobileLayout& layout, bool report,
                   ReadNotes* notes = nullptr);

bool load_mobiles(Workspace& ws, const std::string& path);
std::string mobiles_file_text(Workspace& ws, int zone);
bool save_mobs(Workspace& ws, int zone);
bool save_current_mobiles(Workspace& ws);
// True when every zone was written.
bool save_all_mobiles(Workspace& ws);

}  // namespace zs
