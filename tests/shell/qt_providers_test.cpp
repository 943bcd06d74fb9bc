#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <limits>
#include <memory>

#include "shell/combo_box_list.h"
#include "shell/label_text.h"
#include "shell/menu_tracking_timers.h"
#include "shell/qt_main_window.h"
#include "shell/qt_timers.h"
#include "shell/qt_workspace.h"
#include "tests/doubles/doubles.h"

using tallowin::platform::RepeatingTimer;

constexpr int kQuietMs = 120;  // a few short intervals

// Stands in for the desktop's handler of file URLs.
class UrlCatcher : public QObject {
    Q_OBJECT

public:
    QList<QUrl> urls;

public slots:
    void open(const QUrl& url) { urls.append(url); }
};

class QtProvidersTest : public QObject {
    Q_OBJECT

private slots:
    void selectingAMissingRowSelectsNothing_data() {
        QTest::addColumn<int>("rows");
        QTest::addColumn<qlonglong>("index");
        QTest::newRow("row 0 of an empty list") << 0 << 0LL;
        QTest::newRow("past the end") << 2 << 2LL;
        QTest::newRow("row 1 once cut to int") << 2 << (1LL << 32) + 1;
        QTest::newRow("minus one") << 2 << -1LL;
    }
    void selectingAMissingRowSelectsNothing() {
        QFETCH(int, rows);
        QFETCH(qlonglong, index);
        auto comboBox = std::make_unique<QComboBox>();
        tallowin::shell::ComboBoxList list(comboBox.get());
        list.addItemsWithObjectValues(std::vector<std::string_view>(static_cast<std::size_t>(rows), "row"));
        list.selectItemAtIndex(rows > 1 ? 1 : 0);
        list.selectItemAtIndex(static_cast<std::ptrdiff_t>(index));
        QCOMPARE(list.indexOfSelectedItem(), std::ptrdiff_t{-1});
        QVERIFY(!list.objectValueOfSelectedItem().has_value());
        QCOMPARE(comboBox->count(), rows);
    }

    // Qt alone would select the first row appended; only the user's picks are activations.
    void onlyPicksSelectRows() {
        auto comboBox = std::make_unique<QComboBox>();
        tallowin::shell::ComboBoxList list(comboBox.get());
        QSignalSpy activated(comboBox.get(), &QComboBox::activated);
        list.addItemsWithObjectValues({"1920x1080", "1280x720"});
        QCOMPARE(list.indexOfSelectedItem(), std::ptrdiff_t{-1});
        list.selectItemAtIndex(1);
        list.addItemsWithObjectValues({"640x480"});
        QCOMPARE(list.objectValueOfSelectedItem(), std::optional<std::string>("1280x720"));
        QCOMPARE(activated.count(), 0);

        QTest::keyClick(comboBox.get(), Qt::Key_Down);
        QCOMPARE(activated.count(), 1);
        QCOMPARE(list.indexOfSelectedItem(), std::ptrdiff_t{2});
        list.removeAllItems();
        QCOMPARE(comboBox->count(), 0);
        QCOMPARE(list.indexOfSelectedItem(), std::ptrdiff_t{-1});

        list.addItemsWithObjectValues({"a"});
        list.selectItemAtIndex(0);
        comboBox.reset();
        list.removeAllItems();
        list.addItemsWithObjectValues({"b"});
        list.selectItemAtIndex(0);
        QCOMPARE(list.indexOfSelectedItem(), std::ptrdiff_t{-1});
        QVERIFY2(!list.objectValueOfSelectedItem().has_value(), "a destroyed combo box answers nothing");
    }

