#include "shell/command_line.h"

#include "shell/qt_workspace.h"

#include <QCommandLineParser>
#include <QStringList>

#include <array>

#ifndef TALLOWIN_VERSION
#error "TALLOWIN_VERSION must name the build's version"
#endif

namespace tallowin::shell {

namespace {

// Options of QGuiApplication, QApplication and the xcb platform that take a
// value; passed on to Qt unchanged.
constexpr std::array kQtValueOptions{"platform",
                                     "platformpluginpath",
                                     "platformtheme",
                                     "plugin",
                                     "qwindowgeometry",
                                     "qwindowicon",
                                     "qwindowtitle",
                                     "session",
                                     "geometry",
                                     "style",
                                     "stylesheet",
                                     "name",
                                     "title",
                                     "visual",
                                     "ncols",
                                     "cmap",
                                     "im"};
constexpr std::array kQtFlagOptions{"reverse", "widgetcount", "nograb", "dograb", "sync"};

QString fromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string toUtf8(const QString& text) { return text.toUtf8().toStdString(); }

// The parser, with every option Tallowin or Qt understands. The option
// objects are kept so that their values can be read back.
struct Parser {
    QCommandLineParser parser;
    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")},
                            QStringLiteral("Shows this help and exits.")};
    QCommandLineOption version{{QStringLiteral("v"), QStringLiteral("version")},
                               QStringLiteral("Shows the version and exits.")};
    QCommandLineOption display{QStringLiteral("display"),
                               QStringLiteral("The X display whose windows are listed and placed, and where "
                                              "Tallowin's window goes (default: $DISPLAY). Also "
                                              "-display, as X programs take it."),
                               QStringLiteral("display")};
    QCommandLineOption recorder{
        QStringLiteral("recorder"),
        QStringLiteral("The recorder that gets the rectangle after Place: obs, ssr, wf-recorder "
                       "(sway) or none, "
                       "remembered for later starts; auto forgets it and picks what runs, "
                       "then what is installed."),
        QStringLiteral("name")};

    Parser() {
        parser.setApplicationDescription(
            QStringLiteral("Places a window at the top-left corner of the screen at 1920x1080 or 1280x720, raised and\n"
                           "ready for a screen recording. Status lines go to standard output."));
        parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
        parser.addOption(help);
        parser.addOption(version);
        parser.addOption(display);
        parser.addOption(recorder);
        for (const char* name : kQtValueOptions) {
            QCommandLineOption option(QString::fromLatin1(name), QString(), QStringLiteral("value"));
            option.setFlags(QCommandLineOption::HiddenFromHelp);
            parser.addOption(option);
        }
        for (const char* name : kQtFlagOptions) {
            QCommandLineOption option(QString::fromLatin1(name), QString());
            option.setFlags(QCommandLineOption::HiddenFromHelp);
            parser.addOption(option);
        }
    }
};

}  // namespace

CommandLine parseCommandLine(const std::vector<std::string>& arguments) {
    QStringList words;
    for (const std::string& argument : arguments) {
        words << fromUtf8(argument);
    }
    if (words.isEmpty()) {
        words << QStringLiteral("tallowin");
    }
    Parser parser;
    CommandLine line;
    if (!parser.parser.parse(words)) {
        line.action = CommandLine::Action::usageError;
        line.error = toUtf8(parser.parser.errorText());
        return line;
    }
    if (!parser.parser.positionalArguments().isEmpty()) {
        line.action = CommandLine::Action::usageError;
        line.error = "Unexpected argument '" + toUtf8(parser.parser.positionalArguments().constFirst()) + "'.";
        return line;
    }
    if (parser.parser.isSet(parser.help)) {
        line.action = CommandLine::Action::help;
        return line;
    }
    if (parser.parser.isSet(parser.version)) {
        line.action = CommandLine::Action::version;
        return line;
    }
    if (parser.parser.isSet(parser.recorder)) {
        line.recorder = toUtf8(parser.parser.values(parser.recorder).constLast());
        if (!QtWorkspace::knownRecorder(*line.recorder)) {
            line.action = CommandLine::Action::usageError;
            line.error = "Unknown recorder '" + *line.recorder + "': use obs, ssr, wf-recorder, none or auto.";
            return line;
        }
    }
    // The last one wins, as with Qt's own reading.
    if (parser.parser.isSet(parser.display)) {
        line.display = toUtf8(parser.parser.values(parser.display).constLast());
        line.qtArguments = {"-display", *line.display};
    }
    for (const char* name : kQtValueOptions) {
        const QStringList values = parser.parser.values(QString::fromLatin1(name));
        if (!values.isEmpty()) {
            line.qtArguments.insert(line.qtArguments.end(), {std::string("-") + name, toUtf8(values.constLast())});
        }
    }
    for (const char* name : kQtFlagOptions) {
        if (parser.parser.isSet(QString::fromLatin1(name))) {
            line.qtArguments.push_back(std::string("-") + name);
        }
    }
    line.platformChosen = parser.parser.isSet(QStringLiteral("platform"));
    return line;
}

std::string usageText() {
    Parser parser;
    std::string text = toUtf8(parser.parser.helpText());
    // Qt names the program as it was started, or not at all before an
    // application object exists; the usage names the command.
    text.replace(0, text.find('\n'), "Usage: tallowin [options]");
    return text;
}

std::string versionText() { return std::string("tallowin ") + TALLOWIN_VERSION + "\n"; }

}  // namespace tallowin::shell
