// ExtraDescSession: the Extra Descriptions dialog's state in the core. It
// works on a copy of one room's or object's extra descriptions and a
// position in it; leaving an entry stores the dialog's two boxes into it, and
// closing the dialog drops the incomplete entries and stores the list into
// the record as one undoable step ("Edit Extra Descriptions of Room 3001",
// "... of Object 3022"), none when nothing changed. A stored text keeps the lines the builder did
// not edit. The dialog passes the boxes' bytes and shows what the session holds.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "world/room.h"
#include "world/workspace.h"

namespace zs {

class ExtraDescSession {
public:
    // Starts on the first entry of room `vnum` (a blank one when it has none,
    // or when the room is not loaded); of object `vnum` when `kind` is
    // TableKind::Object.
    ExtraDescSession(Workspace& ws, int vnum, TableKind kind = TableKind::World);

    int vnum() const { return vnum_; }
    TableKind kind() const { return kind_; }
    // The shown entry's index, from 0, and the number of entries (a blank
    // entry added by moving past the last one counts).
    int position() const { return position_; }
    int count() const { return static_cast<int>(entries_.size()); }
    const ExtraDescription& shown() const { return entries_[position_]; }
    const std::vector<ExtraDescription>& entries() const { return entries_; }

    // Each stores the boxes into the shown entry, then moves: past the last
    // entry, Next adds a blank one. When a box cannot be stored ("~", or too
    // long for the area files) the status line says why, nothing is stored
    // and the position stays: the call returns false. Previous at the first
    // entry does nothing and returns false too, so the boxes keep what was
    // typed. Boxes that hold the entry's own texts unchanged store nothing.
    bool next(std::string_view keywords, std::string_view text);
    bool previous(std::string_view keywords, std::string_view text);
    bool first(std::string_view keywords, std::string_view text);
    bool last(std::string_view keywords, std::string_view text);

    // The text box as Format shows it: reflowed, without indentation.
    static std::string format(std::string_view text);

    // OK: stores the boxes, then closes (below). False, with nothing
    // committed, when the boxes cannot be stored, or when an entry has text
    // but no keywords (or keywords but no text): the session then shows that
    // entry, the status line says what is missing, and the dialog stays open.
    bool ok(std::string_view keywords, std::string_view text);
    // Cancel: closes without storing the boxes; entries stored while moving
    // between them stay, and those with only one of their parts are dropped.
    void cancel();

    // The first entry that has keywords but no text or text but no keywords
    // (-1 when there is none), and what it lacks, as the status says it.
    int first_incomplete() const;
    std::string what_is_missing(int entry) const;

private:
    bool store(std::string_view keywords, std::string_view text);
    void show(int position);
    // Drops every entry whose keywords or text is empty and commits the list.
    void close();

    Workspace& ws_;
    int vnum_;
    TableKind kind_;
    std::vector<ExtraDescription> entries_;
    int position_ = 0;
};

}  // namespace zs
