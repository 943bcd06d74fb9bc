#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <map>

#include "app/app_delegate.h"
#include "app/view_controller.h"
#include "shell/application_shell.h"
#include "shell/command_line.h"
#include "shell/delegate_bridge.h"
#include "shell/display_choice.h"
#include "shell/main_view.h"
#include "shell/window_menu.h"
#include "tests/doubles/doubles.h"

using namespace tallowin;
using doubles::WindowEntry;
using shell::CommandLine;
using shell::MainView;
using namespace Qt::StringLiterals;

namespace {

constexpr pid_t kAlphaPid = 101;
const WindowEntry kAlpha{.number = 11, .pid = kAlphaPid, .name = "Alpha", .owner = "Apps"};
const WindowEntry kBeta{.number = 12, .pid = 102, .name = "Beta", .owner = "Apps"};

// The application shell over in-memory services and a virtual clock.
struct Rig {
    doubles::ScriptedWindowListSource windowList;
    doubles::ScriptedScreenCapture screenCapture;
    doubles::FakeAccessibility accessibility;
    doubles::FakePreferences preferences;
    doubles::VirtualTimerFactory timers;
    doubles::FakeWorkspace workspace;
    doubles::RecordingOutput output;
    doubles::ServicesProvider system{windowList, screenCapture, accessibility, preferences};
    std::unique_ptr<shell::ApplicationShell> shell;
    MainView* view = nullptr;

    // viewDidLoad runs here.
    void start() {
        shell = std::make_unique<shell::ApplicationShell>(system, timers, workspace, output);
        view = &shell->view();
    }
    bool open(const std::vector<WindowEntry>& entries) {
        windowList.list = doubles::windowList(entries);
        start();
        shell->show();
        view->activateWindow();
        return QTest::qWaitForWindowActive(view);
    }
};

// "VAR=value ... tallowin args...": the environment first, then argv.
struct Invocation {
    std::map<std::string, std::string> variables;
    std::vector<std::string> argv;
    [[nodiscard]] platform::Environment environment() const {
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

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void viewDidLoadComesOnceWithOutletsConnectedBeforeTheFirstShow() {
        Rig rig;
        rig.accessibility.trusted = false;
        QStringList seen;  // of the window, by the screen-recording question viewDidLoad asks
        rig.screenCapture.onPreflight = [&seen] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                if (const auto* view = dynamic_cast<MainView*>(widget)) {
                    const int rows = view->resolutionComboBox()->count();
                    seen.append(QStringLiteral("visible %1, %2 sizes").arg(int{view->isVisible()}).arg(rows));
                }
            }
        };
        rig.start();
        QCOMPARE(seen, QStringList{"visible 0, 2 sizes"});
        QCOMPARE(rig.view->messageLabel()->text(), QStringLiteral("Accessibility Permission not granted"));
        for (int shown = 0; shown < 2; ++shown) {
            rig.shell->show();
            QVERIFY(QTest::qWaitForWindowExposed(rig.view));
            rig.view->hide();
        }
        QCOMPARE(seen.size(), 1);
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
        Rig rig;
        std::vector<WindowEntry> windows;
        for (int i = 0; i < 60; ++i) {
            windows.push_back(
                {.number = 100 + i, .name = QStringLiteral("Window %1").arg(i, 2, 10, QChar('0')).toStdString()});
        }
        QVERIFY(rig.open(windows));
        const auto snapshots = rig.windowList.calls.size();
        QComboBox* comboBox = rig.view->windowComboBox();
        QTest::keyClick(comboBox, Qt::Key_Down, Qt::AltModifier);
        QAbstractItemView* list = comboBox->view();
        QTRY_VERIFY(list->isVisible());
        list->setCurrentIndex(list->model()->index(30, 0));

        // A window that sorts first appears; three ticks pass.
        windows.push_back({.number = 99, .name = "Aardvark"});
        rig.windowList.list = doubles::windowList(windows);
        rig.timers.advanceSeconds(15.0);
        QCoreApplication::processEvents();
        QCOMPARE(rig.windowList.calls.size(), snapshots);
        QCOMPARE(list->currentIndex().row(), 30);
        QVERIFY(list->isVisible());

