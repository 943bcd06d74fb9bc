#include <QDesktopServices>
#include <QDir>
#include <QLabel>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <QWidget>

#include <memory>

#include "shell/label_text.h"
#include "shell/qt_main_window.h"
#include "shell/qt_workspace.h"

using tallowin::shell::LabelText;
using tallowin::shell::QtMainWindowSource;
using tallowin::shell::QtWorkspace;

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
    void theMessageLineShowsTextsVerbatim_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("markup stays text") << QByteArray("<b>bold</b> &amp;");
        QTest::newRow("non-ASCII") << QByteArray("Zug\xC3\xA4nglichkeit");
    }
    void theMessageLineShowsTextsVerbatim() {
        QFETCH(QByteArray, text);
        QLabel label(QStringLiteral("before"));
        LabelText message(&label);
        message.setStringValue(std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
        QCOMPARE(label.text(), QString::fromUtf8(text));
        QCOMPARE(label.textFormat(), Qt::PlainText);
    }

    void aDestroyedLabelIgnoresTexts() {
        auto label = std::make_unique<QLabel>();
        LabelText message(label.get());
        label.reset();
        message.setStringValue("Accessibility Permission not granted");
    }

    void theMainWindowIsThereOnlyWhileOpen() {
        auto window = std::make_unique<QWidget>();
        window->setWindowTitle(QStringLiteral("Tallowin"));
        QtMainWindowSource application(window.get());
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

    void theWorkspaceOpensOnlyItemsThatExist_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("opened");
        QTest::newRow("a folder with spaces and accents")
            << QString::fromUtf8("A folder/\xC3\xA9t\xC3\xA9 #1?.app") << true;
        QTest::newRow("missing: the screenshot tool off macOS")
            << QStringLiteral("/System/Applications/Utilities/Screenshot.app")
            << (QSysInfo::productType() == QStringLiteral("macos"));
        QTest::newRow("missing") << QStringLiteral("no such item.app") << false;
        QTest::newRow("empty") << QString() << false;
    }
    void theWorkspaceOpensOnlyItemsThatExist() {
        QFETCH(QString, path);
        QFETCH(bool, opened);
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        QVERIFY(QDir(folder.path()).mkpath(QString::fromUtf8("A folder/\xC3\xA9t\xC3\xA9 #1?.app")));
        const QString full = path.isEmpty() || path.startsWith('/') ? path : folder.filePath(path);
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
        QtWorkspace workspace;
        const bool accepted = workspace.openURL({full.toStdString()});
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));

        QCOMPARE(accepted, opened);
        QCOMPARE(catcher.urls, opened ? QList<QUrl>{QUrl::fromLocalFile(full)} : QList<QUrl>{});
    }
};

QTEST_MAIN(QtProvidersTest)
#include "qt_providers_test.moc"
