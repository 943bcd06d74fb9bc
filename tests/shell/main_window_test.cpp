#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

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

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void viewDidLoadComesOnceWithOutletsConnectedBeforeTheFirstShow() {
        ShellRig rig;
        WindowWitness witness;
        rig.accessibility.trusted = false;
        rig.start(&witness);
        QCOMPARE(witness.calls, 1);
        QVERIFY(witness.windowExisted);
        QVERIFY2(!witness.windowWasVisible, "viewDidLoad must come before the window is shown");
        QCOMPARE(witness.resolutionRows, 2);
        QCOMPARE(rig.messageLabel().text(), QStringLiteral("Accessibility Permission not granted"));

        rig.shell->show();
        QVERIFY(QTest::qWaitForWindowExposed(&rig.window()));
        rig.window().hide();
        rig.shell->show();
        QVERIFY(QTest::qWaitForWindowExposed(&rig.window()));
        QCOMPARE(witness.calls, 1);
    }

    // Ticks that come while the list is open wait for it to close; the
    // user's highlight, and the pick made by closing on it, survive them.
    void aRefreshWaitsUntilTheOpenListCloses_data() {
        QTest::addColumn<int>("closingKey");
        QTest::addColumn<int>("selectedRow");
        QTest::newRow("Return picks the highlighted row") << int{Qt::Key_Return} << 31;
        QTest::newRow("Escape keeps the earlier pick") << int{Qt::Key_Escape} << 1;
    }
    void aRefreshWaitsUntilTheOpenListCloses() {
        QFETCH(int, closingKey);
        QFETCH(int, selectedRow);
        ShellRig rig;
        std::vector<WindowEntry> windows;
        for (int i = 0; i < 60; ++i) {
            windows.push_back(
                {.number = 100 + i, .name = QStringLiteral("Window %1").arg(i, 2, 10, QChar('0')).toStdString()});
        }
        rig.setWindows(windows);
        QVERIFY(rig.open());
        const auto snapshots = rig.windowList.calls.size();

        QTest::keyClick(&rig.windowComboBox(), Qt::Key_Down, Qt::AltModifier);
        QAbstractItemView* list = rig.windowComboBox().view();
        QTRY_VERIFY(list->isVisible());
        for (int i = 0; i < 30; ++i) {
            QTest::keyClick(list, Qt::Key_Down);
        }
        QCOMPARE(list->currentIndex().row(), 30);

        // A window that sorts first appears; three ticks pass.
        windows.push_back({.number = 99, .name = "Aardvark"});
        rig.setWindows(windows);
        rig.timers.advanceSeconds(15.0);
        QCoreApplication::processEvents();
        QCOMPARE(rig.windowList.calls.size(), snapshots);
        QCOMPARE(list->currentIndex().row(), 30);
        QVERIFY(list->isVisible());

        QTest::keyClick(list, static_cast<Qt::Key>(closingKey));
        QTRY_COMPARE(rig.windowList.calls.size(), snapshots + 1);
        QCOMPARE(rig.windowComboBox().itemText(0), QStringLiteral("Aardvark - App"));
        QCOMPARE(rig.windowComboBox().currentIndex(), selectedRow);
        QCOMPARE(rig.shell->controller().selectedWindowId(), std::optional<std::uint32_t>(100 + selectedRow - 1));

        // Held ticks run once; the timer then goes on as before.
        QTest::qWait(20);
        QCOMPARE(rig.windowList.calls.size(), snapshots + 1);
        rig.timers.advanceSeconds(5.0);
        QCOMPARE(rig.windowList.calls.size(), snapshots + 2);
    }

    void placePlacesTheChosenWindowAndMinimizes_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("resolutionRow");
        QTest::addColumn<double>("width");
        QTest::newRow("mouse, 1280x720") << QStringLiteral("mouse") << 1 << 1280.0;
        QTest::newRow("Return") << QStringLiteral("Return") << 0 << 1920.0;
        QTest::newRow("keypad Enter") << QStringLiteral("Enter") << 0 << 1920.0;
        QTest::newRow("Return on the button") << QStringLiteral("Return on button") << 0 << 1920.0;
    }
    void placePlacesTheChosenWindowAndMinimizes() {
        QFETCH(QString, how);
        QFETCH(int, resolutionRow);
        QFETCH(double, width);
        ShellRig rig;
        rig.setWindows({kAlpha, kBeta});
        rig.accessibility.applications[kAlphaPid].windows.push_back(matchingWindowOf(kAlpha));
        QVERIFY(rig.open());
        if (resolutionRow != 0) {
            QTest::keyClick(&rig.resolutionComboBox(), Qt::Key_Down);
            QCOMPARE(rig.resolutionComboBox().currentIndex(), resolutionRow);
            rig.windowComboBox().setFocus();
        }

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

        QCOMPARE(rig.output.lines.back(), std::string("Main window minimized"));
        QTRY_VERIFY(rig.window().isMinimized());
        const auto& placed = rig.accessibility.applications[kAlphaPid].windows.front();
        QCOMPARE(placed.sizesSet, (std::vector<std::pair<double, double>>{{width, width * 9 / 16}}));
        QCOMPARE(rig.workspace.opened.size(), std::size_t{1});

        // Minimizing is no closing: the list stays fresh for the next Place.
        rig.setWindows({kBeta});
        rig.timers.advanceSeconds(5.0);
        QCOMPARE(rig.windowRows(), QStringList{"Beta - Apps"});
    }

    void closingTheWindowStopsTheRefresh() {
        ShellRig rig;
        rig.setWindows({kAlpha});
        QVERIFY(rig.open());
        QVERIFY(rig.window().close());
        QCOMPARE(rig.timers.liveTimers(), 0);
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

    void opensFilledWithLabelledControlsThatTakeNoTypedText() {
        ShellRig rig;
        rig.setWindows({kBeta, kAlpha});
        QVERIFY(rig.open());
        QCOMPARE(rig.window().windowTitle(), QStringLiteral("Tallowin"));
        QCOMPARE(rig.windowRows(), (QStringList{"Alpha - Apps", "Beta - Apps"}));
        QCOMPARE(rig.windowComboBox().currentIndex(), 0);
        QCOMPARE(rig.messageLabel().text(), QString());
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

    void theWindowIsSizedByItsLayoutNotByLongTitles() {
        ShellRig rig;
        WindowEntry longTitle = kAlpha;
        longTitle.name = std::string(2000, 'W');
        rig.setWindows({longTitle});
        QVERIFY(rig.open());
        const QSize size = rig.window().size();
        QVERIFY(size.width() >= rig.window().minimumSizeHint().width());
        QVERIFY(size.height() >= rig.window().minimumSizeHint().height());
        QVERIFY2(size.width() < 1000 && size.height() < 400, "a small utility window");
        const QRect place = rig.placeButton().geometry();
        QVERIFY(!place.intersects(rig.windowComboBox().geometry()));
        QVERIFY(!place.intersects(rig.resolutionComboBox().geometry()));
        QVERIFY(rig.window().rect().contains(place));
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
