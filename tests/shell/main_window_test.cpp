#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <algorithm>

#include "app/app_delegate.h"
#include "app/view_controller.h"
#include "shell/delegate_bridge.h"
#include "shell/main_view.h"
#include "tests/shell/shell_rig.h"

using tallowin::doubles::FakeAXWindow;
using tallowin::doubles::ScriptedAttribute;
using tallowin::doubles::WindowEntry;
using tallowin::shell::ShellRig;

namespace {

constexpr pid_t kAlphaPid = 101;
const WindowEntry kAlpha{.number = 11, .pid = kAlphaPid, .name = "Alpha", .owner = "Apps"};
const WindowEntry kBeta{.number = 12, .pid = 102, .name = "Beta", .owner = "Apps"};
const WindowEntry kGamma{.number = 13, .pid = 103, .name = "Gamma", .owner = "Apps"};

// What the screen-recording question saw of the window, which it is asked
// from inside viewDidLoad.
class WindowWitness final : public tallowin::platform::ScreenCapturePermission {
public:
    int calls = 0;
    bool windowExisted = false;
    bool windowWasVisible = true;
    int resolutionRows = -1;

    bool preflightScreenCaptureAccess() override {
        ++calls;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->windowTitle() == QStringLiteral("Tallowin")) {
                windowExisted = true;
                windowWasVisible = widget->isVisible();
                resolutionRows = widget->findChild<QComboBox*>(QStringLiteral("resolutionComboBox"))->count();
            }
        }
        return true;
    }
    bool requestScreenCaptureAccess() override { return true; }
};

// The window that the placement finds for kAlpha: same title start, place and size.
FakeAXWindow matchingWindowOf(const WindowEntry& entry) {
    FakeAXWindow window;
    window.title = ScriptedAttribute::title(*entry.name);
    window.position = ScriptedAttribute::point(*entry.x, *entry.y);
    window.size = ScriptedAttribute::size(*entry.width, *entry.height);
    return window;
}

