#include "world/object.h"

namespace zs {

ObjectPrototype make_new_object(Vnum vnum, int zone) {
    ObjectPrototype o;
    o.vnum = vnum;
    o.zone = zone;
    o.keywords = "object unfinished";
    o.long_description = "An unfinished object is lying here.";
    o.short_description = "an unfinished object";
    o.look_description = "This object is unfinished.\r\n";
    o.flag_word = 1;
    return o;
}

}  // namespace zs