        QTest::keyClick(list, static_cast<Qt::Key>(closingKey));
        QTRY_COMPARE(rig.windowList.calls.size(), snapshots + 1);
        QCOMPARE(comboBox->itemText(0), QStringLiteral("Aardvark - App"));
        QCOMPARE(comboBox->currentIndex(), selectedRow);
        QCOMPARE(rig.shell->controller().selectedWindowId(), std::optional<std::uint32_t>(100 + selectedRow - 1));

        // Held ticks run once; the timer then goes on as before.
        QTest::qWait(20);
        QCOMPARE(rig.windowList.calls.size(), snapshots + 1);
        rig.timers.advanceSeconds(5.0);
        QCOMPARE(rig.windowList.calls.size(), snapshots + 2);
    }

    void placePlacesTheChosenWindowAndMinimizes_data() {
        QTest::addColumn<int>("key");  // 0: a mouse click
        QTest::addColumn<bool>("onButton");
        QTest::addColumn<double>("width");
        QTest::newRow("mouse, 1280x720") << 0 << true << 1280.0;
        QTest::newRow("Return") << int{Qt::Key_Return} << false << 1920.0;
        QTest::newRow("keypad Enter") << int{Qt::Key_Enter} << false << 1920.0;
        QTest::newRow("Return on the button") << int{Qt::Key_Return} << true << 1920.0;
    }
    void placePlacesTheChosenWindowAndMinimizes() {
        QFETCH(int, key);
        QFETCH(bool, onButton);
        QFETCH(double, width);
        Rig rig;
        auto& windows = rig.accessibility.applications[kAlphaPid].windows;
        windows.push_back({.title = doubles::ScriptedAttribute::title("Alpha"),
                           .position = doubles::ScriptedAttribute::point(*kAlpha.x, *kAlpha.y),
                           .size = doubles::ScriptedAttribute::size(*kAlpha.width, *kAlpha.height)});
        QVERIFY(rig.open({kAlpha, kBeta}));
        if (width != 1920.0) {
            QTest::keyClick(rig.view->resolutionComboBox(), Qt::Key_Down);
        }
        QWidget* target = onButton ? static_cast<QWidget*>(rig.view->placeButton()) : rig.view->windowComboBox();
        target->setFocus();
        if (key == 0) {
            QTest::mouseClick(target, Qt::LeftButton);
        } else {
            QTest::keyClick(target, Qt::Key(key), key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
        }

        QCOMPARE(rig.output.lines.back(), std::string("Main window minimized"));
        QTRY_VERIFY(rig.view->isMinimized());
        QCOMPARE(windows.front().sizesSet, (std::vector<std::pair<double, double>>{{width, width * 9 / 16}}));
        QCOMPARE(rig.workspace.opened.size(), std::size_t{1});

        // Minimizing is no closing: the list stays fresh for the next Place.
        rig.windowList.list = doubles::windowList({kBeta});
        rig.timers.advanceSeconds(5.0);
        QCOMPARE(rig.view->windowComboBox()->itemText(0), QStringLiteral("Beta - Apps"));
    }

    void opensLabelledInReadingOrderAndSizedByItsLayout() {
        Rig rig;
        WindowEntry longTitle = kBeta;
        longTitle.number = 13;
        longTitle.name = std::string(2000, 'W');
        QVERIFY(rig.open({kBeta, longTitle, kAlpha}));
        const MainView& view = *rig.view;
        QCOMPARE(view.windowTitle(), QStringLiteral("Tallowin"));
        QCOMPARE(view.windowComboBox()->currentText(), QStringLiteral("Alpha - Apps"));
        QCOMPARE(view.windowComboBox()->itemText(2), QString(2000, 'W') + " - Apps");
        QCOMPARE(view.messageLabel()->text(), QString());
        QVERIFY(!view.windowComboBox()->isEditable() && !view.resolutionComboBox()->isEditable());
        QVERIFY(view.placeButton()->isDefault());

        const QList<QWidget*> tabs = {view.windowComboBox(), view.resolutionComboBox(), view.placeButton(),
                                      view.windowComboBox()};
        QCOMPARE(QApplication::focusWidget(), tabs[0]);
        for (int i = 1; i < tabs.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), tabs[i]);
        }
        QCOMPARE((QStringList{tabs[0]->accessibleName(), tabs[1]->accessibleName(),
                              view.messageLabel()->accessibleName(), tabs[2]->accessibleName()}),
                 (QStringList{"Window", "Resolution", "Status", "Place"}));
        // Screen readers on Linux name a combo box by the label it is labelled by.
        QStringList labels;
        for (QWidget* comboBox : {tabs[0], tabs[1]}) {
            for (const auto& [label, relation] :
                 QAccessible::queryAccessibleInterface(comboBox)->relations(QAccessible::Label)) {
                labels.append(label->text(QAccessible::Name));
            }
        }
        QCOMPARE(labels, (QStringList{"Window:", "Resolution:"}));

