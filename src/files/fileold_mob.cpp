#include "files/fileold_mob.h"

#include "files/file_kinds.h"

namespace zs {

using Flags = MobileLayout::Flags;

// 1. As earlier writers of this editor saved mobiles: conversation lines of
//    four numbers (quests, trigger, tier), and four lines of ten numbers after
//    numeric line 5 (read among the E-specs and dropped: they were never set).
// 2. tbaMUD: four texts, four action and four affect flag words, CircleMUD's
//    three numeric lines, E-specs, then "T" trigger lines.
// 3. CircleMUD 3.x, simple (S) and enhanced (E) mobiles: four texts, "action
//    affect alignment type", three numeric lines.
// 4. The game's early layout with only the four CircleMUD texts but the five
//    numeric lines of today.
// 5. The game's early layout with all thirteen texts and tagged sections but
//    only CircleMUD's three numeric lines.
// 6. The game's earliest layout: four texts, eight numeric flag words and
//    CircleMUD's three numeric lines.
const std::array<MobileLayout, 6> kLegacyMobileLayouts = {{
    {13, Flags::Quor, true, true, 4, true},
    {4, Flags::TbaMud, false, false, 0, false},
    {4, Flags::Circle, false, false, 0, false},
    {4, Flags::Quor, true, false, 0, false},
    {13, Flags::Quor, false, true, 4, false},
    {4, Flags::Quor, false, false, 0, false},
}};

namespace {

constexpr std::string_view kSkillsWarning =
    "Note: Zonesmith cannot convert mob skills from this format to\r\n"
    "the present format.  Mob skills all set to 0.";

}  // namespace

ReadResult<MobilePrototype> read_older_mobiles(std::string_view bytes, std::string_view file_name,
                                               const std::vector<TextReader::StringError>& shown) {
    return read_first_fitting_layout<MobilePrototype>(
        kLegacyMobileLayouts.size(), file_kind(TableKind::Mobile), file_name, [&](std::size_t i) {
            const MobileLayout& layout = kLegacyMobileLayouts[i];
            ReadResult<MobilePrototype> read =
                read_mobiles_layout(bytes, file_name, layout, false, 0);
            if (!read.ok) return read;
            add_string_errors(read.diagnostics, file_name, read.string_errors, shown);
            if (!layout.keeps_skills)
                read.diagnostics.push_back(
                    {Diagnostic::Kind::Message, std::string(kSkillsWarning), "Warning", 0});
            return read;
        });
}

}  // namespace zs
