// tripconf-cli: the command-line companion of tripconf.

#include "Cli.h"
#include "CliTransfer.h"

#include <QApplication>
#include <QCoreApplication>
#include <memory>

namespace {

int Usage(const QString &message, const TCliCommand *command) {
    if (command) {
        Err() << "tripconf-cli " << command->name << ": " << message << "\nusage: tripconf-cli "
              << command->name << ' ' << QString::fromUtf8(command->synopsis) << "\nTry 'tripconf-cli help "
              << command->name << "' for more information.\n";
    } else {
        Err() << "tripconf-cli: " << message << "\nTry 'tripconf-cli help' for more information.\n";
    }
    Err().flush();
    return 2;
}

int Help(const QString &text) {
    Out() << text;
    Out().flush();
    return 0;
}

int Run(QStringList args) {
    // The program's own options come before the command.
    bool help = false;
    while (!args.isEmpty() && args.first().startsWith(QLatin1Char('-')) &&
           args.first() != QLatin1String("-")) {
        const QString option = args.takeFirst();
        if (option == QLatin1String("--")) break;
        if (option == QLatin1String("-h") || option == QLatin1String("--help")) {
            help = true;
        } else if (option == QLatin1String("--version")) {
            return Help(QStringLiteral("tripconf-cli %1\n").arg(QCoreApplication::applicationVersion()));
        } else {
            return Usage(QStringLiteral("unknown option %1").arg(option), nullptr);
        }
    }
    if (args.isEmpty()) {
        if (help) return Help(CliOverview());
        Err() << CliOverview();
        Err().flush();
        return 2;
    }
    QString name = args.takeFirst();
    if (name == QLatin1String("help")) {
        if (help || args.isEmpty()) return Help(CliOverview());
        if (args.size() > 1) return Usage(QStringLiteral("help takes one command"), nullptr);
        name = args.takeFirst();
        help = true;
    }
    const TCliCommand *command = FindCliCommand(name);
    if (!command) return Usage(QStringLiteral("unknown command \"%1\"").arg(name), nullptr);
    if (help) return Help(CliCommandHelp(*command));

    try {
        TCliArgs cliArgs(*command, args);
        if (cliArgs.HelpRequested()) return Help(CliCommandHelp(*command));
        if (cliArgs.IsSet("verbose")) EnableLinkLog();
        LangOption(cliArgs);
        return command->run(cliArgs);
    } catch (const TUsageError &e) {
        return Usage(e.message(), command);
    } catch (const Error &e) {
        Err() << "tripconf-cli " << command->name << ": " << e.message() << '\n';
        Err().flush();
        return 1;
    }
}

} // namespace

int main(int argc, char *argv[]) {
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    // Qt Charts draws with widgets, which need a QApplication and a platform; every
    // other command runs on QCoreApplication and never touches a display. Nothing is
    // ever shown, so the charts are drawn offscreen, on a headless machine too.
    std::unique_ptr<QCoreApplication> app;
    if (NeedsWidgets(args)) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(QStringLiteral("tripconf-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TRIPCONF_VERSION));
    return Run(QCoreApplication::arguments().mid(1));
}
