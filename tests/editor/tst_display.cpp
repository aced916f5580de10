// The display page of the settings editor as the user works it: colour grids and spin
// edits, "Initialize all", right-clicks on the screen previews and the x1 check boxes.

#include "EditorSession.h"
#include "FakePrompts.h"
#include "base/Lang.h"
#include "catalogue/ProtsH.h"
#include "editor/EditorPage.h"
#include "editor/MK_SetParamsDlg.h"
#include "editor/PaintBox.h"
#include "editor/Widgets.h"
#include "model/MK.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QtTest>
#include <functional>

namespace {

QByteArray Block(const TMK &mk, const char *palette, const char *elements) {
    return mk.GetBytes(palette) + mk.GetBytes(elements);
}

QByteArray Bytes(const TColourScheme &scheme) {
    return QByteArray(reinterpret_cast<const char *>(scheme.data()), int(scheme.size()));
}

void ClickRow(QTableWidget *grid, int row) {
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                      grid->visualItemRect(grid->item(row, 0)).center());
}

void Type(TSpinEdit *spin, const QString &text) {
    spin->setFocus();
    spin->selectAll();
    QTest::keyClicks(spin, text);
}

// The protocol selection item "Руч." is the last one the model offers.
int ManualSelection(uint16_t model) {
    Prots().BuildProtocolList(model, 0, 0);
    const TDeviceCaps &c = Prots().Caps;
    return int(c.HasAutoObd) + int(c.HasSootFilterAlert && !c.NoAutoVag) + int(c.HasAutoOpel) + 1;
}

} // namespace

class TestDisplay : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void colourSpinsStoreOnEveryChange_data();
    void colourSpinsStoreOnEveryChange();
    void initializeAll_data();
    void initializeAll();
    void elementIndexOutOfRange_data();
    void elementIndexOutOfRange();
    void rightClickAssignsParameter_data();
    void rightClickAssignsParameter();
    void x1Mask_data();
    void x1Mask();

private:
    bool Edit(TMK &mk, const std::function<bool(TMK_SetParamsDlg &)> &act);
    static TEditorPage *ShowPage(TMK_SetParamsDlg &dlg, const char *name) {
        dlg.pcMain->setCurrentIndex(3);
        TEditorPage *page = dlg.Page(QLatin1String(name));
        dlg.pcDisp->setCurrentWidget(page);
        return page;
    }

    std::unique_ptr<TFakePrompts> prompts_;
};

void TestDisplay::init() {
    prompts_ = std::make_unique<TFakePrompts>();
    Lang::SetEnglish(false);
}

void TestDisplay::cleanup() {
    QCOMPARE(prompts_->Texts(TFakePrompts::ErrorBox), QStringList());
    prompts_.reset();
}

bool TestDisplay::Edit(TMK &mk, const std::function<bool(TMK_SetParamsDlg &)> &act) {
    return EditSession(mk, act);
}

void TestDisplay::colourSpinsStoreOnEveryChange_data() {
    QTest::addColumn<int>("scheme");
    QTest::addColumn<QString>("r");
    QTest::addColumn<QString>("g");
    QTest::addColumn<QString>("b");
    QTest::addColumn<int>("code");
    QTest::newRow("day white") << 0 << "31"
                               << "31"
                               << "31" << 0xFFFF;
    QTest::newRow("night lowest green") << 1 << "0"
                                        << "1"
                                        << "0" << 0x0060;
}

// The palette entry under the value areas is edited; the single-screen sample shows it.
void TestDisplay::colourSpinsStoreOnEveryChange() {
    QFETCH(int, scheme);
    QFETCH(QString, r);
    QFETCH(QString, g);
    QFETCH(QString, b);
    QFETCH(int, code);
    TMK mk;
    const char *palette = scheme ? "NightPalette" : "DayPalette";
    const int entry = int(mk.Get(scheme ? "NightElements" : "DayElements", 3)); // "Фон 2"
    mk.Set(palette, 0x07E0, entry);
    const QByteArray otherScheme = mk.GetBytes(scheme ? "DayPalette" : "NightPalette");
    const bool ok = Edit(mk, [&](TMK_SetParamsDlg &dlg) {
        ShowPage(dlg, "tsColor");
        if (scheme) dlg.findChild<TRadioGroup *>("rgCurrColorSchemeNum")->Button(1)->click();
        auto *grid = dlg.findChild<QTableWidget *>("sgPalette");
        ClickRow(grid, entry);
        auto *seR = dlg.findChild<TSpinEdit *>("seR");
        auto *seG = dlg.findChild<TSpinEdit *>("seG");
        auto *seB = dlg.findChild<TSpinEdit *>("seB");
        [&] {
            QCOMPARE(dlg.findChild<QLabel *>("lColorTab")->text(), QStringLiteral("Цвет #%1").arg(entry));
            // 0x07E0: every green bit set.
            QCOMPARE(seR->value(), 0.0);
            QCOMPARE(seG->value(), 31.0);
            QCOMPARE(seB->value(), 0.0);
            Type(seR, r);
            Type(seG, g);
            Type(seB, b);
            QCOMPARE(mk.Get(palette, entry), code); // without leaving the spin edit
            const QImage sample = dlg.findChild<TPaintBox *>("pbDigit1")->Picture();
            QCOMPARE(sample.pixel(5, 230), TMK::ColourToRgb(uint16_t(code)));
            QVERIFY(!dlg.Context().refreshing);
        }();
        return true;
    });
    QVERIFY(ok);
    QCOMPARE(mk.Get(palette, entry), code);
    QCOMPARE(mk.GetBytes(scheme ? "DayPalette" : "NightPalette"), otherScheme);
}

