#include "app/InstanceChannel.h"
#include "app/JustOne.h"
#include "app/MainForm.h"
#include "app/MessageBoxPrompts.h"
#include "base/Error.h"
#include "base/Prompts.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QIcon>

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

QIcon ProgramIcon() {
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/tripconf-%1.png").arg(size), QSize(size, size));
    return icon;
}

void Describe(QCommandLineParser &parser) {
    parser.setApplicationDescription(
        QStringLiteral("Reads, edits and writes the settings of a vehicle trip computer over a serial cable."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("file"),
                                 QStringLiteral("A settings file (.vorng) to open, as \"Read settings from a file\" does."),
                                 QStringLiteral("[file]"));
}

// --help and --version answer without a display.
void AnswerWithoutWindows(int argc, char *argv[]) {
    for (int i = 1; i < argc; ++i) {
        const QByteArray a(argv[i]);
        if (a == "-h" || a == "--help" || a == "-?" || a == "--help-all" || a == "-v" || a == "--version") {
            QCoreApplication core(argc, argv);
            QCoreApplication::setApplicationName(QStringLiteral("tripconf"));
            QCoreApplication::setApplicationVersion(QStringLiteral(TRIPCONF_VERSION));
            QCommandLineParser parser;
            Describe(parser);
            parser.process(core); // prints and exits
        }
    }
}

} // namespace

int main(int argc, char *argv[]) {
    AnswerWithoutWindows(argc, argv);
    TApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tripconf"));
    QApplication::setApplicationVersion(QStringLiteral(TRIPCONF_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("tripconf"));
    QApplication::setWindowIcon(ProgramIcon());

    QCommandLineParser parser;
    Describe(parser);
    parser.process(app);
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) {
        fputs(qPrintable(QStringLiteral("tripconf: one settings file at most\n%1").arg(parser.helpText())), stderr);
        return 2;
    }

    TMessageBoxPrompts prompts;
    SetPrompts(&prompts);

    TMainForm form;
    // A second copy ends at once, without a message; a file it was given goes to the
    // copy that runs.
    if (!form.OwnsInstance()) {
        if (!files.isEmpty())
            TInstanceChannel(form.JustOne1->LockFileName()).Hand(QFileInfo(files.first()).absoluteFilePath());
        return 0;
    }
    if (!files.isEmpty()) form.OpenAtStart(files.first());
    form.show();
    const int rc = app.exec();
    SetPrompts(nullptr);
    return rc;
}
