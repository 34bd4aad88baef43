// Renders the program's own icon drawing into the PNG files of the hicolor icon theme, so the
// menu entry shows the same picture as the window. Run it again whenever the drawing changes:
//   cmake --build build --target rq73-render-icons
//   build/packaging/icons/rq73-render-icons resources/icons/hicolor

// The drawing lives in an unnamed namespace; taking in its source keeps a single copy of it.
#include "../../src/ui/appicon.cpp"

#include <QDir>
#include <QGuiApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    QTextStream err(stderr);
    if (args.size() != 2) {
        err << "usage: rq73-render-icons HICOLOR_DIR\n";
        return 1;
    }
    const QDir root(args.at(1));
    // The sizes the hicolor theme defines application icons for.
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString dir = QStringLiteral("%1x%1/apps").arg(size);
        const QString file = root.filePath(dir + QStringLiteral("/rq73tune.png"));
        if (!root.mkpath(dir) || !drawIcon(size).save(file, "PNG")) {
            err << "cannot write " << file << '\n';
            return 2;
        }
    }
    return 0;
}