void TestDisplay::initializeAll_data() {
    QTest::addColumn<bool>("yes");
    QTest::newRow("No changes nothing") << false;
    QTest::newRow("Yes restores both blocks") << true;
}

void TestDisplay::initializeAll() {
    QFETCH(bool, yes);
    TMK mk;
    mk.ModelCode = 0x8080; // the alternative factory colours
    // Both blocks edited: other colours, other valid indices, the three spare bytes.
    for (int i = 0; i < 16; ++i) {
        mk.Set("DayPalette", 0x1111 * (i % 7) + 3, i);
        mk.Set("NightPalette", 0xF0F0 - 0x0101 * i, i);
    }
    for (int i = 0; i < 12; ++i) {
        mk.Set("DayElements", (i * 5 + 1) % 16, i);
        mk.Set("NightElements", (i * 3 + 2) % 16, i);
    }
    prompts_->ConfirmAnswers = {yes};
    Edit(mk, [&](TMK_SetParamsDlg &dlg) {
        ShowPage(dlg, "tsColor");
        auto *scheme = dlg.findChild<TRadioGroup *>("rgCurrColorSchemeNum");
        scheme->Button(1)->click();
        const QImage night = dlg.findChild<TPaintBox *>("pbDigit1")->Picture();
        const QByteArray working(reinterpret_cast<const char *>(mk.Working().data()), MKLayout::WorkingSize);
        dlg.findChild<QPushButton *>("bPaletteInit")->click();
        [&] {
            QCOMPARE(prompts_->Texts(TFakePrompts::ConfirmBox),
                     QStringList{"Привести все настройки цветовых схем в исходное состояние?"});
            if (!yes) {
                QCOMPARE(
                    QByteArray(reinterpret_cast<const char *>(mk.Working().data()), MKLayout::WorkingSize),
                    working);
                QCOMPARE(scheme->ItemIndex(), 1);
                return;
            }
            QCOMPARE(Block(mk, "DayPalette", "DayElements"), Bytes(mk.DefaultDayScheme));
            QCOMPARE(Block(mk, "NightPalette", "NightElements"), Bytes(mk.DefaultNightScheme));
            // The day scheme is edited again and shown.
            QCOMPARE(dlg.Context().scheme, 0);
            QCOMPARE(scheme->ItemIndex(), 0);
            QVERIFY(dlg.findChild<TPaintBox *>("pbDigit1")->Picture() != night);
            // The model's factory colours: its night palette has entry 8 at (5, 1, 0).
            QCOMPARE(TMK::UnpackColour(uint16_t(mk.Get("NightPalette", 8))), (TRgb5{5, 1, 0}));
        }();
        return false;
    });
}

void TestDisplay::elementIndexOutOfRange_data() {
    QTest::addColumn<int>("index");
    QTest::newRow("past the palette") << 16;
    QTest::newRow("past a signed byte") << 200;
}

// An element index no palette has: the drawing stops with a range error, the refresh
// ends all the same, and the stored index stays until the user picks another.
void TestDisplay::elementIndexOutOfRange() {
    QFETCH(int, index);
    TMK mk;
    mk.Set("DayElements", index, 2); // "Цвет 2"
    const bool ok = Edit(mk, [&](TMK_SetParamsDlg &dlg) {
        [&] {
            QVERIFY(prompts_->Count(TFakePrompts::ErrorBox) >= 1); // the colour page at show
            prompts_->Clear();
            ShowPage(dlg, "tsColor");
            QCOMPARE(prompts_->Count(TFakePrompts::ErrorBox), 1);
            QVERIFY(prompts_->Texts(TFakePrompts::ErrorBox).first().contains(QString::number(index)));
            QVERIFY(!dlg.Context().refreshing);
            QVERIFY(dlg.findChild<TPaintBox *>("pbDigit1")->Picture().isNull());
            prompts_->Clear();

            ClickRow(dlg.findChild<QTableWidget *>("sgDigit"), 2);
            QCOMPARE(dlg.findChild<QLabel *>("lDigit")->text(), QStringLiteral("Цвет 2"));
            auto *seDigit = dlg.findChild<TSpinEdit *>("seDigit");
            QCOMPARE(seDigit->value(), double(index));
            QCOMPARE(mk.Get("DayElements", 2), index);
        }();
        return true;
    });
    QVERIFY(ok);
    QCOMPARE(mk.Get("DayElements", 2), index);
    prompts_->Clear();

    // Picking a palette entry draws again.
    Edit(mk, [&](TMK_SetParamsDlg &dlg) {
        prompts_->Clear();
        ShowPage(dlg, "tsColor");
        prompts_->Clear();
        ClickRow(dlg.findChild<QTableWidget *>("sgDigit"), 2);
        Type(dlg.findChild<TSpinEdit *>("seDigit"), QStringLiteral("5"));
        [&] {
            QCOMPARE(mk.Get("DayElements", 2), 5);
            QVERIFY(!dlg.findChild<TPaintBox *>("pbDigit1")->Picture().isNull());
        }();
        return false;
    });
}

