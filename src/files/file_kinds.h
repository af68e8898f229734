// The one table of the four area-file kinds: each kind's extension, table,
// editor, the load and save dialog's filter and the words its messages use,
// beside the kind's implementation of AreaKind (area_kind.h): its readers,
// writer and table. Everything that goes by a file's kind looks it up here
// instead of switching over the kind.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "world/change.h"

namespace zs {

class Workspace;
class AreaKind;
enum class EditorKind;

struct FileKind {
    TableKind table;
    EditorKind editor;
    const char* extension;       // "wld", without the dot
    const char* side_extension;  // the side file each zone's file may have ("wld_zs"), or null
    const char* filter_caption;  // the open-file dialog's filter
    const char* filter_pattern;
    const char* settings_key;  // the settings file's "Last" key of its zones
    // Message words.
    const char* not_found;           // the box for a missing file
    const char* already_loaded;      // the box for a zone loaded already, with %d for it
    const char* load_error;          // the load-error box's headline
    const char* load_error_status;   // the status text after it; empty for none
    const char* convert_question;    // the offer to read an older layout
    const char* conversion_success;  // the box after a conversion
    const char* record_noun;         // "room"
    const char* records_noun;        // "rooms"
    const char* save_error;          // the headline of a file that could not be saved
    const char* all_saved;           // the status after saving every zone of the kind
    const char* not_all_saved;       // the status when some file of it was not saved
    const char* side_save_error;     // the headline of a side file that could not be saved
    const char* create_error;        // the headline of a file that could not be created; null:
                                     // save_error
    const char* no_zone_to_save;     // the box for saving a zone with no records; null: the zone's
                                     // files go
    const char* nothing_selected;    // Save Current's status with nothing selected
    const char* current_saved;       // its status after a save, with %d for the zone
    const char* current_not_saved;   // its status when the file was not saved
    const char* all_unloaded;        // the status after unloading every record of the kind
};

// In the order Load Full Zone loads them: world, objects, mobiles, zone.
std::span<const FileKind> file_kinds();
const FileKind& file_kind(TableKind table);
const FileKind& file_kind(EditorKind editor);
// The kind whose extension's first letter stands third from the end of the
// path ("w", "o", "m", "z"); nullptr for none.
const FileKind* file_kind_of_path(std::string_view path);

// The implementation of each kind, in the order of file_kinds().
std::span<const AreaKind* const> area_kinds();
const AreaKind& area_kind(TableKind table);

}  // namespace zs
