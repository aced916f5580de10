#include "app/PassW.h"
#include "app/Progress.h"
#include "FakePrompts.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QtTest>
#include <functional>

namespace {

// Works the password dialog once it is up.
void WhenDialogShows(const std::function<void(TPasswDlg &)> &act) {
    QTimer::singleShot(0, [act] {
        auto *dlg = qobject_cast<TPasswDlg *>(QApplication::activeModalWidget());
        QVERIFY(dlg);
        act(*dlg);
    });
}

} // namespace

class TestPassW : public QObject {
    Q_OBJECT
private slots:
    void init() { Access::ResetForTests(); }
    void dialogLooks();
    void gate_data();
    void gate();
    void rightPasswordOpensForGood();
    void openGateNeverAsks();
    void progressWindow();
};

void TestPassW::dialogLooks() {
    TPasswDlg dlg;
    QCOMPARE(dlg.windowTitle(), QStringLiteral("Контроль доступа"));
    QCOMPARE(dlg.size(), QSize(233, 139));
    QCOMPARE(dlg.MaskEdit1->echoMode(), QLineEdit::Password);
    QCOMPARE(dlg.MaskEdit1->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, dlg.MaskEdit1), int('$'));
    dlg.show();
    QTest::keyClicks(dlg.MaskEdit1, QStringLiteral("ab-1 "));
    QTest::sendKeyEvent(QTest::Click, dlg.MaskEdit1, Qt::Key_unknown, QStringLiteral("Я"), Qt::NoModifier);
    QTest::keyClicks(dlg.MaskEdit1, QStringLiteral("2x!yz98765"));
    QCOMPARE(dlg.MaskEdit1->text(), QStringLiteral("ab1Я2xyz98")); // letters and digits, at most 10
}

void TestPassW::gate_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<bool>("expected");
    QTest::newRow("right") << "QZK" << true << true;
    QTest::newRow("wrong case") << "qzk" << true << false;
    QTest::newRow("longer") << "QZK1" << true << false;
    QTest::newRow("empty") << "" << true << false;
    QTest::newRow("cancel with the right text") << "QZK" << false << false;
}

void TestPassW::gate() {
    QFETCH(QString, typed);
    QFETCH(bool, ok);
    QFETCH(bool, expected);
    TFakePrompts prompts;
    QString prompt;
    WhenDialogShows([&](TPasswDlg &dlg) {
        prompt = dlg.Label1->text();
        QTest::keyClicks(dlg.MaskEdit1, typed);
        ok ? dlg.OKBtn->click() : dlg.CancelBtn->click();
    });
    QCOMPARE(CheckAccess(), expected);
    QCOMPARE(prompt, QStringLiteral("Данная команда будет выполняться только после ввода пароля!"));
    QCOMPARE(Access::Unlocked(), expected);
    QCOMPARE(prompts.Texts(TFakePrompts::ErrorBox),
             expected ? QStringList() : QStringList{QStringLiteral("Неверный пароль!")});
}

void TestPassW::rightPasswordOpensForGood() {
    TFakePrompts prompts;
    WhenDialogShows([](TPasswDlg &dlg) {
        QTest::keyClicks(dlg.MaskEdit1, QStringLiteral("QZK"));
        dlg.OKBtn->click();
    });
    QVERIFY(CheckAccess());
    // No dialog any more: a second one would hang the test.
    QVERIFY(CheckAccess());
    QVERIFY(CheckAccess());
    QCOMPARE(prompts.Log.size(), 0);
}

void TestPassW::openGateNeverAsks() {
    Access::Unlock();
    QVERIFY(CheckAccess());
    QVERIFY(!QApplication::activeModalWidget());
}

void TestPassW::progressWindow() {
    TProgressForm form;
    QCOMPARE(form.windowTitle(), QStringLiteral("Progress..."));
    QCOMPARE(form.size(), QSize(261, 113));
    QVERIFY(form.windowFlags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(form.ProgressLabel->text(), QStringLiteral("Прогресс"));
    QCOMPARE(form.ProgressGauge->size(), QSize(220, 25));
    form.show();
    QVERIFY(!form.CancelPressed);
    form.SetGauge(50);
    QCOMPARE(form.ProgressGauge->text(), QStringLiteral("50%"));
    // Closing it by hand or Escape is a Cancel; the window stays until its owner frees it.
    QTest::keyClick(&form, Qt::Key_Escape);
    QVERIFY(form.isVisible());
    QVERIFY(form.CancelPressed);
    form.CancelPressed = false;
    form.close();
    QVERIFY(form.isVisible());
    QVERIFY(form.Cancelled());
    form.CancelPressed = false;
    form.SetCancelVisible(false); // past the connect phase nothing cancels
    form.close();
    QVERIFY(!form.Cancelled());
    form.SetCancelVisible(true);
    form.BitBtn1->click();
    QVERIFY(form.Cancelled());
}

QTEST_MAIN(TestPassW)
#include "tst_passw.moc"
