// The zonesmith program: the editor window, or with --export-map a map image
// written without any window.
#include <QApplication>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "app/export_map.h"
#include "app/main_window.h"
#include "world/alloc.h"

int main(int argc, char** argv) {
    zs::install_allocation_failure_handler();
    zs::prepare_heap();
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--export-map") == 0) return zs::export_map_main(argc, argv);

    QApplication app(argc, argv);
    std::string file;
    std::string dir;
    QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == "--dir" && i + 1 < args.size())
            dir = args[++i].toStdString();
        else if (!args[i].startsWith("-"))
            file = args[i].toStdString();
    }
    zs::NullUi quiet;
    zs::Workspace ws(quiet);
    if (!dir.empty()) ws.set_area_dir(dir);
    zs::MainWindow window(ws);
    window.show();
    window.start(file);
    return app.exec();
}
