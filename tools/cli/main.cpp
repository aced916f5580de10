// tripconf-cli: the command-line companion of tripconf.

#include "Cli.h"

#include <QCoreApplication>

namespace {

void PrintOverview(QTextStream &to) {
    to << "usage: tripconf-cli COMMAND [OPTIONS]\n\ncommands:\n";
    for (const TCliCommand &c : CliCommands())
        to << "  " << c.name << ' ' << c.usage << "\n      " << c.summary << '\n';
    to << "\nModel codes are decimal or 0x-hex. --json prints JSON instead of a table.\n";
    to.flush();
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty()) {
        PrintOverview(Err());
        return 2;
    }
    const QString name = args.takeFirst();
    if (name == QLatin1String("help") || name == QLatin1String("--help") || name == QLatin1String("-h")) {
        PrintOverview(Out());
        return 0;
    }
    const TCliCommand *command = FindCliCommand(name);
    if (!command) {
        Err() << "tripconf-cli: unknown command \"" << name << "\"\n\n";
        PrintOverview(Err());
        return 2;
    }
    if (args.contains(QLatin1String("--help"))) {
        Out() << "usage: tripconf-cli " << command->name << ' ' << command->usage << '\n'
              << command->summary << '\n';
        Out().flush();
        return 0;
    }
    try {
        TCliArgs cliArgs(args);
        return command->run(cliArgs);
    } catch (const TUsageError &e) {
        Err() << "tripconf-cli " << command->name << ": " << e.message() << "\nusage: tripconf-cli "
              << command->name << ' ' << command->usage << '\n';
        Err().flush();
        return 2;
    } catch (const Error &e) {
        Err() << "tripconf-cli " << command->name << ": " << e.message() << '\n';
        Err().flush();
        return 1;
    }
}
