#include <QTest>

#include <map>
#include <string>
#include <vector>

#include "shell/display_choice.h"

using tallowin::shell::chooseDisplay;

class DisplayChoiceTest : public QObject {
    Q_OBJECT

private slots:
    void readsTheDisplayAsQtWill_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("environment");
        QTest::addColumn<QString>("argument");  // "-" for none
        QTest::addColumn<QString>("missing");
        QTest::addColumn<QString>("unreachable");
        const QString none = QStringLiteral("-");
        const QString noDisplay = QStringLiteral("no display: set DISPLAY or pass -display");
        QTest::newRow("nothing at all") << QStringList{} << QStringList{} << none << noDisplay
                                        << "cannot reach the window system: DISPLAY is not set";
        QTest::newRow("empty DISPLAY") << QStringList{} << QStringList{"DISPLAY="} << none << noDisplay
                                       << "cannot reach the window system: DISPLAY is not set";
        QTest::newRow("DISPLAY") << QStringList{} << QStringList{"DISPLAY=:1"} << none << QString()
                                 << "cannot reach the window system on display :1";
        QTest::newRow("-display wins over DISPLAY")
            << QStringList{"-display", ":2"} << QStringList{"DISPLAY=:1"} << ":2" << QString()
            << "cannot reach the window system on display :2";
        QTest::newRow("--display, among other options")
            << QStringList{"-style", "fusion", "--display", "host:0.1", "-reverse"} << QStringList{} << "host:0.1"
            << QString() << "cannot reach the window system on display host:0.1";
        QTest::newRow("the last -display counts")
            << QStringList{"-display", ":3", "-display", ":4"} << QStringList{} << ":4" << QString()
            << "cannot reach the window system on display :4";
        QTest::newRow("-display without a value") << QStringList{"-display"} << QStringList{} << none << noDisplay
                                                  << "cannot reach the window system: DISPLAY is not set";
        QTest::newRow("-display=:2 is no option Qt knows")
            << QStringList{"-display=:2"} << QStringList{} << none << noDisplay
            << "cannot reach the window system: DISPLAY is not set";
        QTest::newRow("a value that looks like -platform")
            << QStringList{"-display", "-platform"} << QStringList{} << "-platform" << QString()
            << "cannot reach the window system on display -platform";
        QTest::newRow("Wayland") << QStringList{} << QStringList{"WAYLAND_DISPLAY=wayland-0"} << none << QString()
                                 << "cannot reach the window system: DISPLAY is not set";
        QTest::newRow("QT_QPA_PLATFORM") << QStringList{} << QStringList{"QT_QPA_PLATFORM=offscreen"} << none
                                         << QString() << "cannot reach the window system: DISPLAY is not set";
        QTest::newRow("-platform") << QStringList{"--platform", "offscreen"} << QStringList{"QT_QPA_PLATFORM="} << none
                                   << QString() << "cannot reach the window system: DISPLAY is not set";
    }
    void readsTheDisplayAsQtWill() {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, environment);
        QFETCH(QString, argument);
        QFETCH(QString, missing);
        QFETCH(QString, unreachable);
        std::vector<std::string> texts{"tallowin"};
        for (const auto& text : arguments) {
            texts.push_back(text.toStdString());
        }
        std::vector<const char*> argv;
        for (const auto& text : texts) {
            argv.push_back(text.c_str());
        }
        std::map<std::string, std::string> variables;
        for (const auto& variable : environment) {
            variables[variable.section('=', 0, 0).toStdString()] = variable.section('=', 1).toStdString();
        }

        const auto choice = chooseDisplay(argv, [&](const char* name) -> const char* {
            const auto found = variables.find(name);
            return found == variables.end() ? nullptr : found->second.c_str();
        });

        QCOMPARE(choice.argument.has_value(), argument != QStringLiteral("-"));
        if (choice.argument) {
            QCOMPARE(QString::fromStdString(*choice.argument), argument);
        }
#if !defined(__APPLE__)
        QCOMPARE(QString::fromStdString(choice.missing), missing);
        QCOMPARE(QString::fromStdString(choice.unreachable), unreachable);
#endif
    }
};

QTEST_GUILESS_MAIN(DisplayChoiceTest)
#include "display_choice_test.moc"
