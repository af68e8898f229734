#include "world/record_entry.h"

namespace zs {

namespace {

std::size_t text_bytes(const std::string& s) {
    return s.capacity() > 15 ? s.capacity() + 1 : 0;
}
std::size_t text_bytes(const Text& t) {
    return t.size() > 14 ? t.size() + sizeof(std::size_t) + 1 : 0;
}
std::size_t extras_bytes(const std::vector<ExtraDescription>& extras) {
    std::size_t n = extras.capacity() * sizeof(ExtraDescription);
    for (const auto& e : extras)
        n += text_bytes(e.keyword) + text_bytes(e.description);
    return n;
}
std::size_t conversation_bytes(const std::vector<Conversation>& convs) {
    std::size_t n = convs.capacity() * sizeof(Conversation);
    for (const auto& c : convs)
        n += text_bytes(c.keywords) + text_bytes(c.response) + conversation_bytes(c.branches);
    return n;
}

}  // namespace

std::size_t footprint(const Room& r) {
    std::size_t n = sizeof(Room) + text_bytes(r.title) + text_bytes(r.description) +
                    text_bytes(r.side_text) + text_bytes(r.extra_text) +
                    extras_bytes(r.extra_descriptions) +
                    r.triggers.capacity() * sizeof(std::int32_t);
    for (const auto& e : r.exits)
        if (e)
            n += text_bytes(e->description) + text_bytes(e->door_description) +
                 text_bytes(e->door_keywords);
    return n;
}

std::size_t footprint(const ObjectPrototype& o) {
    std::size_t n = sizeof(ObjectPrototype);
    for (const std::string* s : {&o.keywords, &o.short_description, &o.long_description,
                                 &o.look_description, &o.text5, &o.text6, &o.text7, &o.text8})
        n += text_bytes(*s);
    return n + o.affects.capacity() * sizeof(ObjectAffect) +
           o.triggers.capacity() * sizeof(std::int32_t) + extras_bytes(o.extra_descriptions);
}

std::size_t footprint(const MobilePrototype& m) {
    std::size_t n = sizeof(MobilePrototype);
    for (const std::string* s :
         {&m.keywords, &m.short_description, &m.long_description, &m.description, &m.text5,
          &m.text6, &m.text7, &m.text8, &m.text9, &m.text10, &m.text11, &m.greeting, &m.text13})
        n += text_bytes(*s);
    n += conversation_bytes(m.conversations) + m.blocks.capacity() * sizeof(MobileBlock);
    for (const auto& b : m.blocks)
        for (const auto& t : b.texts)
            n += text_bytes(t);
    return n + m.skills.capacity() * sizeof(MobileSkill) +
           m.triggers.capacity() * sizeof(std::int32_t);
}

std::size_t footprint(const Zedit& z) {
    std::size_t n = sizeof(Zedit) + text_bytes(z.name) + text_bytes(z.roleplay_name) +
                    text_bytes(z.third_text) + z.commands.capacity() * sizeof(Zcmd);
    for (const auto& c : z.commands)
        n += text_bytes(c.sarg1) + text_bytes(c.sarg2);
    return n;
}

}  // namespace zs
