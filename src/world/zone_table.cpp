#include "world/zone_table.h"

namespace zs {

Zedit make_new_zedit(int number) {
    Zedit z;
    z.number = static_cast<std::int16_t>(number);
    z.name = "A New Zone";
    z.roleplay_name = "an unknown area";
    return z;
}

void ZoneTable::notify(ChangeKind kind, int number, bool user_edit) const {
    if (sink_) sink_->on_change({TableKind::Zone, kind, number, user_edit});
}

int ZoneTable::find_zedit(int number) const {
    for (int s = 0; s < count(); ++s)
        if (zedits_[s].number == number) return s;
    return -1;
}

void ZoneTable::select_slot(int slot) {
    int next = (slot >= 0 && slot < count()) ? slot : -1;
    if (next == selected_) return;
    selected_ = next;
    notify(ChangeKind::Selection, next < 0 ? -1 : zedits_[next].number, false);
}

bool ZoneTable::reserve_zedit_block(int number) {
    if (find_zedit(number) >= 0) return false;
    ++blocks_;
    return true;
}

void ZoneTable::release_zedit_block() {
    if (blocks_ > 0) --blocks_;
}

void ZoneTable::append(Zedit zedit) {
    int number = zedit.number;
    zedits_.push_back(std::move(zedit));
    notify(ChangeKind::Added, number, false);
    select_slot(count() - 1);
}

int ZoneTable::create_zedit(int number) {
    zedits_.insert(zedits_.begin(), make_new_zedit(number));
    if (selected_ >= 0) ++selected_;
    notify(ChangeKind::Added, number, true);
    return 0;
}

void ZoneTable::delete_zedit(int number) {
    int slot = find_zedit(number);
    if (slot < 0) return;
    int select_after = selected_;
    if (selected_ == slot) {
        // Another zedit with the same number, else the first other one.
        select_after = -1;
        for (int s = 0; s < count(); ++s)
            if (s != slot && zedits_[s].number == number) {
                select_after = s;
                break;
            }
        if (select_after < 0)
            for (int s = 0; s < count(); ++s)
                if (s != slot) {
                    select_after = s;
                    break;
                }
    }
    zedits_.erase(zedits_.begin() + slot);
    if (select_after > slot) --select_after;
    selected_ = select_after;  // settled before anyone hears of the removal
    notify(ChangeKind::Removed, number, false);
    notify(ChangeKind::Selection, selected_ < 0 ? -1 : zedits_[selected_].number, false);
}

void ZoneTable::unload_zedit(int number) {
    while (find_zedit(number) >= 0)
        delete_zedit(number);
    release_zedit_block();
    if (selected_ < 0 && !zedits_.empty()) select_slot(0);
}

void ZoneTable::clear() {
    zedits_.clear();
    blocks_ = 0;
    selected_ = -1;
    notify(ChangeKind::Cleared, -1, false);
    notify(ChangeKind::Selection, -1, false);
}

bool ZoneTable::insert_command(int slot, int position) {
    if (slot < 0 || slot >= count()) return false;
    auto& cmds = zedits_[slot].commands;
    if (position < 0 || position > static_cast<int>(cmds.size())) return false;
    Zcmd c;
    c.command = 'N';
    cmds.insert(cmds.begin() + position, c);
    notify(ChangeKind::Edited, zedits_[slot].number, true);
    return true;
}

bool ZoneTable::remove_command(int slot, int position) {
    if (slot < 0 || slot >= count()) return false;
    auto& cmds = zedits_[slot].commands;
    if (position < 0 || position >= static_cast<int>(cmds.size())) return false;
    cmds.erase(cmds.begin() + position);
    notify(ChangeKind::Edited, zedits_[slot].number, true);
    return true;
}

void ZoneTable::edit_zedit(int slot, const std::function<void(Zedit&)>& edit, bool user_edit) {
    if (slot < 0 || slot >= count()) return;
    edit(zedits_[slot]);
    notify(ChangeKind::Edited, zedits_[slot].number, user_edit);
}

}  // namespace zs
