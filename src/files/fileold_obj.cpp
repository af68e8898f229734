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
    return read_first_fitting_layout<ObjectPrototype>(
        std::size(kLegacyLayouts), file_kind(TableKind::Object), file_name, [&](std::size_t i) {
            ReadResult<ObjectPrototype> read =
                read_objects_layout(bytes, file_name, kLegacyLayouts[i], false);
            if (read.ok) add_string_errors(read.diagnostics, file_name, read.string_errors, shown);
            return read;
        });
}

}  // namespace zs
