// zonesmith-cli show: every field of objects or mobiles, by name.
#include <set>

#include "cli/command.h"
#include "cli/commands.h"
#include "files/check.h"
#include "files/load_command.h"
#include "world/proto_fields.h"
#include "world/prototype_edits.h"
#include "world/strfmt.h"

namespace zs::cli {

namespace {

// A text on one line: the CR LF that ends a line in the files as \n, a lone
// CR as \r and a bare LF as \x0a (some texts hold those), \t, \\ and other
// control bytes as \xHH, so that each field stays one line and no two
// texts print alike.
std::string one_line(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            out += "\\n";
            ++i;
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\\') {
            out += "\\\\";
        } else if (c < 0x20 || c == 0x7f) {
            out += strfmt("\\x%02x", c);
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

class Printer {
public:
    explicit Printer(std::ostream& out) : out_(out) {}
    void line(std::string_view name, std::string_view value) {
        out_ << name << ": " << value << '\n';
    }
    void text(std::string_view name, std::string_view value) { line(name, one_line(value)); }

private:
    std::ostream& out_;
};

void print_fields(Printer& p, const Workspace& ws, TableKind kind, int vnum) {
    for (const PropField& f : prop_fields(ws, kind, vnum)) {
        std::string name = f.name;
        std::string label = prop_label(ws, kind, vnum, f.id);
        if (label != name) name += " (" + label + ")";
        std::string value = prop_box_text(ws, kind, vnum, f.id).value_or("");
        if (f.kind == PropKind::Text) value = one_line(value);
        std::string hint = prop_hint(ws, kind, vnum, f.id);
        if (!hint.empty()) value += " (" + hint + ")";
        p.line(name, value);
    }
}

void print_conversations(Printer& p, const std::vector<Conversation>& nodes,
                         const std::string& prefix) {
    int n = 0;
    for (const Conversation& c : nodes) {
        std::string at = prefix + std::to_string(++n);
        std::string name = "Conversation " + at;
        p.text(name + " Keywords", c.keywords);
        p.text(name + " Response", c.response);
        p.line(name + " Quest to Activate", std::to_string(c.quest_to_activate));
        p.line(name + " Quest Required", std::to_string(c.quest_required));
        p.line(name + " Trig to Activate", std::to_string(c.trigger_to_activate));
        p.line(name + " Numbers 5 to 7", strfmt("%d %d %d", c.number5, c.number6, c.number7));
        print_conversations(p, c.branches, at + ".");
    }
}

void print_record(Printer& p, const Workspace& ws, TableKind kind, int vnum) {
    p.line("Vnum", std::to_string(vnum));
    for (ProtoField f : {ProtoField::Keywords, ProtoField::ShortDescription,
                         ProtoField::LongDescription, ProtoField::LookDescription})
        p.text(proto_field_name(kind, f), *proto_text(ws, kind, vnum, f));
    print_fields(p, ws, kind, vnum);
    if (kind == TableKind::Object) {
        const ObjectPrototype& o = *ws.objects().find_record(vnum);
        int n = 0;
        for (const ExtraDescription& ed : o.extra_descriptions) {
            std::string name = strfmt("Extra Description %d", ++n);
            p.text(name + " Keywords", ed.keyword);
            p.text(name + " Description", ed.description);
        }
    } else {
        print_conversations(p, ws.mobiles().find_record(vnum)->conversations, "");
    }
}

}  // namespace

int show(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
         ProcessEnd process_end) {
    Options opt;
    if (!parse_options(args, {.operands_required = true}, opt, err)) return 2;
    const std::string& what = opt.operands[0];
    if (what != "obj" && what != "mob") return usage_error(err, what + " is not obj or mob");
    if (opt.operands.size() < 2) return usage_error(err, "no vnums given");
    const TableKind kind = what == "obj" ? TableKind::Object : TableKind::Mobile;
    std::vector<int> vnums;
    for (std::size_t i = 1; i < opt.operands.size(); ++i) {
        int v;
        if (!int_operand(opt.operands[i], "vnum", v, err)) return 2;
        vnums.push_back(v);
    }
    CliUi ui(out, err, opt.answer, Statuses::Hidden);
    CommandWorkspace workspace(ui, process_end, opt.dir);
    Workspace& ws = *workspace;
    const AreaKind& area = area_kind(kind);
    bool all_loaded = true;
    for (int zone : zones_in_area_dir(ws)) {
        fs::path path = ws.area_dir() / strfmt("%d.%s", zone, area.words().extension);
        std::error_code ec;
        if (!fs::exists(path, ec)) continue;
        std::size_t problems = ui.load_problems.size();
        if (!load_file_of_kind(ws, area, path.string()) || ui.load_problems.size() > problems) {
            err << "zonesmith-cli: " << path.string() << " was not loaded\n";
            all_loaded = false;
        }
    }
    Printer p(out);
    bool all_found = true;
    bool first = true;
    for (int vnum : vnums) {
        if (!proto_text(ws, kind, vnum, ProtoField::Keywords)) {
            err << strfmt("zonesmith-cli: no %s file of %s holds %s %d\n", what.c_str(),
                          ws.area_dir().string().c_str(), proto_names(kind).noun, vnum);
            all_found = false;
            continue;
        }
        if (!first) out << '\n';
        first = false;
        print_record(p, ws, kind, vnum);
    }
    return all_found && all_loaded ? 0 : 1;
}

}  // namespace zs::cli
