#include "app/MainForm.h"
#include "app/MessageBoxPrompts.h"
#include "base/Error.h"
#include "base/Prompts.h"

#include <QApplication>

namespace {

// Errors that escape a handler are shown in the application's error box and the
// program goes on.
class TApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject *receiver, QEvent *event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const Error &e) {
            Prompts().ShowApplicationError(e.message());
        } catch (const std::exception &e) {
            Prompts().ShowApplicationError(QString::fromLocal8Bit(e.what()));
        }
        return false;
    }
};

} // namespace

int main(int argc, char *argv[]) {
    TApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tripconf"));
    TMessageBoxPrompts prompts;
    SetPrompts(&prompts);

    TMainForm form;
    // A second copy ends at once, without a message.
    if (!form.OwnsInstance()) return 0;
    form.show();
    const int rc = app.exec();
    SetPrompts(nullptr);
    return rc;
}
