// Zone files (<zone>.zon): the reader of a zedit and its reset commands (the
// stock layouts it falls back to in fileold_zone.h), and the writer.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "files/diagnostic.h"
#include "world/zedit.h"

namespace zs {

// Reads the one zedit of a file's bytes. A format error fails the read with
// the zone-file error box and status; a failed read has no zedit.
ReadResult<Zedit> read_zone(std::string_view bytes, std::string_view file_name,
                            ReadSink<Zedit>* sink = nullptr);

// The whole file text of a zedit. A command of a kind the file has no line
// for is left out and told of.
WriteResult write_zone(const Zedit& z);

}  // namespace zs
