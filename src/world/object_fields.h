// The object's properties: the catalogue of every field of an object record
// beside its four display texts (type, values, flags, weight, cost, rent,
// affects, triggers, the other numbers by file line and position, texts 5
// to 8), the names the game family gives item types, values and affect
// locations, and the named steps of the affect list.
#pragma once

#include <string>
#include <vector>

#include "world/object.h"
#include "world/prop_catalogue.h"

namespace zs {

// "light" .. "fountain" for types 1 to 23; null for any other number.
const char* object_type_name(int type);
// What a value means for the type: "Capacity", "Key Vnum", "Dice Sides",
// ...; "Value 0" .. "Value 5" where the type gives it no meaning.
std::string object_value_label(int type, int index);
// The affect location's name ("HITROLL"); null above 24.
const char* apply_name(int location);

// Ids of the fields other code names.
enum ObjectFieldId : int {
    kObjType = 0,
    kObjValue0 = 1,  // .. kObjValue0 + 5
    kObjFlags = 7,
    kObjWeight = 8,
    kObjCost = 9,
    kObjRent = 10,
    kObjAffect0 = 11,  // location, modifier of affect 1, then affect 2 ... (12 fields)
    kObjTriggers = 23,
};
constexpr int kObjKeyValue = 2;  // a container's key vnum is value 2

// The catalogue, in the order panes and `show` list it.
const std::vector<PropEntry<ObjectPrototype>>& object_entries();
const PropEntry<ObjectPrototype>* object_entry(int id);
std::string object_label(const ObjectPrototype& o, int id);
std::string object_hint(const ObjectPrototype& o, int id);
// A container whose key (value 2) names no loaded object; 0 and -1 stand
// for no key. The checker and the key's box warn of it alike, in the words
// of container_key_warning ("object 8801: the container needs key 8899,
// which no loaded zone holds"; a key no record could have, outside -99 to
// 32767, is named so).
bool container_key_missing(const ObjectPrototype& o, const ObjectTable& objects);
std::string container_key_warning(const ObjectPrototype& o);

// Before a store is kept: the refusal of a drink container or fountain
// made to hold more (value 1) than the drink rule can weigh (a weight of
// that amount plus 5 must fit in 32 bits); empty when it may be kept.
std::string object_store_refusal(const ObjectPrototype& before, const ObjectPrototype& after);
// After a store: the drink rule of the object file, which may raise the
// weight; what it did, as the result's note, or empty.
std::string object_after_store(ObjectPrototype& o);

// The affect list. An affect is a location (0 to 255) and a modifier; a
// modifier of 0 is an empty slot, as in the file, so every affect held has
// one. "Add Affect 3 to Object 3022" (at most six), "Edit Affect 3 of
// Object 3022" (a modifier of 0 removes it), "Remove Affect 3 from Object
// 3022"; `index` from 0, the names count from 1. The boxes of the affects
// (store_prop_box) neither remove nor move one: a modifier box refuses 0
// while its affect is held, and of the empty slots takes a modifier only in
// the first.
PropResult add_object_affect(Workspace& ws, int vnum, long long location, long long modifier);
PropResult change_object_affect(Workspace& ws, int vnum, int index, long long location,
                                long long modifier);
PropResult remove_object_affect(Workspace& ws, int vnum, int index);

}  // namespace zs
