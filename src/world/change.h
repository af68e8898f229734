// Change events: how the tables tell the workspace (and through it the
// editor's views) that records were added, removed or edited, and the hook
// through which a table hands the workspace the images of a user edit.
#pragma once

#include <cstdint>

namespace zs {

enum class TableKind { World, Zone, Object, Mobile };

enum class ChangeKind {
    Added,      // a record was loaded or created
    Removed,    // a record was deleted or unloaded
    Cleared,    // every record of the table was unloaded
    Edited,     // fields of a record changed
    Selection,  // the table's selected record changed
};

// Where a change came from: a load or unload, an edit of the builder, or
// the history stepping back or forward.
enum class ChangeOrigin { Load, Edit, Undo, Redo };

// Which fields of a record an edit changed: a bit per field, numbered by the
// editor of the record's kind. Adding and removing touch every field.
using FieldMask = std::uint64_t;
constexpr FieldMask kAllFields = ~FieldMask{0};

struct Change {
    TableKind table;
    ChangeKind kind;
    int id;          // vnum of the record (zone number for zedits)
    bool user_edit;  // true when the builder changed the world (sets modified)
    // For an edit that gave the record a new number: the number it had.
    int previous_id = kNoPreviousId;
    static constexpr int kNoPreviousId = -0x7fffffff - 1;
    ChangeOrigin origin = ChangeOrigin::Edit;
    FieldMask fields = kAllFields;
    // Who made the edit (a pane passes itself), so that a pane can tell its
    // own keystrokes from changes it has to show; null for the core.
    const void* source = nullptr;
};

struct Room;
struct ObjectPrototype;
struct MobilePrototype;
struct Zedit;

// The id of the record in the slot before a record, or this for the first
// slot: where a removed record goes back.
constexpr int kTableFront = Change::kNoPreviousId;

// Where a recorded record stands. A record is its id and which of the
// records carrying that id it is (0 for the first: ids repeat only in damaged
// files); an added or removed record stands after the record in the slot
// before it (kTableFront for slot 0).
struct RecordPlace {
    int before_nth = 0;  // of the record as it was
    int after_nth = 0;   // of the record as it is now
    int after_id = kTableFront;
    int after_id_nth = 0;
};

// Receives the images of every user edit while an edit step is open. `before`
// is null for a record being added, `after` for one being removed.
class EditRecorder {
public:
    virtual ~EditRecorder() = default;
    virtual void record(TableKind table, const Room* before, const Room* after,
                        const RecordPlace& place) = 0;
    virtual void record(TableKind table, const ObjectPrototype* before,
                        const ObjectPrototype* after, const RecordPlace& place) = 0;
    virtual void record(TableKind table, const MobilePrototype* before,
                        const MobilePrototype* after, const RecordPlace& place) = 0;
    virtual void record(TableKind table, const Zedit* before, const Zedit* after,
                        const RecordPlace& place) = 0;
};

class ChangeSink {
public:
    virtual ~ChangeSink() = default;
    virtual void on_change(const Change& change) = 0;
    // The recorder of the open edit step; null when no step is open.
    virtual EditRecorder* recorder() { return nullptr; }
};

}  // namespace zs
