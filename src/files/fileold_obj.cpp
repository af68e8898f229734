#include "files/fileold_obj.h"

#include "files/file_kinds.h"

namespace zs {

namespace {

// The older layouts, in the order they are tried. tbaMUD comes first: its
// first numeric line holds thirteen fields, and the CircleMUD reader, which
// takes the first three of them, would misread it.
constexpr ObjectLayout kLegacyLayouts[] = {ObjectLayout::TbaMud, ObjectLayout::Circle3};

}  // namespace

ReadResult<ObjectPrototype> read_older_objects(std::string_view bytes, std::string_view file_name,
                                               const std::vector<TextReader::StringError>& shown) {
    ReadNotes range_error;
    for (std::size_t i = 0; i < std::size(kLegacyLayouts); ++i) {
        ReadResult<ObjectPrototype> read =
            read_objects_layout(bytes, file_name, kLegacyLayouts[i], false);
        if (read.ok) {
            read.layout = static_cast<int>(i);
            add_string_errors(read.diagnostics, file_name, read.string_errors, shown);
            read.notes.dropped.add_warning(read.diagnostics, file_name);
            return read;
        }
        if (!read.notes.range_error.empty()) range_error = std::move(read.notes);
    }
    ReadResult<ObjectPrototype> failed;
    add_load_error(failed.diagnostics, file_kind(TableKind::Object), range_error);
    return failed;
}

}  // namespace zs
