#include "files/load_notes.h"

#include <algorithm>
#include <filesystem>

#include "files/diagnostic.h"
#include "world/room.h"
#include "world/strfmt.h"

namespace zs {

void DroppedFields::add(const std::string& record, const std::string& field) {
    // Fields arrive in file order, record by record: only the last record
    // can be the same one again.
    if (records_.empty() || records_.back().first != record) {
        records_.push_back({record, {field}});
        return;
    }
    auto& fields = records_.back().second;
    if (std::find(fields.begin(), fields.end(), field) == fields.end()) fields.push_back(field);
}

void DroppedFields::add_warning(std::vector<Diagnostic>& out, std::string_view file_name) const {
    if (records_.empty()) return;
    std::string text = strfmt(
        "Note: the game's format has no place for these fields of %.*s;\r\n"
        "they were left out:",
        static_cast<int>(file_name.size()), file_name.data());
    // A box the screen can hold: the first records, then how many more.
    constexpr std::size_t kListed = 20;
    for (std::size_t r = 0; r < records_.size() && r < kListed; ++r) {
        const auto& [record, fields] = records_[r];
        text += "\r\n" + record + ": ";
        for (std::size_t i = 0; i < fields.size(); ++i)
            text += (i ? ", " : "") + fields[i];
    }
    if (records_.size() > kListed)
        text += strfmt("\r\n... and %zu more records.", records_.size() - kListed);
    out.push_back({Diagnostic::Kind::Message, std::move(text), "Warning", 0});
}

std::string record_vnum_error(long long vnum, int line) {
    return strfmt("Vnum %lld on line %d is outside the range %d to %d (zones 0 to %d).", vnum, line,
                  kRecordVnumMin, kVnumMax, zone_of(kVnumMax));
}

std::string vnum_field_error(long long vnum, int line) {
    return strfmt("Vnum %lld on line %d is outside the range %d to %d.", vnum, line, kVnumMin,
                  kVnumMax);
}

std::string zone_number_error(long long number, int line) {
    return strfmt("Zone %lld on line %d is outside the range 0 to %d.", number, line, kVnumMax);
}

std::string file_name_of(std::string_view path) {
    return std::filesystem::path(path).filename().string();
}

}  // namespace zs
