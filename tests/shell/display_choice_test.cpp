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
        QTest::addColumn<bool>("missing");
        QTest::newRow("nothing at all") << QStringList{} << QStringList{} << "-" << true;
        QTest::newRow("empty DISPLAY") << QStringList{} << QStringList{"DISPLAY="} << "-" << true;
        QTest::newRow("DISPLAY") << QStringList{} << QStringList{"DISPLAY=:1"} << "-" << false;
        QTest::newRow("-display wins") << QStringList{"-display", ":2"} << QStringList{"DISPLAY=:1"} << ":2" << false;
        QTest::newRow("--display among other options")
            << QStringList{"-style", "fusion", "--display", "host:0.1", "-reverse"} << QStringList{} << "host:0.1"
            << false;
        QTest::newRow("the last -display")
            << QStringList{"-display", ":3", "-display", ":4"} << QStringList{} << ":4" << false;
        QTest::newRow("-display without a value") << QStringList{"-display"} << QStringList{} << "-" << true;
        QTest::newRow("-display=:2, unknown to Qt") << QStringList{"-display=:2"} << QStringList{} << "-" << true;
        QTest::newRow("Wayland") << QStringList{} << QStringList{"WAYLAND_DISPLAY=wayland-0"} << "-" << false;
        QTest::newRow("QT_QPA_PLATFORM") << QStringList{} << QStringList{"QT_QPA_PLATFORM=offscreen"} << "-" << false;
        QTest::newRow("--platform") << QStringList{"--platform", "offscreen"} << QStringList{"QT_QPA_PLATFORM="} << "-"
                                    << false;
    }
    void readsTheDisplayAsQtWill() {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, environment);
        QFETCH(QString, argument);
        QFETCH(bool, missing);
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
        QCOMPARE(QString::fromStdString(choice.missing),
                 missing ? QStringLiteral("no display: set DISPLAY or pass -display") : QString());
        if (!missing && argument == QStringLiteral("-")) {
            QCOMPARE(choice.unreachable.ends_with("DISPLAY is not set"), !environment.contains("DISPLAY=:1"));
        }
#endif
    }
};

QTEST_GUILESS_MAIN(DisplayChoiceTest)
#include "display_choice_test.moc"
