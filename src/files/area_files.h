// The zone commands over every file kind (the load and save commands of
// load_command.h and save_command.h): Load Full Zone, Load and Save Current,
// Save All, the settings file with the options and the zones that were open,
// reloading them, the command-line file, unloading, and the start-up steps.
// Area files and the settings file live in the workspace's area directory.
#pragma once

#include <string>
#include <vector>

#include "files/area_io.h"
#include "files/load_command.h"
#include "files/save_command.h"
#include "world/workspace.h"

namespace zs {

inline constexpr const char* kSettingsFileName = "ZonesmithSettings.txt";
// The settings file is read only when it is a regular file of at most 1 MiB;
// with every zone loaded it holds a few kilobytes.
inline constexpr TextFileKind kSettingsFile{"a settings file", std::size_t{1} << 20};

// Load Full Zone: the zone's .wld, .obj, .mob and .zon from the area
// directory, in that order; each loader reports for itself. True when all four
// loaded.
bool load_all(Workspace& ws, int zone);

// Load Wld/Zon/Obj/Mob: the open-file dialog of the editor's kind, then its
// loader.
bool load_current(Workspace& ws, EditorKind editor);

// Save Current: the kind of the editor for its current record's zone.
bool save_current(Workspace& ws, EditorKind editor);

// Saves every loaded zone of every kind as one change of the area directory
// (save_zone_files: every file, and the removal of the files of zones the
// builder emptied, or nothing), each kind saying in the status whether all
// of its zones were saved; true when everything was written.
bool save_everything(Workspace& ws, WhenKept when_kept = WhenKept::SaveTheRest);
// The same for one kind.
bool save_every_zone(Workspace& ws, TableKind kind);

// Save All: every kind, then the settings file; "All data saved to file."
// only when all of it was written.
bool save_all(Workspace& ws);

// Saves the changed zones of every kind as one change (save_zone_files): the
// files of zones with records are written and the files of zones the builder
// emptied removed, or nothing changes. True when all was done.
bool save_changed_zones(Workspace& ws, WhenKept when_kept = WhenKept::SaveTheRest);

// The settings file's text: options, then the zones of each table, then
// Generate Descriptions' rows.
std::string settings_text(const Workspace& ws);
// Save Options. A file that cannot be written is passed over silently.
void write_settings(Workspace& ws);
// Generate Descriptions' rows into the settings file, its other lines kept as
// they are (or a file of the rows alone when there is none). A file that
// cannot be read or written is passed over silently.
void write_vocabulary_rows(Workspace& ws);
// Reads the options at start-up. A missing file keeps the start values, and
// so does one that cannot be read (not a regular file, larger than
// kSettingsFile allows, a read error), with a message naming it and the
// cause; an over-long line stops the reading with a message; a value out of
// its range leaves that option at its start value.
void read_settings(Workspace& ws);
// Reads the options from a settings file's text.
void apply_settings_text(Workspace& ws, std::string_view text);
// Ctrl+T: loads the zones the settings file names, in its order; a file that
// cannot be read is reported as read_settings reports it.
void reload_last_files(Workspace& ws);

// A file named on the command line: loaded by its kind, whose editor becomes
// current. A quoted argument loses its quotes.
void open_command_line_file(Workspace& ws, const std::string& argument);

// Unload Wld: the zone's rooms leave the table (exits of other zones into
// them stay), its unsaved changes and history steps with them. Not a step:
// it cannot be undone. `box` is the prompt's text; an empty one does nothing.
// True when rooms were unloaded.
bool unload_zone(Workspace& ws, std::string_view box);
void unload_all_worlds(Workspace& ws);
void unload_all(Workspace& ws);

// Gives the workspace its way to the zone files of its area directory.
void attach_area_files(Workspace& ws);

// The start-up steps that need no window, in order: a change of the area
// directory's files that was cut off is finished (finish_interrupted_change),
// then the command-line files (each as open_command_line_file opens it, in
// their order), the settings, cleared modified flags, and Auto-Load of the
// last zone. What the first step did is the last status.
void start_up(Workspace& ws, const std::vector<std::string>& command_line_arguments);
void start_up(Workspace& ws, const std::string& command_line_argument);

}  // namespace zs
