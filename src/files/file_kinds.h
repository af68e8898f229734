// The one table of the four area-file kinds: each kind's extension, table,
// editor, the load and save dialog's filter, the words its messages use, and
// its load and save commands. Everything that goes by a file's kind looks it
// up here instead of switching over the kind.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "world/change.h"

namespace zs {

class Workspace;
class AreaChange;
struct Staging;
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
    // Its commands. The loader of a file whose bytes were read already
    // (`path` names the file and its zone).
    bool (*load_bytes)(Workspace&, const std::string& path, std::string_view bytes);
    bool (*save_current)(Workspace&);
    // Puts the files of these zones, each of which holds records of the
    // kind, into a save's change (see stage_zone_batch).
    void (*stage_zones)(Workspace&, AreaChange&, const std::vector<int>& zones, Staging&);
    // The vnum (a zedit's number) of the record in a slot of its table.
    int (*id_of)(const Workspace&, int slot);
    // How many records its table holds.
    int (*count)(const Workspace&);

    // Loads a file of the kind: the box for a zone loaded already, the
    // file's bytes (or the box saying why there are none), then load_bytes.
    bool load(Workspace& ws, const std::string& path) const;
};

// True, after the box, when `zone` (above 0) has records of the kind loaded.
bool refuse_loaded_zone(Workspace& ws, const FileKind& kind, int zone);

// In the order Load Full Zone loads them: world, objects, mobiles, zone.
std::span<const FileKind> file_kinds();
const FileKind& file_kind(TableKind table);
const FileKind& file_kind(EditorKind editor);
// The kind whose extension's first letter stands third from the end of the
// path ("w", "o", "m", "z"); nullptr for none.
const FileKind* file_kind_of_path(std::string_view path);

}  // namespace zs
