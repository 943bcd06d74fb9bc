#include <QTest>

#include <map>
#include <string>
#include <vector>

#include "shell/command_line.h"
#include "shell/display_choice.h"

using tallowin::shell::CommandLine;
using namespace Qt::StringLiterals;

namespace {

// "VAR=value ... tallowin args...": the environment first, then argv.
struct Invocation {
    std::map<std::string, std::string> variables;
    std::vector<std::string> argv;
    [[nodiscard]] tallowin::platform::Environment environment() const {
        return [this](const char* name) -> const char* {
            const auto found = variables.find(name);
            return found == variables.end() ? nullptr : found->second.c_str();
        };
    }
};

Invocation invocationOf(const QByteArray& tag) {
    Invocation invocation;
    for (const QByteArray& word : tag.split(' ')) {
        const std::string text = word.toStdString();
        if (invocation.argv.empty() && word.contains('=')) {
            invocation.variables[text.substr(0, text.find('='))] = text.substr(text.find('=') + 1);
        } else {
            invocation.argv.push_back(text);
        }
    }
    return invocation;
}

}  // namespace

class DisplayChoiceTest : public QObject {
    Q_OBJECT

private slots:
    // Each row names a command line, the environment before it: the display
    // argument it chooses, "-" for none, "missing" when Qt would have none,
    // or the action other than a run; and what Qt is handed.
    void readsTheDisplayAsQtWill_data() {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("qtArguments");
        QTest::newRow("tallowin") << u"missing"_s << "";
        QTest::newRow("DISPLAY= tallowin") << u"missing"_s << "";
        QTest::newRow("DISPLAY=:1 tallowin") << u"-"_s << "";
        QTest::newRow("DISPLAY=:1 tallowin -display :2") << u":2"_s << "-display :2";
        QTest::newRow("tallowin -style fusion --display host:0.1 -reverse")
            << u"host:0.1"_s << "-display host:0.1 -style fusion -reverse";
        QTest::newRow("tallowin -display :3 -display :4") << u":4"_s << "-display :4";
        QTest::newRow("tallowin --display=:2") << u":2"_s << "-display :2";
        QTest::newRow("tallowin -display") << u"error"_s << "";
        QTest::newRow("tallowin --bogus") << u"error"_s << "";
        QTest::newRow("DISPLAY=:1 tallowin stray") << u"error"_s << "";
        QTest::newRow("tallowin -h -display :9") << u"help"_s << "";
        QTest::newRow("tallowin --help") << u"help"_s << "";
        QTest::newRow("tallowin -v") << u"version"_s << "";
        QTest::newRow("tallowin --version") << u"version"_s << "";
        QTest::newRow("WAYLAND_DISPLAY=wayland-0 tallowin") << u"-"_s << "";
        QTest::newRow("QT_QPA_PLATFORM=offscreen tallowin") << u"-"_s << "";
        QTest::newRow("QT_QPA_PLATFORM= tallowin --platform offscreen") << u"-"_s << "-platform offscreen";
    }
    void readsTheDisplayAsQtWill() {
        QFETCH(QString, chosen);
        QFETCH(QString, qtArguments);
        const Invocation invocation = invocationOf(QTest::currentDataTag());
        const CommandLine line = tallowin::shell::parseCommandLine(invocation.argv);
        static const std::map<QString, CommandLine::Action> kActions{{"error", CommandLine::Action::usageError},
                                                                     {"help", CommandLine::Action::help},
                                                                     {"version", CommandLine::Action::version}};
        const auto action = kActions.find(chosen);
        QCOMPARE(line.action, action == kActions.end() ? CommandLine::Action::run : action->second);
        QCOMPARE(line.error.empty(), chosen != "error");
        if (action != kActions.end()) {
            return;
        }
        QCOMPARE(line.recorder.value_or(""), invocation.argv.back() == "ssr" ? "ssr" : "");
        std::string handedToQt;
        for (const std::string& word : line.qtArguments) {
            handedToQt += (handedToQt.empty() ? "" : " ") + word;
        }
        QCOMPARE(QString::fromStdString(handedToQt), qtArguments);

        const auto choice = tallowin::shell::chooseDisplay(line, invocation.environment());
#if defined(__APPLE__)
        chosen.replace(QStringLiteral("missing"), QStringLiteral("-"));  // the window server is always there
#else
        if (chosen == "-") {
            QCOMPARE(choice.unreachable.ends_with("DISPLAY is not set"), !invocation.variables.contains("DISPLAY"));
        }
#endif
        const bool missing = choice.missing == "no display: set DISPLAY or pass -display";
        QCOMPARE(QString::fromStdString(missing ? "missing" : choice.argument.value_or("-") + choice.missing), chosen);
    }

