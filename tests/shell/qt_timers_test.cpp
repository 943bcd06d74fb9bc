#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QMenu>
#include <QTest>

#include <memory>

#include "shell/menu_tracking_timers.h"
#include "shell/qt_timers.h"
#include "tests/doubles/doubles.h"

using tallowin::platform::RepeatingTimer;
using tallowin::shell::MenuTrackingTimers;
using tallowin::shell::QtTimerFactory;

namespace {
constexpr double kShortSeconds = 0.01;
constexpr int kQuietMs = 120;  // a dozen intervals
}  // namespace

class QtTimersTest : public QObject {
    Q_OBJECT

private slots:
    void firesRepeatedlyAfterOneInterval() {
        int fired = 0;
        QElapsedTimer clock;
        clock.start();
        qint64 firstAtMs = -1;
        auto timer = factory_.scheduledTimer(0.2, [&] {
            if (fired++ == 0) {
                firstAtMs = clock.elapsed();
            }
        });
        QCoreApplication::processEvents();
        QCOMPARE(fired, 0);
        QTRY_VERIFY(fired >= 2);
        QVERIFY2(firstAtMs >= 190, qPrintable(QString::number(firstAtMs)));
    }

    void stoppedTimersNeverFireAgain_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("invalidated twice") << QStringLiteral("invalidate");
        QTest::newRow("handle destroyed") << QStringLiteral("destroy");
        QTest::newRow("destroyed by its own callback") << QStringLiteral("own callback");
    }
    void stoppedTimersNeverFireAgain() {
        QFETCH(QString, how);
        int fired = 0;
        std::unique_ptr<RepeatingTimer> timer;
        timer = factory_.scheduledTimer(kShortSeconds, [&] {
            ++fired;
            if (how == QStringLiteral("own callback")) {
                timer.reset();
            }
        });
        QTRY_VERIFY(fired >= 1);
        if (how == QStringLiteral("invalidate")) {
            timer->invalidate();
            timer->invalidate();
        } else {
            timer.reset();
        }
        const int seen = fired;
        QTest::qWait(kQuietMs);
        QCOMPARE(fired, seen);
    }

    void nonsenseIntervalsAreClampedNotWrapped_data() {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<bool>("fires");
        QTest::newRow("negative") << -5.0 << true;
        QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN() << true;
        QTest::newRow("2^32 ms and 1") << 4294967.297 << false;
    }
    void nonsenseIntervalsAreClampedNotWrapped() {
        QFETCH(double, seconds);
        QFETCH(bool, fires);
        int fired = 0;
        auto timer = factory_.scheduledTimer(seconds, [&] { ++fired; });
        QTest::qWait(kQuietMs);
        QCOMPARE(fired > 0, fires);
    }

    // How a tick held by an open popup ends; the main window's test shows
    // the held tick running once the list closes.
    void aHeldTickEndsWithItsTimer_data() {
        QTest::addColumn<QString>("whileHeld");
        QTest::addColumn<int>("firings");
        QTest::newRow("runs once after the close") << QString() << 1;
        QTest::newRow("destroys its timer as it runs") << QStringLiteral("self") << 1;
        QTest::newRow("invalidated while held") << QStringLiteral("invalidate") << 0;
        QTest::newRow("destroyed while held") << QStringLiteral("destroy") << 0;
        QTest::newRow("a menu opens over the list") << QStringLiteral("menu") << 1;
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
        MenuTrackingTimers timers(clock);
        int fired = 0;
        std::unique_ptr<RepeatingTimer> timer = timers.scheduledTimer(5.0, [&] {
            ++fired;
            if (whileHeld == QStringLiteral("self")) {
                timer.reset();
            }
        });
        clock.advanceSeconds(10.0);
        if (whileHeld == QStringLiteral("invalidate")) {
            timer->invalidate();
        } else if (whileHeld == QStringLiteral("destroy")) {
            timer.reset();
        } else if (whileHeld == QStringLiteral("menu")) {
            menu.popup(QPoint(10, 10));
        }
        comboBox.hidePopup();
        QTest::qWait(20);
        QCOMPARE(menu.isVisible(), whileHeld == QStringLiteral("menu"));
        if (menu.isVisible()) {
            QCOMPARE(fired, 0);
            menu.hide();
            QTest::qWait(20);
        }
        QCOMPARE(fired, firings);
        // Opening and closing the list again brings no tick of its own.
        comboBox.showPopup();
        comboBox.hidePopup();
        QTest::qWait(20);
        QCOMPARE(fired, firings);
    }

private:
    QtTimerFactory factory_;
};

QTEST_MAIN(QtTimersTest)
#include "qt_timers_test.moc"