    void textsTravelVerbatimAsUtf8_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("markup stays text") << QByteArray("<b>bold</b> &amp;");
        QTest::newRow("accents and emoji") << QByteArray("Caf\xC3\xA9 \xE2\x80\x93 \xF0\x9F\x8E\xAC - Pr\xC3\xA9view");
        QTest::newRow("malformed, with a NUL") << QByteArray("A\xFF\xC3\0B", 5);
    }
    void textsTravelVerbatimAsUtf8() {
        QFETCH(QByteArray, text);
        const std::string bytes = text.toStdString();
        auto comboBox = std::make_unique<QComboBox>();
        tallowin::shell::ComboBoxList list(comboBox.get());
        list.addItemsWithObjectValues({"other", bytes});
        list.selectItemAtIndex(1);
        QCOMPARE(comboBox->itemText(1), QString::fromUtf8(text));
        QCOMPARE(list.objectValueOfSelectedItem(), std::optional<std::string>(QString::fromUtf8(text).toStdString()));

        auto label = std::make_unique<QLabel>(QStringLiteral("before"));
        tallowin::shell::LabelText message(label.get());
        message.setStringValue(bytes);
        QCOMPARE(label->text(), QString::fromUtf8(text));
        QCOMPARE(label->textFormat(), Qt::PlainText);
        label.reset();
        message.setStringValue("a destroyed label ignores texts");
    }

    void theMainWindowIsThereOnlyWhileOpen() {
        auto window = std::make_unique<QWidget>();
        tallowin::shell::QtMainWindowSource application(window.get());
        QVERIFY2(application.mainWindow() == nullptr, "none before it is first shown");

        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        auto* main = application.mainWindow();
        QVERIFY(main != nullptr);
        main->miniaturize();
        QTRY_VERIFY(window->isMinimized());
        QVERIFY2(application.mainWindow() != nullptr, "a minimized window is still the main window");

        window->showNormal();
        window->close();
        QVERIFY2(application.mainWindow() == nullptr, "none once closed");

        window->show();
        QVERIFY(application.mainWindow() != nullptr);
        window.reset();
        QVERIFY2(application.mainWindow() == nullptr, "none once destroyed");
        main->miniaturize();  // a window kept from before is harmless
    }

    void theWorkspaceOpensOnlyItemsThatExist() {
        QTemporaryDir folder;
        const QString item = folder.filePath(QString::fromUtf8("A folder/\xC3\xA9t\xC3\xA9 #1?.app"));
        QVERIFY(QDir().mkpath(item));
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
        tallowin::shell::QtWorkspace workspace;
        const bool missingOpened =
            workspace.openURL({folder.filePath(QStringLiteral("no such item.app")).toStdString()});
        const bool itemOpened = workspace.openURL({item.toStdString()});
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        QVERIFY(!missingOpened && itemOpened);
        QCOMPARE(catcher.urls, QList<QUrl>{QUrl::fromLocalFile(item)});
    }

    void firesUntilStopped_data() {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<QString>("stop");
        QTest::addColumn<bool>("fires");  // within a few short intervals
        QTest::newRow("invalidated twice") << 0.05 << "invalidate" << true;
        QTest::newRow("handle destroyed") << 0.05 << "destroy" << true;
        QTest::newRow("destroyed by its own callback") << 0.05 << "own callback" << true;
        QTest::newRow("negative interval") << -5.0 << "" << true;
        QTest::newRow("nan interval") << std::numeric_limits<double>::quiet_NaN() << "" << true;
        QTest::newRow("2^32 ms and 1: clamped, not wrapped") << 4294967.297 << "" << false;
    }
    void firesUntilStopped() {
        QFETCH(double, seconds);
        QFETCH(QString, stop);
        QFETCH(bool, fires);
        int fired = 0;
        QElapsedTimer clock;
        clock.start();
        qint64 firstAtMs = -1;
        std::unique_ptr<RepeatingTimer> timer;
        timer = factory_.scheduledTimer(seconds, [&] {
            if (fired++ == 0) {
                firstAtMs = clock.elapsed();
            }
            if (stop == "own callback") {
                timer.reset();
            }
        });
        QTest::qWait(kQuietMs);
        QTRY_COMPARE(fired > 0, fires);  // retried: a loaded machine may not yet have let it fire
        // Coarse timers may come up to 5 % early, never sooner.
        QVERIFY2(!(seconds > 0) || !fires || static_cast<double>(firstAtMs) >= seconds * 950,
                 qPrintable(QString::number(firstAtMs)));
        if (stop == "invalidate") {
            timer->invalidate();
            timer->invalidate();
        } else if (!stop.isEmpty()) {
            timer.reset();
        }
        const int seen = fired;
        QTest::qWait(kQuietMs);
        QTRY_COMPARE(fired == seen, !stop.isEmpty() || !fires);
    }

    // How a tick held by an open popup ends; the main window's test shows
    // the held tick running once the list closes.
    void aHeldTickEndsWithItsTimer_data() {
        QTest::addColumn<QString>("whileHeld");
        QTest::addColumn<int>("firings");
        QTest::newRow("destroys its timer as it runs") << "self" << 1;
        QTest::newRow("invalidated while held") << "invalidate" << 0;
        QTest::newRow("destroyed while held") << "destroy" << 0;
        QTest::newRow("a menu opens over the list") << "menu" << 1;
    }
    void aHeldTickEndsWithItsTimer() {
        QFETCH(QString, whileHeld);
        QFETCH(int, firings);
        QComboBox comboBox;
        comboBox.addItems({"a", "b"});
        comboBox.show();
        comboBox.showPopup();
        QMenu menu;
        menu.addAction(QStringLiteral("Copy"));

        tallowin::doubles::VirtualTimerFactory clock;
        tallowin::shell::MenuTrackingTimers timers(clock);
        int fired = 0;
        std::unique_ptr<RepeatingTimer> timer = timers.scheduledTimer(5.0, [&] {
            ++fired;
            if (whileHeld == "self") {
                timer.reset();
            }
        });
        clock.advanceSeconds(10.0);
        if (whileHeld == "invalidate") {
            timer->invalidate();
        } else if (whileHeld == "destroy") {
            timer.reset();
        } else if (whileHeld == "menu") {
            menu.popup(QPoint(10, 10));
        }
        comboBox.hidePopup();
        QTest::qWait(20);
        if (whileHeld == "menu") {
            QCOMPARE(fired, 0);
            menu.hide();
            QTest::qWait(20);
        }
        QCOMPARE(fired, firings);
    }

private:
    tallowin::shell::QtTimerFactory factory_;
};

QTEST_MAIN(QtProvidersTest)
#include "qt_providers_test.moc"
