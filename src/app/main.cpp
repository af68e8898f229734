// The zonesmith program: the editor window, or with --export-map a map image
// written without any window. --help and --version print and exit before any
// window or display is asked for.
#include <QApplication>
#include <QCommandLineParser>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "app/export_map.h"
#include "app/main_window.h"
#include "files/area_change.h"
#include "net/updater.h"
#include "world/alloc.h"
#include "zonesmith_version.h"

namespace {

void add_options(QCommandLineParser& parser) {
    // "-platform" and Qt's other one-dash options must not read as -p -l -a ...
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(QStringLiteral(
        "Zonesmith " ZS_VERSION
        ", an area editor for Quor.\n"
        "Opens the editor window, loading each FILE (a .wld, .obj, .mob or .zon) "
        "given, in order.\nWith --export-map it loads the ZONEs (all of the area directory when "
        "none "
        "is named)\nand writes the map laid out from --room as a PNG image, without a window."));
    parser.addOptions({
        {{"h", "help"}, QStringLiteral("Show this help and exit.")},
        {{"v", "version"}, QStringLiteral("Show the version and exit.")},
        {"dir",
         QStringLiteral("Read and write area files and settings in DIR (default: the working "
                        "directory)."),
         "DIR"},
        {"export-map", QStringLiteral("Write the map as a PNG image to FILE.png and exit."),
         "FILE.png"},
        {"room", QStringLiteral("With --export-map: the room the map is laid out from."), "VNUM"},
        {"floor",
         QStringLiteral("With --export-map: the floor, relative to the room's (default 0)."), "N"},
        {"scale", QStringLiteral("With --export-map: the size, 0.5 to 4 in quarters (default 1)."),
         "S"},
    });
    parser.addPositionalArgument("FILE... | ZONE...",
                                 QStringLiteral("The area files to open; with --export-map, the "
                                                "numbers of the zones to load."));
}

}  // namespace

int main(int argc, char** argv) {
    zs::install_allocation_failure_handler();
    zs::prepare_heap();
    zs::ignore_file_size_signal();

    // A first look at the arguments before any application object exists:
    // help, version and the map export must work without a display.
    QStringList raw;
    for (int i = 0; i < argc; ++i)
        raw << QString::fromLocal8Bit(argv[i]);
    QCommandLineParser early;
    add_options(early);
    early.parse(raw);  // its errors are reported by the parse below
    if (early.isSet("help")) {
        // Qt's own usage line has no room for the two ways of calling.
        QString help = early.helpText();
        std::cout << "Usage: zonesmith [--dir DIR] [FILE...]\n"
                     "       zonesmith --export-map FILE.png --room VNUM [--floor N] [--scale S] "
                     "[--dir DIR] [ZONE...]\n"
                     "       zonesmith --help | --version\n\n"
                  << help.mid(help.indexOf('\n') + 1).toStdString();
        return 0;
    }
    if (early.isSet("version")) {
        std::cout << "zonesmith " ZS_VERSION "\n";
        return 0;
    }
    if (early.isSet("export-map")) return zs::export_map_main(argc, argv);

    QApplication app(argc, argv);
    // The application has taken out Qt's own options (-platform, -style, ...).
    QCommandLineParser parser;
    add_options(parser);
    QString error;
    if (!parser.parse(app.arguments()))
        error = parser.errorText();
    else if (parser.isSet("room") || parser.isSet("floor") || parser.isSet("scale"))
        error = QStringLiteral("--room, --floor and --scale go with --export-map.");
    if (!error.isEmpty()) {
        std::cerr << "zonesmith: " << error.toStdString() << "\nTry 'zonesmith --help'.\n";
        return 2;
    }
    std::vector<std::string> files;
    for (const QString& file : parser.positionalArguments())
        files.push_back(file.toStdString());
    zs::NullUi quiet;
    zs::Workspace ws(quiet);
    if (parser.isSet("dir")) ws.set_area_dir(parser.value("dir").toStdString());
    zs::MainWindow window(ws);
    // A script an update left beside the program has done its work.
    zs::net::remove_leftover_script(zs::net::running_program());
    window.show();
    window.start(files);
    // After the settings: is there a newer program on the server? The menu
    // bar shows the answer. ZONESMITH_UPDATE_CHECK=0 or "Check: 0" turn it off.
    if (window.link().settings().check_at_start)
        window.link().start_update_check(zs::net::running_program_crc());
    return app.exec();
}
