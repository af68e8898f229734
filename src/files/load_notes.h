// What a read met besides the records themselves: the fields of an older or
// stock file that the game's format has no place for, the out-of-range vnum
// that failed a read, and the texts the game cannot hold. The loaders tell
// the builder of them once they know which read of the file won.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zs {

struct Diagnostic;

// Fields a conversion left out, by record, in file order.
class DroppedFields {
public:
    // `record` names the record ("mobile 3000"), `field` what was lost
    // ("StrAdd"); a field named twice for a record is kept once.
    void add(const std::string& record, const std::string& field);
    bool empty() const { return records_.empty(); }
    // One "Warning" box naming every record with its fields; nothing when
    // nothing was left out.
    void add_warning(std::vector<Diagnostic>& out, std::string_view file_name) const;

private:
    std::vector<std::pair<std::string, std::vector<std::string>>> records_;
};

struct ReadNotes {
    DroppedFields dropped;
    // Set when a vnum out of its range failed the read: the line and number,
    // and that line.
    std::string range_error;
    int range_error_line = 0;
};

// "Vnum %lld on line %d is outside the range ..." for a record's own vnum and
// for a vnum a record refers to.
std::string record_vnum_error(long long vnum, int line);
std::string vnum_field_error(long long vnum, int line);
// The same for a zedit's number, which must not be below 0.
std::string zone_number_error(long long number, int line);

// The file name of a path, as string errors and warnings name it.
std::string file_name_of(std::string_view path);

}  // namespace zs
