#include <QTest>

#include <map>
#include <vector>

#include "shell/display_choice.h"

class DisplayChoiceTest : public QObject {
    Q_OBJECT

private slots:
    // Each row names a command line, the environment before it: the display
    // argument it chooses, "-" for none, or "missing" when Qt would have none.
    void readsTheDisplayAsQtWill_data() {
        QTest::addColumn<QString>("chosen");
        QTest::newRow("tallowin") << "missing";
        QTest::newRow("DISPLAY= tallowin") << "missing";
        QTest::newRow("DISPLAY=:1 tallowin") << "-";
        QTest::newRow("DISPLAY=:1 tallowin -display :2") << ":2";
        QTest::newRow("tallowin -style fusion --display host:0.1 -reverse") << "host:0.1";
        QTest::newRow("tallowin -display :3 -display :4") << ":4";
        QTest::newRow("tallowin -display") << "missing";
        QTest::newRow("tallowin -display=:2") << "missing";  // unknown to Qt
        QTest::newRow("WAYLAND_DISPLAY=wayland-0 tallowin") << "-";
        QTest::newRow("QT_QPA_PLATFORM=offscreen tallowin") << "-";
        QTest::newRow("QT_QPA_PLATFORM= tallowin --platform offscreen") << "-";
    }
    void readsTheDisplayAsQtWill() {
        QFETCH(QString, chosen);
        std::vector<const char*> argv;
        std::map<QByteArray, QByteArray> variables;
        const QList<QByteArray> words = QByteArray(QTest::currentDataTag()).split(' ');
        for (const QByteArray& word : words) {
            if (argv.empty() && word.contains('=')) {
                variables[word.left(word.indexOf('='))] = word.mid(word.indexOf('=') + 1);
            } else {
                argv.push_back(word.constData());
            }
        }
        const auto choice = tallowin::shell::chooseDisplay(argv, [&](const char* name) -> const char* {
            const auto found = variables.find(name);
            return found == variables.end() ? nullptr : found->second.constData();
        });

#if defined(__APPLE__)
        chosen.replace(QStringLiteral("missing"), QStringLiteral("-"));  // the window server is always there
#else
        if (chosen == "-") {
            QCOMPARE(choice.unreachable.ends_with("DISPLAY is not set"), words[0] != "DISPLAY=:1");
        }
#endif
        const bool missing = choice.missing == "no display: set DISPLAY or pass -display";
        QCOMPARE(QString::fromStdString(missing ? "missing" : choice.argument.value_or("-") + choice.missing), chosen);
    }
};

QTEST_GUILESS_MAIN(DisplayChoiceTest)
#include "display_choice_test.moc"
