// Settings file bytes through the settings editor's load: the editing procedure, with
// the editor built and shown offscreen, then cancelled.

#include "FuzzImage.h"
#include "base/Error.h"
#include "editor/MK_SetParamsDlg.h"

#include <QApplication>

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz_editor";
    static char *argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    TMK &mk = FuzzImage::Fresh();
    if (!FuzzImage::Load(mk, data, size)) return 0;
    try {
        mk.EditSettings([&mk] {
            TMK_SetParamsDlg dialog(mk);
            dialog.show();
            QApplication::processEvents();
            return false;
        });
    } catch (const Error &) {
        // A value the editor refuses is reported to the user; nothing to find here.
    }
    return 0;
}