void TestDisplay::rightClickAssignsParameter_data() {
    QTest::addColumn<int>("model");
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<QString>("field"); // empty: no menu
    QTest::addColumn<int>("index");
    QTest::addColumn<QList<int>>("fixedMenu"); // empty: the protocol's list
    const QList<int> withTrim = {7, 10, 8, 17, 62, 55, 56, 57, 58, 59, 38};
    const QList<int> withoutTrim = {7, 10, 8, 17, 55, 56, 57, 58, 59, 38};
    // clang-format off
    QTest::newRow("x6 top-left cell") << 0x4000 << "tsParams6" << "pbDigit6_2" << QPoint(20, 20) << "Disp6Params" << 6 << QList<int>();
    QTest::newRow("x6 lower right of the large field") << 0x4000 << "tsParams6" << "pbDigit6_2" << QPoint(210, 158) << "Disp6Params" << 6 << QList<int>();
    QTest::newRow("x6 right of the large field") << 0x4000 << "tsParams6" << "pbDigit6_1" << QPoint(300, 100) << "Disp6Params" << 2 << QList<int>();
    QTest::newRow("x6 bottom left") << 0x4000 << "tsParams6" << "pbDigit6_1" << QPoint(10, 230) << "Disp6Params" << 3 << QList<int>();
    QTest::newRow("x4 lower right") << 0x4000 << "tsParams4" << "pbDigit4_2" << QPoint(250, 200) << "Disp4Params" << 7 << QList<int>();
    QTest::newRow("x9 centre") << 0x4000 << "tsParams9" << "pbDigit9_3" << QPoint(160, 120) << "Disp9Params" << 22 << QList<int>();
    QTest::newRow("x1 upper part") << 0x5800 << "tsParams1" << "pbDig1" << QPoint(250, 136) << "" << 0 << QList<int>();
    QTest::newRow("x1 with trim") << 0x5800 << "tsParams1" << "pbDig1" << QPoint(250, 138) << "Disp1Params" << 3 << withTrim;
    QTest::newRow("x1 without trim") << 0x4000 << "tsParams1" << "pbDig1" << QPoint(0, 239) << "Disp1Params" << 0 << withoutTrim;
    // clang-format on
}

void TestDisplay::rightClickAssignsParameter() {
    QFETCH(int, model);
    QFETCH(QString, page);
    QFETCH(QString, box);
    QFETCH(QPoint, at);
    QFETCH(QString, field);
    QFETCH(int, index);
    QFETCH(QList<int>, fixedMenu);
    TMK mk;
    mk.ModelCode = uint16_t(model);
    const QByteArray name = field.toLatin1();
    if (!field.isEmpty()) mk.Set(name.constData(), 12, index); // speed
    const auto working = [&] {
        return QByteArray(reinterpret_cast<const char *>(mk.Working().data()), MKLayout::WorkingSize);
    };
    const bool ok = Edit(mk, [&](TMK_SetParamsDlg &dlg) {
        ShowPage(dlg, page.toLatin1().constData());
        const QByteArray before = working();
        auto *paintBox = dlg.findChild<TPaintBox *>(box);
        const QImage shown = paintBox->Picture();
        [&] {
            QVERIFY(!shown.isNull());
            QTest::mouseClick(paintBox, Qt::RightButton, {}, at);
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            if (field.isEmpty()) {
                QVERIFY(!menu);
                return;
            }
            QVERIFY(menu);
            QList<int> codes;
            QAction *speed = nullptr, *choice = nullptr;
            for (QAction *item : menu->actions()) {
                const int code = item->data().toInt();
                codes << code;
                QCOMPARE(item->isChecked(), code == 12);
                QCOMPARE(item->text(), mk.FindParameter(uint8_t(code))->Name);
                if (code == 12) speed = item;
                if (code == 10) choice = item; // battery voltage: on every list
            }
            if (fixedMenu.isEmpty()) {
                const auto list = Prots().CurrentProtocol->DispList();
                QCOMPARE(codes, QList<int>(list.begin(), list.end()));
                QVERIFY(speed);
            } else {
                QCOMPARE(codes, fixedMenu);
            }
            QVERIFY(choice);
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(choice).center());
            // Only the field's byte changed, and the screen shows it.
            QByteArray expected = before;
            expected[MKLayout::WorkingOffset(TMK::Field(name.constData())) + index] = char(10);
            QCOMPARE(working(), expected);
            QVERIFY(paintBox->Picture() != shown);
        }();
        return true;
    });
    QVERIFY(ok);
    if (!field.isEmpty()) QCOMPARE(mk.Get(name.constData(), index), 10);
}

