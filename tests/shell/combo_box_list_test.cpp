#include <QComboBox>
#include <QSignalSpy>
#include <QTest>

#include <memory>

#include "shell/combo_box_list.h"

using tallowin::shell::ComboBoxList;

class ComboBoxListTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        comboBox_ = std::make_unique<QComboBox>();
        list_ = std::make_unique<ComboBoxList>(comboBox_.get());
    }
    void cleanup() {
        list_.reset();
        comboBox_.reset();
    }

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
        list_->addItemsWithObjectValues(std::vector<std::string>(static_cast<std::size_t>(rows), "row"));
        list_->selectItemAtIndex(rows > 1 ? 1 : 0);
        list_->selectItemAtIndex(static_cast<std::ptrdiff_t>(index));
        QCOMPARE(list_->indexOfSelectedItem(), std::ptrdiff_t{-1});
        QVERIFY(!list_->objectValueOfSelectedItem().has_value());
        QCOMPARE(comboBox_->count(), rows);
    }

    void appendingAndRemovingRowsPicksNothing() {
        list_->addItemsWithObjectValues({"1920x1080", "1280x720"});
        // Qt alone would have selected the first row here.
        QCOMPARE(list_->indexOfSelectedItem(), std::ptrdiff_t{-1});
        list_->selectItemAtIndex(1);
        list_->addItemsWithObjectValues({"640x480"});
        QCOMPARE(list_->objectValueOfSelectedItem(), std::optional<std::string>("1280x720"));
        list_->removeAllItems();
        QCOMPARE(comboBox_->count(), 0);
        QCOMPARE(list_->indexOfSelectedItem(), std::ptrdiff_t{-1});
    }

    void textsTravelAsUtf8_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("accents and emoji") << QByteArray("Caf\xC3\xA9 \xE2\x80\x93 \xF0\x9F\x8E\xAC - Pr\xC3\xA9view");
        QTest::newRow("empty") << QByteArray();
    }
    void textsTravelAsUtf8() {
        QFETCH(QByteArray, text);
        list_->addItemsWithObjectValues({"other", text.toStdString()});
        list_->selectItemAtIndex(1);
        QCOMPARE(comboBox_->itemText(1), QString::fromUtf8(text));
        QCOMPARE(list_->objectValueOfSelectedItem(), std::optional<std::string>(text.toStdString()));
    }

    void malformedUtf8IsShownNotTrusted() {
        list_->addItemsWithObjectValues({std::string("A\xFF\xC3") + '\0' + "B"});
        list_->selectItemAtIndex(0);
        const auto shown = list_->objectValueOfSelectedItem();
        QVERIFY(shown.has_value());
        QVERIFY(shown->starts_with("A") && shown->ends_with("B"));
    }

    void onlyUserPicksAreActivations() {
        QSignalSpy activated(comboBox_.get(), &QComboBox::activated);
        list_->addItemsWithObjectValues({"a", "b", "c"});
        list_->selectItemAtIndex(2);
        list_->removeAllItems();
        list_->addItemsWithObjectValues({"a", "b", "c"});
        list_->selectItemAtIndex(0);
        QCOMPARE(activated.count(), 0);

        QTest::keyClick(comboBox_.get(), Qt::Key_Down);
        QCOMPARE(activated.count(), 1);
        QCOMPARE(activated.at(0).at(0).toInt(), 1);
        QCOMPARE(list_->indexOfSelectedItem(), std::ptrdiff_t{1});
    }

    void aDestroyedComboBoxAnswersNothing() {
        list_->addItemsWithObjectValues({"a"});
        list_->selectItemAtIndex(0);
        comboBox_.reset();
        list_->removeAllItems();
        list_->addItemsWithObjectValues({"b"});
        list_->selectItemAtIndex(0);
        QCOMPARE(list_->indexOfSelectedItem(), std::ptrdiff_t{-1});
        QVERIFY(!list_->objectValueOfSelectedItem().has_value());
    }

private:
    std::unique_ptr<QComboBox> comboBox_;
    std::unique_ptr<ComboBoxList> list_;
};

QTEST_MAIN(ComboBoxListTest)
#include "combo_box_list_test.moc"
