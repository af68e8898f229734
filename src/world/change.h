// Change events: how the tables tell the workspace (and through it the
// editor's views) that records were added, removed or edited.
#pragma once

namespace zs {

enum class TableKind { World, Zone, Object, Mobile };

enum class ChangeKind {
    Added,      // a record was loaded or created
    Removed,    // a record was deleted or unloaded
    Cleared,    // every record of the table was unloaded
    Edited,     // fields of a record changed
    Selection,  // the table's selected record changed
};

struct Change {
    TableKind table;
    ChangeKind kind;
    int id;          // vnum of the record (zone number for zedits)
    bool user_edit;  // true when the builder changed the world (sets modified)
    // For an edit that gave the record a new number: the number it had.
    int previous_id = kNoPreviousId;
    static constexpr int kNoPreviousId = -0x7fffffff - 1;
};

class ChangeSink {
public:
    virtual ~ChangeSink() = default;
    virtual void on_change(const Change& change) = 0;
};

}  // namespace zs