void TestDisplay::x1Mask_data() {
    QTest::addColumn<int>("model");
    QTest::addColumn<int>("protocol");
    QTest::addColumn<int>("count");
    QTest::addColumn<uint>("low"); // the mask after show
    QTest::addColumn<uint>("high");
    QTest::addColumn<int>("box"); // unchecked by a click
    QTest::addColumn<uint>("lowAfter");
    QTest::addColumn<uint>("highAfter");
    QTest::newRow("38 parameters, box 35")
        << 0x8080 << 1 << 38 << 0xFFFFFFFFu << 0xFFFFFF3Fu << 35 << 0xFFFFFFFFu << 0xFFFFFF37u;
    QTest::newRow("30 parameters, box 5")
        << 0x5800 << 13 << 30 << 0x3FFFFFFFu << 0xFFFFFF00u << 5 << 0x3FFFFFDFu << 0xFFFFFF00u;
}

void TestDisplay::x1Mask() {
    QFETCH(int, model);
    QFETCH(int, protocol);
    QFETCH(int, count);
    QFETCH(uint, low);
    QFETCH(uint, high);
    QFETCH(int, box);
    QFETCH(uint, lowAfter);
    QFETCH(uint, highAfter);
    TMK mk;
    mk.ModelCode = uint16_t(model);
    mk.Set("ProtocolIndex", protocol);
    mk.Set("ProtocolIndex2", protocol);
    mk.Set("ProtocolSelectMeth", ManualSelection(uint16_t(model)));
    mk.Set("ShowDisp1", 0xFFFFFFFF, 0);
    mk.Set("ShowDisp1", 0xFFFFFFFF, 1);
    const bool ok = Edit(mk, [&](TMK_SetParamsDlg &dlg) {
        const auto boxAt = [&](int n) {
            return dlg.findChild<QCheckBox *>(QStringLiteral("cbShowDisp_1_%1").arg(n));
        };
        [&] {
            // At show, before any page is visited.
            QCOMPARE(uint(mk.Get("ShowDisp1", 0)), low);
            QCOMPARE(uint(mk.Get("ShowDisp1", 1)), high);
            QCOMPARE(Prots().CurrentProtocol->DispParamCount, count);
            ShowPage(dlg, "tsDivers");
            for (int n = 0; n < 40; ++n) {
                QCOMPARE(boxAt(n)->isVisible(), n < count);
                QCOMPARE(boxAt(n)->isChecked(), n < count);
                if (n < count)
                    QCOMPARE(boxAt(n)->text(),
                             mk.FindParameter(Prots().CurrentProtocol->DispParams[size_t(n)])->Name);
            }
            QTest::mouseClick(boxAt(box), Qt::LeftButton);
            QCOMPARE(uint(mk.Get("ShowDisp1", 0)), lowAfter);
            QCOMPARE(uint(mk.Get("ShowDisp1", 1)), highAfter);

            // Another protocol: the boxes follow its list.
            dlg.pcMain->setCurrentIndex(1);
            auto *cbProtocol = dlg.findChild<QComboBox *>("cbProtocol");
            cbProtocol->setFocus();
            QTest::keyClick(cbProtocol, Qt::Key_Home);
            dlg.findChild<QWidget *>("cbTankMode")->setFocus();
            const TProtBase &first = *Prots().ProtocolList[0];
            QCOMPARE(Prots().CurrentProtocol, &first);
            ShowPage(dlg, "tsDivers");
            const int shown = std::min(first.DispParamCount, 40);
            for (int n = 0; n < 40; ++n)
                QCOMPARE(boxAt(n)->isVisible(), n < shown);
            QCOMPARE(boxAt(shown - 1)->text(), mk.FindParameter(first.DispParams[size_t(shown - 1)])->Name);
            QCOMPARE(boxAt(box)->isChecked(), false);
        }();
        return true;
    });
    QVERIFY(ok);
}

QTEST_MAIN(TestDisplay)
#include "tst_display.moc"
