// Configuration file bytes through what the program reads at start-up: the language,
// the port and the window placement (of a fixed-size window and a resizable one).

#include "app/IniFls.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QWidget>

namespace {
QString g_path;
}

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz_ini";
    static char *argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    static QTemporaryDir dir;
    g_path = dir.filePath(QStringLiteral("fuzz.ini"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    {
        QFile f(g_path);
        if (!f.open(QIODevice::WriteOnly)) return 0;
        f.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    const TMIniFile ini(g_path);
    (void)ini.ReadBool(QStringLiteral("Common"), QStringLiteral("EnglishVersion"), false);
    (void)ini.ReadInteger(QStringLiteral("RS232"), QStringLiteral("Port"), 1);
    (void)ini.ReadString(QStringLiteral("Common"), QStringLiteral("Note"), QString());
    // Kept to the end: destroyed at exit they would outlive parts of Qt they need.
    static QWidget *fixed = new QWidget, *resizable = new QWidget;
    fixed->setFixedSize(810, 384);
    resizable->setMinimumSize(100, 100);
    ini.RestorePlacement(QStringLiteral("MainWindow"), fixed);
    ini.RestorePlacement(QStringLiteral("MainWindow"), resizable);
    return 0;
}
