#include <QComboBox>
#include <QElapsedTimer>
#include <QMenu>
#include <QTest>

#include <limits>
#include <memory>

#include "shell/menu_tracking_timers.h"
#include "shell/qt_timers.h"
#include "tests/doubles/doubles.h"

using tallowin::platform::RepeatingTimer;

constexpr int kQuietMs = 120;  // a few short intervals

class QtTimersTest : public QObject {
    Q_OBJECT

private slots:
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

QTEST_MAIN(QtTimersTest)
#include "qt_timers_test.moc"