    // Under Wayland only sway's socket gives a provider; any other compositor
    // is told plainly, and a named X display is always X11.
    void theSessionDecidesWhatIsSaid_data() {
        QTest::addColumn<QString>("unsupported");
        QTest::addColumn<QString>("unreachable");
        const auto refusal = [](const char* desktop, const char* end) {
            return u"Tallowin cannot move windows on this Wayland desktop"_s + desktop +
                   ". It supports sway, KDE Plasma (KWin) and X11 desktops. On GNOME under Wayland, only a GNOME "
                   "Shell extension can move other applications' windows, and Tallowin has none yet" +
                   end;
        };
        QTest::newRow("WAYLAND_DISPLAY=w SWAYSOCK=/s.sock tallowin")
            << u""_s << "cannot reach sway at SWAYSOCK=/s.sock";
        QTest::newRow("WAYLAND_DISPLAY=w XDG_CURRENT_DESKTOP=ubuntu:GNOME DISPLAY=:0 tallowin")
            << refusal(" (ubuntu:GNOME)", ": log in with \"GNOME on Xorg\" instead.")
            << "cannot reach the window system on display :0";
        QTest::newRow("WAYLAND_DISPLAY=w XDG_CURRENT_DESKTOP=KDE tallowin") << refusal(" (KDE)", ".") << "-";
        QTest::newRow("WAYLAND_DISPLAY=w tallowin") << refusal("", ".") << "-";
        QTest::newRow("WAYLAND_DISPLAY=w tallowin -display :2")
            << u""_s << "cannot reach the window system on display :2";
        QTest::newRow("WAYLAND_DISPLAY= SWAYSOCK=/s.sock DISPLAY=:1 tallowin")
            << u""_s << "cannot reach the window system on display :1";
    }
    void theSessionDecidesWhatIsSaid() {
        QFETCH(QString, unsupported);
        QFETCH(QString, unreachable);
        const Invocation invocation = invocationOf(QTest::currentDataTag());
        const auto choice = tallowin::shell::chooseDisplay(tallowin::shell::parseCommandLine(invocation.argv),
                                                           invocation.environment());
#if !defined(__APPLE__)
        QCOMPARE(QString::fromStdString(choice.unsupported), unsupported);
        if (unreachable != "-") {
            QCOMPARE(QString::fromStdString(choice.unreachable), unreachable);
        }
#endif
    }

    void usageNamesTheProgramAndItsOptions() {
        const std::string usage = tallowin::shell::usageText();
        QVERIFY2(usage.starts_with("Usage: tallowin [options]\n"), usage.c_str());
        for (const char* option : {"--display <display>", "--recorder <name>", "--help", "--version"}) {
            QVERIFY2(usage.find(option) != std::string::npos, option);
        }
        QVERIFY2(usage.find("-style") == std::string::npos, "Qt's own options stay out of the usage");
        QCOMPARE(QString::fromStdString(tallowin::shell::versionText()),
                 QStringLiteral("tallowin " TALLOWIN_VERSION "\n"));
    }
};

QTEST_GUILESS_MAIN(DisplayChoiceTest)
#include "display_choice_test.moc"