bool appearInOrder(const std::vector<std::string>& log, const std::vector<std::string>& wanted) {
    auto at = log.begin();
    for (const auto& entry : wanted) {
        at = std::find(at, log.end(), entry);
        if (at == log.end()) {
            return false;
        }
        ++at;
    }
    return true;
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void opensWithThePresetChosenAndTheListFilled() {
        ShellRig rig;
        rig.setWindows({kGamma, kAlpha, kBeta});
        QVERIFY(rig.open());

        QCOMPARE(rig.window().windowTitle(), QStringLiteral("Tallowin"));
        QCOMPARE(rig.resolutionComboBox().count(), 2);
        QCOMPARE(rig.resolutionComboBox().itemText(0), QStringLiteral("1920x1080"));
        QCOMPARE(rig.resolutionComboBox().itemText(1), QStringLiteral("1280x720"));
        QCOMPARE(rig.resolutionComboBox().currentText(), QStringLiteral("1920x1080"));
        QCOMPARE(rig.windowRows(), (QStringList{"Alpha - Apps", "Beta - Apps", "Gamma - Apps"}));
        QCOMPARE(rig.windowComboBox().currentIndex(), 0);
        QCOMPARE(rig.shell->controller().selectedWindowId(), std::optional<std::uint32_t>(11));
        QCOMPARE(rig.messageLabel().text(), QString());
    }

    void theMessageLineShowsWhatThePermissionGatesSay_data() {
        QTest::addColumn<bool>("screenRecording");
        QTest::addColumn<bool>("trusted");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("rows");
        QTest::newRow("both granted") << true << true << QString() << 1;
        QTest::newRow("not trusted") << true << false << QStringLiteral("Accessibility Permission not granted") << 0;
        QTest::newRow("recording refused")
            << false << true << QStringLiteral("Screen Recording Permission not granted") << 0;
    }
    void theMessageLineShowsWhatThePermissionGatesSay() {
        QFETCH(bool, screenRecording);
        QFETCH(bool, trusted);
        QFETCH(QString, message);
        QFETCH(int, rows);
        ShellRig rig;
        rig.setWindows({kAlpha});
        rig.screenCapture.preflightAnswer = screenRecording;
        rig.screenCapture.requestAnswer = screenRecording;
        rig.accessibility.trusted = trusted;
        QVERIFY(rig.open());
        QCOMPARE(rig.messageLabel().text(), message);
        QCOMPARE(rig.windowComboBox().count(), rows);
        QCOMPARE(rig.resolutionComboBox().currentText(), QStringLiteral("1920x1080"));
    }

    void viewDidLoadComesOnceWithOutletsConnectedBeforeTheFirstShow() {
        ShellRig rig;
        WindowWitness witness;
        rig.start(&witness);
        QCOMPARE(witness.calls, 1);
        QVERIFY(witness.windowExisted);
        QVERIFY2(!witness.windowWasVisible, "viewDidLoad must come before the window is shown");
        QCOMPARE(witness.resolutionRows, 2);

        rig.shell->show();
        QVERIFY(QTest::qWaitForWindowExposed(&rig.window()));
        rig.window().hide();
        rig.shell->show();
        QVERIFY(QTest::qWaitForWindowExposed(&rig.window()));
        QCOMPARE(witness.calls, 1);
    }

    void aUserPickSurvivesARefreshThatMovesRows() {
        ShellRig rig;
        rig.setWindows({kAlpha, kBeta, kGamma});
        QVERIFY(rig.open());
        QSignalSpy picks(&rig.windowComboBox(), &QComboBox::activated);

        QTest::keyClick(&rig.windowComboBox(), Qt::Key_Down);
        QTest::keyClick(&rig.windowComboBox(), Qt::Key_Down);
        QCOMPARE(picks.count(), 2);
        QCOMPARE(rig.shell->controller().selectedWindowId(), std::optional<std::uint32_t>(13));

        // Gamma is renamed so that it sorts first; its window number stays.
        WindowEntry renamed = kGamma;
        renamed.name = "Aardvark";
        rig.setWindows({kAlpha, kBeta, renamed});
        rig.timers.advanceSeconds(5.0);

        QCOMPARE(rig.windowRows(), (QStringList{"Aardvark - Apps", "Alpha - Apps", "Beta - Apps"}));
        QCOMPARE(rig.windowComboBox().currentIndex(), 0);
        QCOMPARE(rig.shell->controller().selectedWindowId(), std::optional<std::uint32_t>(13));
        QCOMPARE(picks.count(), 2);  // refills are no picks
    }

    void aPickThatVanishesFallsBackToTheFirstRow() {
        ShellRig rig;
        rig.setWindows({kAlpha, kBeta, kGamma});
        QVERIFY(rig.open());
        QTest::keyClick(&rig.windowComboBox(), Qt::Key_End);
        QCOMPARE(rig.shell->controller().selectedWindowId(), std::optional<std::uint32_t>(13));

        rig.setWindows({kAlpha, kBeta});
        rig.timers.advanceSeconds(5.0);
        QCOMPARE(rig.windowComboBox().currentIndex(), 0);
        QCOMPARE(rig.shell->controller().selectedWindowId(), std::optional<std::uint32_t>(11));

        rig.setWindows({});
        rig.timers.advanceSeconds(5.0);
        QCOMPARE(rig.windowComboBox().count(), 0);
        QCOMPARE(rig.windowComboBox().currentIndex(), -1);
        QVERIFY(!rig.shell->controller().selectedWindowId().has_value());
    }

    void placePlacesTheChosenWindowAndMinimizes_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("mouse") << QStringLiteral("mouse");
        QTest::newRow("Return") << QStringLiteral("Return");
        QTest::newRow("keypad Enter") << QStringLiteral("Enter");
        QTest::newRow("Return on the button") << QStringLiteral("Return on button");
    }
    void placePlacesTheChosenWindowAndMinimizes() {
        QFETCH(QString, how);
        ShellRig rig;
        rig.setWindows({kAlpha, kBeta});
        rig.accessibility.applications[kAlphaPid].windows.push_back(matchingWindowOf(kAlpha));
        QVERIFY(rig.open());
        rig.output.lines.clear();
        rig.log.entries.clear();

        if (how == QStringLiteral("mouse")) {
            QTest::mouseClick(&rig.placeButton(), Qt::LeftButton);
        } else if (how == QStringLiteral("Return")) {
            QCOMPARE(QApplication::focusWidget(), &rig.windowComboBox());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        } else if (how == QStringLiteral("Enter")) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter, Qt::KeypadModifier);
        } else {
            rig.placeButton().setFocus();
            QTest::keyClick(&rig.placeButton(), Qt::Key_Return);
        }

        // x, y, width and height of kAlpha are 10, 40, 800 and 600.
        const std::vector<std::string> expected = {
            "Window title: Alpha",
            "x=10.0 y=40.0",
            "w.x=10.0 w.y=40.0",
            "width=800.0 height=600.0",
            "Window successfully brought to front.",
            "Main window minimized",
        };
        QCOMPARE(rig.output.lines, expected);
        QTRY_VERIFY(rig.window().isMinimized());

        const auto& placed = rig.accessibility.applications[kAlphaPid].windows.front();
        QCOMPARE(placed.positionsSet, (std::vector<std::pair<double, double>>{{0.0, 0.0}}));
        QCOMPARE(placed.sizesSet, (std::vector<std::pair<double, double>>{{1920.0, 1080.0}}));
        QCOMPARE(placed.raises, 1);
        const tallowin::platform::IntegerDictionary selection = {
            {"X", 0}, {"Y", 24}, {"Width", 1920}, {"Height", 1080}};
        QCOMPARE(rig.preferences.stored["com.apple.screencapture"]["last-selection"], selection);
        QVERIFY(appearInOrder(rig.log.entries, {
                                                   "prefs set: com.apple.screencapture last-selection",
                                                   "out: Window successfully brought to front.",
                                                   "out: Main window minimized",
                                                   "open: /System/Applications/Utilities/Screenshot.app",
                                               }));
        QCOMPARE(rig.accessibility.liveElements(), 0);
        QCOMPARE(rig.accessibility.liveValues(), 0);
    }

    void placeUsesTheChosenResolution() {
        ShellRig rig;
        rig.setWindows({kAlpha});
        rig.accessibility.applications[kAlphaPid].windows.push_back(matchingWindowOf(kAlpha));
        QVERIFY(rig.open());
        QTest::keyClick(&rig.resolutionComboBox(), Qt::Key_Down);
        QCOMPARE(rig.resolutionComboBox().currentText(), QStringLiteral("1280x720"));
        QTest::mouseClick(&rig.placeButton(), Qt::LeftButton);
        const auto& placed = rig.accessibility.applications[kAlphaPid].windows.front();
        QCOMPARE(placed.sizesSet, (std::vector<std::pair<double, double>>{{1280.0, 720.0}}));
    }

    void placeWithNothingListedSaysSo() {
        ShellRig rig;
        QVERIFY(rig.open());
        rig.output.lines.clear();
        QTest::keyClick(&rig.windowComboBox(), Qt::Key_Return);
        QCOMPARE(rig.output.lines, std::vector<std::string>{"No selection."});
        QVERIFY(!rig.window().isMinimized());
        QVERIFY(rig.workspace.opened.empty());
    }

    void theRefreshKeepsTickingWhileMinimized() {
        ShellRig rig;
        rig.setWindows({kAlpha});
        QVERIFY(rig.open());
        rig.window().showMinimized();
        QTRY_VERIFY(rig.window().isMinimized());

        const auto snapshots = rig.windowList.calls.size();
        rig.setWindows({kAlpha, kBeta});
        rig.timers.advanceSeconds(15.0);
        QCOMPARE(rig.windowList.calls.size(), snapshots + 3);
        QCOMPARE(rig.windowRows(), (QStringList{"Alpha - Apps", "Beta - Apps"}));
        QCOMPARE(rig.timers.liveTimers(), 1);
    }

    void closingTheWindowStopsTheRefresh() {
        ShellRig rig;
        rig.setWindows({kAlpha});
        QVERIFY(rig.open());
        QVERIFY(rig.window().close());
        QCOMPARE(rig.timers.liveTimers(), 0);
        const auto snapshots = rig.windowList.calls.size();
        rig.timers.advanceSeconds(20.0);
        QCOMPARE(rig.windowList.calls.size(), snapshots);
    }

    void closingWhileWaitingForAccessibilityKeepsThePoll() {
        ShellRig rig;
        rig.setWindows({kAlpha});
        rig.accessibility.trusted = false;
        QVERIFY(rig.open());
        QVERIFY(rig.window().close());
        rig.accessibility.trusted = true;
        rig.timers.advanceSeconds(5.0);
        QCOMPARE(rig.timers.liveTimers(), 1);  // the refresh, started by the poll
    }

    void theKeyboardReachesEveryControlInReadingOrder() {
        ShellRig rig;
        rig.setWindows({kAlpha, kBeta});
        QVERIFY(rig.open());
        QCOMPARE(QApplication::focusWidget(), &rig.windowComboBox());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), &rig.resolutionComboBox());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), &rig.placeButton());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), &rig.windowComboBox());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), &rig.placeButton());
        QVERIFY(rig.placeButton().isDefault());
    }

    void theControlsAreLabelledAndTakeNoTypedText() {
        ShellRig rig;
        rig.setWindows({kAlpha});
        QVERIFY(rig.open());
        QVERIFY(!rig.windowComboBox().isEditable());
        QVERIFY(!rig.resolutionComboBox().isEditable());
        QTest::keyClicks(&rig.resolutionComboBox(), "9999x1");
        QCOMPARE(rig.resolutionComboBox().count(), 2);
        QCOMPARE(rig.resolutionComboBox().currentText(), QStringLiteral("1920x1080"));

        const QList<QWidget*> controls = {&rig.windowComboBox(), &rig.resolutionComboBox(), &rig.messageLabel(),
                                          &rig.placeButton()};
        QStringList names;
        for (QWidget* control : controls) {
            names.append(control->accessibleName());
        }
        QCOMPARE(names, (QStringList{"Window", "Resolution", "Status", "Place"}));
        QCOMPARE(QAccessible::queryAccessibleInterface(&rig.placeButton())->text(QAccessible::Name),
                 QStringLiteral("Place"));

        // Screen readers on Linux name a combo box by the label it is labelled by.
        const QList<std::pair<QComboBox*, QString>> labelled = {{&rig.windowComboBox(), "Window:"},
                                                                {&rig.resolutionComboBox(), "Resolution:"}};
        for (const auto& [comboBox, label] : labelled) {
            QStringList labels;
            const auto relations = QAccessible::queryAccessibleInterface(comboBox)->relations(QAccessible::Label);
            for (const auto& relation : relations) {
                labels.append(relation.first->text(QAccessible::Name));
            }
            QVERIFY2(labels.contains(label), qPrintable(labels.join(", ")));
        }
    }

    void theWindowIsSizedByItsLayout() {
        ShellRig rig;
        rig.setWindows({kAlpha});
        QVERIFY(rig.open());
        const QSize size = rig.window().size();
        QVERIFY(size.width() >= rig.window().minimumSizeHint().width());
        QVERIFY(size.height() >= rig.window().minimumSizeHint().height());
        QVERIFY2(size.width() < 1000 && size.height() < 400, "a small utility window");
        const QRect place = rig.placeButton().geometry();
        QVERIFY(!place.intersects(rig.windowComboBox().geometry()));
        QVERIFY(!place.intersects(rig.resolutionComboBox().geometry()));
        QVERIFY(rig.window().rect().contains(place));
    }

    void aLongTitleDoesNotWidenTheWindow() {
        ShellRig rig;
        WindowEntry longTitle = kAlpha;
        longTitle.name = std::string(2000, 'W');
        rig.setWindows({longTitle});
        QVERIFY(rig.open());
        QVERIFY(rig.window().width() < 1000);
        QCOMPARE(rig.windowComboBox().itemText(0).size(), 2000 + qsizetype{7});
    }

    // Last: it runs the application's event loop to its end.
    void closingTheMainWindowQuits() {
        static tallowin::AppDelegate delegate;
        tallowin::shell::attachDelegate(*qApp, delegate);
        QCOMPARE(QGuiApplication::quitOnLastWindowClosed(), delegate.applicationShouldTerminateAfterLastWindowClosed());

        ShellRig rig;
        QVERIFY(rig.open());
        QTimer::singleShot(0, &rig.window(), [&rig] { rig.window().close(); });
        QTimer guard;  // stops with this test, whatever the outcome
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(2); });
        guard.start(10000);
        const int status = QApplication::exec();
        QCOMPARE(status, 0);
        QCOMPARE(rig.timers.liveTimers(), 0);
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