        // Long titles are elided, not let widen the window.
        const QRect place = view.placeButton()->geometry();
        QVERIFY(view.width() >= view.minimumSizeHint().width() && view.height() >= view.minimumSizeHint().height());
        QVERIFY2(view.width() < 1000 && view.height() < 400, "a small utility window");
        QVERIFY(!place.intersects(tabs[0]->geometry()) && !place.intersects(tabs[1]->geometry()));
        QVERIFY(view.rect().contains(place));
    }

    // Window > Minimize (Command-M) and Close (Command-W): in the screen's
    // menu bar on macOS (shell.window_menu_native runs this under cocoa).
    void theWindowMenuMinimizesAndClosesTheWindow() {
        Rig rig;
        QVERIFY(rig.open({kAlpha}));
        QMenuBar* own = rig.shell->menuBar();  // the screen's on macOS, none elsewhere
        QCOMPARE(own != nullptr, QSysInfo::kernelType() == "darwin");
        QCOMPARE(own != nullptr && own->isNativeMenuBar(), QGuiApplication::platformName() == "cocoa");
        const auto made = own != nullptr ? nullptr : shell::makeWindowMenuBar(*rig.view);
        const QMenuBar* menuBar = made ? made.get() : own;
        const QMenu* menu = menuBar->actions()[0]->menu();
        QStringList items{menu->title()};
        for (const QAction* action : menu->actions()) {
            items.append(action->text() + " " + action->shortcut().toString(QKeySequence::PortableText));
        }
        QCOMPARE(items, (QStringList{"Window", "Minimize Ctrl+M", "Close Ctrl+W"}));
        menu->actions()[0]->trigger();
        QTRY_VERIFY(rig.view->isMinimized());
        menu->actions()[1]->trigger();
        QVERIFY(rig.view->isHidden());
        QCOMPARE(rig.timers.liveTimers(), 0);
    }

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
        QTest::newRow("DISPLAY=:1 tallowin --recorder ssr") << u"-"_s << "";
        QTest::newRow("DISPLAY=:1 tallowin --recorder bogus") << u"error"_s << "";
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
        const CommandLine line = shell::parseCommandLine(invocation.argv);
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

        const auto choice = shell::chooseDisplay(line, invocation.environment());
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
        const auto choice = shell::chooseDisplay(shell::parseCommandLine(invocation.argv), invocation.environment());
#if !defined(__APPLE__)
        QCOMPARE(QString::fromStdString(choice.unsupported), unsupported);
        if (unreachable != "-") {
            QCOMPARE(QString::fromStdString(choice.unreachable), unreachable);
        }
#endif
    }

    void usageNamesTheProgramAndItsOptions() {
        const std::string usage = shell::usageText();
        QVERIFY2(usage.starts_with("Usage: tallowin [options]\n"), usage.c_str());
        for (const char* option : {"--display <display>", "--recorder <name>", "--help", "--version"}) {
            QVERIFY2(usage.find(option) != std::string::npos, option);
        }
        QVERIFY2(usage.find("-style") == std::string::npos, "Qt's own options stay out of the usage");
        QCOMPARE(QString::fromStdString(shell::versionText()), QStringLiteral("tallowin " TALLOWIN_VERSION "\n"));
    }

    // Last: it runs the application's event loop to its end.
    void closingTheMainWindowStopsTheRefreshAndQuits() {
        static AppDelegate delegate;
        shell::attachDelegate(*qApp, delegate);
        QCOMPARE(QGuiApplication::quitOnLastWindowClosed(), delegate.applicationShouldTerminateAfterLastWindowClosed());

        Rig rig;
        QVERIFY(rig.open({kAlpha}));
        QTimer::singleShot(0, rig.view, [&rig] { rig.view->close(); });
        QTimer::singleShot(10000, qApp, [] { QCoreApplication::exit(2); });
        QCOMPARE(QApplication::exec(), 0);
        QCOMPARE(rig.timers.liveTimers(), 0);
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
