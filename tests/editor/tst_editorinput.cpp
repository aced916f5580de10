// What the user types, presses, loads and reads in the settings editor, and what the
// image holds afterwards.

#include "EditorSession.h"
#include "FakePrompts.h"
#include "TestEnv.h"
#include "app/MainForm.h"
#include "app/PassW.h"
#include "base/Lang.h"
#include "catalogue/ProtsH.h"
#include "editor/Binder.h"
#include "editor/MK_SetParamsDlg.h"
#include "editor/PageBlocks.h"
#include "editor/PaintBox.h"
#include "editor/Widgets.h"
#include "link/ML_RS232.h"
#include "link/ML_RS232_SetNumDlg.h"
#include "model/MK.h"
#include "model/SettingsFile.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <algorithm>
#include <functional>

namespace {

// Every spin edit of the editor that takes decimals from the keyboard, with a value
// typed as whole part and decimals and the raw value it stores.
struct TDecimalRow {
    const char *control;
    const char *whole, *decimals;
    const char *field;
    double stored; // the field's integer, or for factors the typed percentage
    bool factor = false;
};

// clang-format off
const TDecimalRow kDecimals[] = {
    {"seVelocityCorr",   "-3", "2", "VelocityCorr",   -3.2, true},
    {"seExpenseCorr",    "12", "5", "ExpenseCorr",    12.5, true},
    {"seGazExpenseCorr", "-0", "3", "GazExpenseCorr", -0.3, true},
    {"seAccCorr",        "0",  "5", "AccCorr",        5},
    {"seK100Manual",     "7",  "5", "K100Manual",     75},
    {"seUaccLowLimit",   "11", "6", "UaccLowLimit",   116},
    {"seUaccHighLimit",  "14", "4", "UaccHighLimit",  144},
    {"sePricePath",      "2",  "5", "PricePath",      25},
    {"sePriceExpense",   "45", "7", "PriceExpense",   457},
    {"sePriceGas",       "19", "9", "PriceGas",       199},
    {"seAirFiltCntK",    "7",  "5", "AirFiltCntK",    75}, // in hundreds of km on compact devices
};
// clang-format on

// A settings image of the model whose sections hold the defaults and what set() sets.
void MakeImage(TMK &mk, uint16_t model, const std::function<void(TMK &)> &set = {}) {
    mk.ModelCode = model;
    mk.Image.Append(TestEnv::SampleImage());
    const TMK defaults;
    std::copy(defaults.Working().begin(), defaults.Working().end(), mk.Working().begin());
    if (set) set(mk);
    for (int k = 1; k <= 11; ++k)
        mk.StoreSection(k);
}

// Makes every page that holds w the current one, so that w can take the focus.
void ShowPageOf(TMK_SetParamsDlg &dlg, QWidget *w) {
    for (QWidget *p = w; p; p = p->parentWidget())
        for (QTabWidget *tabs : {dlg.pcMain, dlg.pcDisp})
            if (tabs->indexOf(p) >= 0) tabs->setCurrentWidget(p);
}

void Type(QWidget *w, const QString &text) {
    w->setFocus();
    if (auto *spin = qobject_cast<QAbstractSpinBox *>(w)) spin->selectAll();
    if (auto *edit = qobject_cast<QLineEdit *>(w)) edit->selectAll();
    QTest::keyClicks(w, text);
}

// The value the raw image holds for the field (read back from its bytes).
double StoredValue(const TMK &mk, const char *field, bool factor, int index = 0) {
    TMK back;
    back.ModelCode = mk.ModelCode;
    back.Image.Append(mk.Image.Bytes());
    back.LoadAllSections();
    return factor ? double(back.GetFloat(field)) : double(back.Get(field, index));
}

} // namespace

class TestEditorInput : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void decimalSeparators_data();
    void decimalSeparators();
    void notANumberIsRefused_data();
    void notANumberIsRefused();
    void moreDecimalsThanShown_data();
    void moreDecimalsThanShown();
    void cellsKeepTheTypedNumber_data();
    void cellsKeepTheTypedNumber();
    void enterClosesOnlyOnOk_data();
    void enterClosesOnlyOnOk();
    void trimLimitsFromAFile_data();
    void trimLimitsFromAFile();
    void standardButtonsFollowTheLanguage();
    void protocolListShowsWholeNames_data();
    void protocolListShowsWholeNames();
    void velocityCorrectionCaption_data();
    void velocityCorrectionCaption();
    void tabFollowsTheReadingOrder_data();
    void tabFollowsTheReadingOrder();
    void pageKeysFromEveryControl();
    void closingKeys_data();
    void closingKeys();
    void fitsTheScreen();
    void previewsAreSharp();

private:
    std::unique_ptr<TFakePrompts> prompts_;
};

void TestEditorInput::init() {
    prompts_ = std::make_unique<TFakePrompts>();
    Lang::SetEnglish(false);
    QLocale::setDefault(QLocale::c());
}

void TestEditorInput::cleanup() {
    QLocale::setDefault(QLocale::c());
    QCOMPARE(prompts_->Texts(TFakePrompts::ErrorBox), QStringList());
    prompts_.reset();
}

void TestEditorInput::decimalSeparators_data() {
    QTest::addColumn<int>("model");
    QTest::addColumn<bool>("english");
    QTest::addColumn<bool>("russianNumbers");
    QTest::addColumn<QString>("separator");
    // The interface language and the system's number format are the user's, the
    // separator is whichever key the user presses. Model 0x8000 has every decimal
    // control but one, 0x5000 counts the service interval in hundreds of km.
    for (int model : {0x8000, 0x5000})
        for (bool english : {false, true})
            for (bool russianNumbers : {false, true})
                for (const char *separator : {",", "."})
                    QTest::addRow("%x %s %s %s", model, english ? "en" : "ru", russianNumbers ? "ru_RU" : "C",
                                  separator)
                        << model << english << russianNumbers << QString::fromLatin1(separator);
}

void TestEditorInput::decimalSeparators() {
    QFETCH(int, model);
    QFETCH(bool, english);
    QFETCH(bool, russianNumbers);
    QFETCH(QString, separator);
    TLangScope lang(english);
    QLocale::setDefault(russianNumbers ? QLocale(QLocale::Russian, QLocale::Russia) : QLocale::c());
    TMK mk;
    MakeImage(mk, uint16_t(model));
    QList<const TDecimalRow *> typed;
    QStringList untested;
    const bool ok = EditSession(mk, [&](TMK_SetParamsDlg &dlg) {
        for (const TDecimalRow &r : kDecimals) {
            auto *spin = dlg.findChild<TSpinEdit *>(r.control);
            if (!spin || spin->decimals() == 0 || !dlg.Binder().ShownByFlags(spin)) continue;
            ShowPageOf(dlg, spin);
            Type(spin, QString::fromLatin1(r.whole) + separator + QString::fromLatin1(r.decimals));
            QTest::keyClick(spin, Qt::Key_Tab);
            typed << &r;
        }
        // Nothing that takes decimals from the keyboard is left out.
        for (TSpinEdit *spin : dlg.findChildren<TSpinEdit *>())
            if (spin->decimals() > 0 && !spin->ArrowsOnly() && dlg.Binder().ShownByFlags(spin) &&
                std::none_of(typed.begin(), typed.end(), [&](const TDecimalRow *r) {
                    return spin->objectName() == QLatin1String(r->control);
                }))
                untested << spin->objectName();
        return true;
    });
    QVERIFY(ok);
    QCOMPARE(untested, QStringList());
    QStringList wrong;
    for (const TDecimalRow *r : typed) {
        const double expected = r->factor ? double(float(r->stored / 100 + 1)) : r->stored;
        const double stored = StoredValue(mk, r->field, r->factor);
        if (stored != expected)
            wrong << QStringLiteral("%1 %2 instead of %3")
                         .arg(QLatin1String(r->control))
                         .arg(stored, 0, 'g', 9)
                         .arg(expected, 0, 'g', 9);
    }
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QStringLiteral("; "))));
}

void TestEditorInput::notANumberIsRefused_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("leave"); // the key that ends the edit
    QTest::newRow("two separators") << "1,,5" << int(Qt::Key_Tab);
    QTest::newRow("both separators") << "1,5.2" << int(Qt::Key_Tab);
    QTest::newRow("letters") << "abc" << int(Qt::Key_Tab);
    QTest::newRow("two signs") << "--0,1" << int(Qt::Key_Tab);
    QTest::newRow("nothing") << "" << int(Qt::Key_Tab);
    QTest::newRow("Enter") << "0;5" << int(Qt::Key_Return);
    QTest::newRow("an arrow") << "0..5" << int(Qt::Key_Up);
}

void TestEditorInput::notANumberIsRefused() {
    QFETCH(QString, typed);
    QFETCH(int, leave);
    TMK mk;
    MakeImage(mk, 0x4000, [](TMK &m) { m.Set("AccCorr", 3); });
    QString shown;
    EditSession(mk, [&](TMK_SetParamsDlg &dlg) {
        auto *spin = dlg.findChild<TSpinEdit *>("seAccCorr");
        Type(spin, typed);
        if (typed.isEmpty()) QTest::keyClick(spin, Qt::Key_Delete);
        QTest::keyClick(spin, Qt::Key(leave));
        shown = spin->text();
        return true;
    });
    QCOMPARE(prompts_->Count(TFakePrompts::ErrorBox), 1);
    QVERIFY(prompts_->Texts(TFakePrompts::ErrorBox).first().startsWith(QStringLiteral("Range check error")));
    prompts_->Clear();
    QCOMPARE(shown, QStringLiteral("0.3"));
    QCOMPARE(StoredValue(mk, "AccCorr", false), 3.0);
}

void TestEditorInput::moreDecimalsThanShown_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("stored");
    // Rounded to what the control shows, halves to even, on the typed digits.
    // clang-format off
    QTest::newRow("0,25 V")  << "seAccCorr"  << "0,25"  << "AccCorr"  << 2;
    QTest::newRow("0,35 V")  << "seAccCorr"  << "0,35"  << "AccCorr"  << 4;
    QTest::newRow("0,251 V") << "seAccCorr"  << "0,251" << "AccCorr"  << 3;
    QTest::newRow("-0.45 V") << "seAccCorr"  << "-0.45" << "AccCorr"  << -4;
    QTest::newRow("12,5 s")  << "seTimeCorr" << "12,5"  << "TimeCorr" << 12;
    QTest::newRow("13.5 s")  << "seTimeCorr" << "13.5"  << "TimeCorr" << 14;
    QTest::newRow("-0,4 s")  << "seTimeCorr" << "-0,4"  << "TimeCorr" << 0;
    // clang-format on
}

void TestEditorInput::moreDecimalsThanShown() {
    QFETCH(QString, control);
    QFETCH(QString, typed);
    QFETCH(QString, field);
    QFETCH(int, stored);
    TMK mk;
    MakeImage(mk, 0x4000);
    EditSession(mk, [&](TMK_SetParamsDlg &dlg) {
        auto *spin = dlg.findChild<TSpinEdit *>(control);
        Type(spin, typed);
        QTest::keyClick(spin, Qt::Key_Tab);
        return true;
    });
    QCOMPARE(StoredValue(mk, field.toLatin1().constData(), false), double(stored));
}

void TestEditorInput::cellsKeepTheTypedNumber_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("row"); // a grid's cell; -1 for a control of its own
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("stored"); // afterwards: the old value where the text is refused
    QTest::addColumn<bool>("refused");
    // Tare cells hold whole litres and units; the image holds 19 l and 50 units in row 2.
    // clang-format off
    QTest::newRow("tare litres 1,5") << "sgTarir" << 1 << 1 << "1,5" << "TarirLitres" << 1 << 19 << true;
    QTest::newRow("tare units 1a2")  << "sgTarir" << 1 << 2 << "1a2" << "TarirUnits"  << 1 << 50 << true;
    QTest::newRow("tare litres 25")  << "sgTarir" << 1 << 1 << "25"  << "TarirLitres" << 1 << 25 << false;
    // Spin edits of the 7-point table and the colour elements round to whole values.
    QTest::newRow("7-point litres 1,5") << "seOilCalibrLitArr1" << -1 << 0 << "1,5"  << "OilCalibrLitArr" << 1 << 2  << false;
    QTest::newRow("7-point units 12.5") << "seOilCalibrResArr1" << -1 << 0 << "12.5" << "OilCalibrResArr" << 1 << 12 << false;
    QTest::newRow("colour element 1,5") << "seDigit"            << -1 << 0 << "1,5"  << "DayElements"     << 0 << 2  << false;
    // Times and dates: the other separator keys move to the next field.
    QTest::newRow("time 7,30")   << "meIntenseDayTime" << -1 << 0 << "7,30"   << "IntenseDayTime" << 0 << 450  << false;
    QTest::newRow("time 7.30")   << "meIntenseDayTime" << -1 << 0 << "7.30"   << "IntenseDayTime" << 0 << 450  << false;
    QTest::newRow("time 7:3")    << "meIntenseDayTime" << -1 << 0 << "7:3"    << "IntenseDayTime" << 0 << 100  << true;
    QTest::newRow("date 1/1/12") << "deTO"             << -1 << 0 << "1/1/12" << "TODate"         << 0 << 4384 << false;
    // clang-format on
}

void TestEditorInput::cellsKeepTheTypedNumber() {
    QFETCH(QString, control);
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QString, typed);
    QFETCH(QString, field);
    QFETCH(int, index);
    QFETCH(int, stored);
    QFETCH(bool, refused);
    TMK mk;
    MakeImage(mk, 0x4000, [](TMK &m) {
        m.Set("TarirLeng", 3);
        m.Set("IntenseDayTime", 100);
    });
    const bool ok = EditSession(mk, [&](TMK_SetParamsDlg &dlg) {
        auto *w = dlg.findChild<QWidget *>(control);
        ShowPageOf(dlg, w);
        if (auto *grid = qobject_cast<QTableWidget *>(w)) {
            grid->setFocus();
            grid->setCurrentCell(row, column);
            for (const QChar c : typed) // the first key opens the cell, the others go to it
                QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            dlg.CancelBtn->setFocus(); // the grid is left
        } else {
            Type(w, typed);
            QTest::keyClick(w, Qt::Key_Tab);
        }
        return true;
    });
    QVERIFY(ok);
    QCOMPARE(StoredValue(mk, field.toLatin1().constData(), false, index), double(stored));
    QCOMPARE(prompts_->Count(TFakePrompts::ErrorBox), refused ? 1 : 0);
    prompts_->Clear();
}

namespace {

// The first system the add-systems page offers, as the page lists it now.
int FirstOffered(TMK_SetParamsDlg &dlg) {
    const auto *page = static_cast<TPageBlocks *>(dlg.Page(QStringLiteral("tsBlocks")));
    return page->Offered().isEmpty() ? -1 : page->Offered().front().id;
}

struct TEnterCase {
    const char *name;
    const char *control;
    const char *typed;
    int closes; // -1: the editor stays open
    // What the image holds right after Enter, where Enter stores.
    std::function<bool(const TMK &, TMK_SetParamsDlg &)> stored = {};
};

const TEnterCase kEnterCases[] = {
    {"spin edit", "seTimeCorr", "12", -1,
     [](const TMK &mk, TMK_SetParamsDlg &) { return mk.Get("TimeCorr") == 12; }},
    {"name edit", "eForsTOCntK", "Fuel", -1,
     [](const TMK &mk, TMK_SetParamsDlg &) {
         return mk.GetBytes("ServiceNames").mid(32, 5) == QByteArray("Fuel\0", 5);
     }},
    {"combo box", "cbTankMode", "", -1},
    {"add-systems list", "sgAllBlocks", "", -1,
     [](const TMK &mk, TMK_SetParamsDlg &dlg) {
         const int id = FirstOffered(dlg);
         return id > 0 && mk.Bit("ServiceNames", id % 8, id / 8);
     }},
    {"OK", "OKBtn", "", QDialog::Accepted},
    {"Cancel", "CancelBtn", "", QDialog::Rejected},
};

} // namespace

void TestEditorInput::enterClosesOnlyOnOk_data() {
    QTest::addColumn<int>("index");
    for (int i = 0; i < int(std::size(kEnterCases)); ++i)
        QTest::newRow(kEnterCases[i].name) << i;
}

void TestEditorInput::enterClosesOnlyOnOk() {
    QFETCH(int, index);
    const TEnterCase &c = kEnterCases[index];
    TMK mk;
    MakeImage(mk, 0x4000);
    bool open = false, stored = false;
    int result = -1;
    QStringList defaults;
    EditSession(mk, [&](TMK_SetParamsDlg &dlg) {
        // Nothing is pressed by Enter from elsewhere.
        for (const QPushButton *b : dlg.findChildren<QPushButton *>())
            if (b->isDefault() || b->autoDefault()) defaults << b->objectName();
        auto *w = dlg.findChild<QWidget *>(c.control);
        ShowPageOf(dlg, w);
        if (auto *grid = qobject_cast<QTableWidget *>(w)) grid->setCurrentCell(0, 0);
        w->setFocus();
        Type(w, QString::fromLatin1(c.typed));
        QTest::keyClick(w, Qt::Key_Return);
        open = dlg.isVisible();
        result = dlg.result();
        stored = !c.stored || c.stored(mk, dlg);
        return open;
    });
    QCOMPARE(open, c.closes < 0);
    if (!open) QCOMPARE(result, c.closes);
    QVERIFY(stored);
    QCOMPARE(defaults, QStringList());
}

void TestEditorInput::trimLimitsFromAFile_data() {
    QTest::addColumn<int>("low");
    QTest::addColumn<int>("high");
    QTest::addColumn<QList<int>>("lowShown"); // value, minimum, maximum
    QTest::addColumn<QList<int>>("highShown");
    // The high limit is loaded first, then the low one, then each bounds the other.
    QTest::newRow("in order") << 10 << 60 << QList<int>{10, -9, 59} << QList<int>{60, 11, 90};
    QTest::newRow("crossed: high raised") << 50 << 45 << QList<int>{50, -9, 50} << QList<int>{51, 51, 90};
    QTest::newRow("equal") << 30 << 30 << QList<int>{30, -9, 30} << QList<int>{31, 31, 90};
    QTest::newRow("the defaults") << 0 << 0 << QList<int>{0, -9, 0} << QList<int>{1, 1, 90};
    QTest::newRow("low at the top") << 90 << -9 << QList<int>{89, -9, 89} << QList<int>{90, 90, 90};
}

void TestEditorInput::trimLimitsFromAFile() {
    QFETCH(int, low);
    QFETCH(int, high);
    QFETCH(QList<int>, lowShown);
    QFETCH(QList<int>, highShown);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("trim.vorng"));
    {
        TMK source;
        MakeImage(source, 0x5000, [&](TMK &m) {
            m.Set("TrimLowLimit", low);
            m.Set("TrimHighLimit", high);
        });
        SettingsFile::Save(source, file);
    }
    for (bool ok : {false, true}) {
        TMK mk;
        SettingsFile::Load(mk, file);
        QList<int> lowSeen, highSeen;
        EditSession(mk, [&](TMK_SetParamsDlg &dlg) {
            for (auto [name, seen] :
                 {std::pair{"seTrimLowLimit", &lowSeen}, std::pair{"seTrimHighLimit", &highSeen}}) {
                auto *spin = dlg.findChild<TSpinEdit *>(name);
                *seen = {int(spin->value()), int(spin->minimum()), int(spin->maximum())};
            }
            return ok;
        });
        QCOMPARE(lowSeen, lowShown);
        QCOMPARE(highSeen, highShown);
        // What the editor shows is what OK keeps; Cancel keeps the file's values.
        QCOMPARE(StoredValue(mk, "TrimLowLimit", false), double(ok ? lowShown[0] : low));
        QCOMPARE(StoredValue(mk, "TrimHighLimit", false), double(ok ? highShown[0] : high));
    }
}

namespace {

// The texts of OK and Cancel (or of the button box) of the dialog open() opens; the
// dialog is then closed by Escape, from the control that has the focus.
QStringList ButtonsOfNextDialog(const std::function<void()> &open,
                                const std::function<void(QDialog &)> &inside = {}) {
    QStringList texts;
    QTimer::singleShot(0, [&] {
        auto *dlg = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dlg) return;
        if (auto *ok = dlg->findChild<QPushButton *>("OKBtn"))
            texts << ok->text() << dlg->findChild<QPushButton *>("CancelBtn")->text();
        else
            for (QDialogButtonBox *box : dlg->findChildren<QDialogButtonBox *>())
                for (QAbstractButton *b : box->buttons())
                    texts << b->text();
        if (inside) inside(*dlg);
        QTest::keyClick(dlg->focusWidget() ? dlg->focusWidget() : dlg, Qt::Key_Escape);
        if (dlg->isVisible()) {
            texts << QStringLiteral("(Escape did not close %1)").arg(dlg->objectName());
            dlg->reject();
        }
    });
    open();
    return texts;
}

} // namespace

void TestEditorInput::standardButtonsFollowTheLanguage() {
    QTemporaryDir dir;
    qputenv("TRIPCONF_INI", dir.filePath(QStringLiteral("t.ini")).toLocal8Bit());
    TMainForm form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    TMK source;
    MakeImage(source, 0x4000);
    const QString file = dir.filePath(QStringLiteral("a.vorng"));
    SettingsFile::Save(source, file);
    prompts_->FileNames << file;
    form.bLoadParams->click();
    QVERIFY(form.bEditParams->isEnabled());
    // Back and forth: the buttons follow every switch.
    for (bool english : {false, true, false}) {
        if (form.cbEnglishVersion->isChecked() != english) form.cbEnglishVersion->click();
        const QStringList expected = english ? QStringList{"OK", "Cancel"} : QStringList{"OK", "Отмена"};
        QStringList calendar;
        const QStringList editor = ButtonsOfNextDialog(
            [&] { form.bEditParams->click(); },
            [&](QDialog &dlg) {
                auto *date = dlg.findChild<QLineEdit *>("deTO");
                calendar = ButtonsOfNextDialog([&] { date->findChild<QAction *>("pickDate")->trigger(); });
            });
        QCOMPARE(editor, expected);
        QCOMPARE(calendar, expected);
        QCOMPARE(ButtonsOfNextDialog([&] { form.bViewJournals->click(); }), expected);
        // The link's dialogs keep their own fixed texts, and their buttons show whole.
        TPortDialogs link;
        for (const std::function<void()> &open : std::initializer_list<std::function<void()>>{
                 [] { AskPassword(QStringLiteral("?"), QStringLiteral("QZK")); },
                 [&] { link.ChoosePort(*form.Link()); }, [&] { link.ChooseBaudRate(115200); }})
            QCOMPARE(ButtonsOfNextDialog(open,
                                         [](QDialog &dlg) {
                                             for (const QPushButton *b : dlg.findChildren<QPushButton *>()) {
                                                 const QRect r(b->mapTo(&dlg, QPoint(0, 0)), b->size());
                                                 QVERIFY2(dlg.rect().contains(r) &&
                                                              b->width() >= b->minimumSizeHint().width(),
                                                          qPrintable(b->objectName()));
                                             }
                                         }),
                     expected);
    }
    form.SettingsModified = false;
    form.close();
    qunsetenv("TRIPCONF_INI");
}

void TestEditorInput::protocolListShowsWholeNames_data() {
    QTest::addColumn<int>("model");
    QTest::addColumn<bool>("english");
    // The model whose list holds the longest name, in each language.
    for (bool english : {false, true}) {
        TLangScope lang(english);
        int model = 0;
        qsizetype longest = 0;
        for (const TDeviceModel &m : DeviceModels()) {
            Prots().BuildProtocolList(m.Code, 0, 0);
            for (const auto &p : Prots().ProtocolList)
                if (p->Name.size() > longest) {
                    longest = p->Name.size();
                    model = m.Code;
                }
        }
        QTest::addRow("%x %s", model, english ? "en" : "ru") << model << english;
    }
}

void TestEditorInput::protocolListShowsWholeNames() {
    QFETCH(int, model);
    QFETCH(bool, english);
    TLangScope lang(english);
    TMK mk;
    MakeImage(mk, uint16_t(model), [](TMK &m) { m.Set("ProtocolSelectMeth", 9); }); // past the list: manual
    EditSession(mk, [&](TMK_SetParamsDlg &dlg) {
        dlg.pcMain->setCurrentIndex(1);
        auto *select = dlg.findChild<QComboBox *>("cbProtocolSelectMeth");
        select->setFocus();
        QTest::keyClick(select, Qt::Key_End); // manual selection shows the protocol list
        auto *protocol = dlg.findChild<QComboBox *>("cbProtocol");
        [&] {
            QVERIFY(protocol->isVisible());
            const QRect closed = protocol->geometry();
            protocol->showPopup();
            QAbstractItemView *view = protocol->view();
            QVERIFY(QTest::qWaitForWindowExposed(view->window()));
            // The widest item as the list draws it, margins included.
            QCOMPARE_GE(view->viewport()->width(), view->sizeHintForColumn(0));
            protocol->hidePopup();
            QCOMPARE(protocol->geometry(), closed);
        }();
        return false;
    });
}

void TestEditorInput::velocityCorrectionCaption_data() {
    QTest::addColumn<bool>("english");
    QTest::addColumn<QString>("caption");
    QTest::newRow("ru") << false << QStringLiteral("Скорость, %");
    QTest::newRow("en") << true << QStringLiteral("Speeed, %");
}

void TestEditorInput::velocityCorrectionCaption() {
    QFETCH(bool, english);
    QFETCH(QString, caption);
    TLangScope lang(english);
    TMK mk;
    MakeImage(mk, 0x4000);
    QStringList seen;
    EditSession(mk, [&](TMK_SetParamsDlg &dlg) {
        auto *label = dlg.findChild<QLabel *>("lVelocityCorr");
        seen << label->text();
        // Every page refreshes what it shows when it comes to the front.
        for (int page = dlg.pcMain->count() - 1; page >= 0; --page)
            dlg.pcMain->setCurrentIndex(page);
        seen << label->text();
        return false;
    });
    QCOMPARE(seen, QStringList(2, caption));
}

namespace {

// Where Tab goes on a page: its controls in reading order, as the page's layout lays them
// out. A box layout is read in its direction, each item whole before the next, so a
// column is read top to bottom before the column to its right. A grid is read across its
// rows, as a line of a form (caption, value, unit, "use"), except a grid of check boxes
// only: that is an array numbered down its columns. A tab widget is its tab bar, then its
// current page; a scroll area is what it scrolls; a radio group is one stop.
void ReadingOrder(QLayout *layout, QList<QWidget *> &out);

void ReadingOrder(QWidget *w, QList<QWidget *> &out) {
    if (!w || !w->isVisible() || !w->isEnabled()) return;
    if (auto *radio = qobject_cast<TRadioGroup *>(w)) {
        for (int i = 0; i < radio->Count(); ++i)
            if (radio->Button(i)->isEnabled()) {
                out << radio;
                break;
            }
        return;
    }
    if (auto *tabs = qobject_cast<QTabWidget *>(w)) {
        ReadingOrder(tabs->tabBar(), out);
        ReadingOrder(tabs->currentWidget(), out);
        return;
    }
    if (auto *scroll = qobject_cast<QScrollArea *>(w)) {
        if (scroll->focusPolicy() & Qt::TabFocus) out << scroll;
        ReadingOrder(scroll->widget(), out);
        return;
    }
    if (w->focusPolicy() & Qt::TabFocus) {
        out << w;
        return;
    }
    ReadingOrder(w->layout(), out);
}

void ReadingOrder(QLayout *layout, QList<QWidget *> &out) {
    if (!layout) return;
    struct TCell {
        QLayoutItem *item;
        int row, column;
    };
    QList<TCell> cells;
    auto *grid = qobject_cast<QGridLayout *>(layout);
    bool checksOnly = grid != nullptr;
    for (int i = 0; i < layout->count(); ++i) {
        TCell c{layout->itemAt(i), 0, i};
        if (grid) {
            int rowSpan = 0, columnSpan = 0;
            grid->getItemPosition(i, &c.row, &c.column, &rowSpan, &columnSpan);
            checksOnly = checksOnly && qobject_cast<QCheckBox *>(c.item->widget());
        }
        cells << c;
    }
    std::stable_sort(cells.begin(), cells.end(), [checksOnly](const TCell &a, const TCell &b) {
        return checksOnly ? std::pair(a.column, a.row) < std::pair(b.column, b.row)
                          : std::pair(a.row, a.column) < std::pair(b.row, b.column);
    });
    for (const TCell &c : cells) {
        if (c.item->widget())
            ReadingOrder(c.item->widget(), out);
        else
            ReadingOrder(c.item->layout(), out);
    }
}

// The stop a focused widget belongs to: a radio button is its group's.
QWidget *StopOf(QWidget *focus) {
    if (focus && qobject_cast<QRadioButton *>(focus))
        if (auto *group = qobject_cast<TRadioGroup *>(focus->parentWidget())) return group;
    return focus;
}

QString Names(const QList<QWidget *> &widgets) {
    QStringList names;
    for (const QWidget *w : widgets)
        names << (w ? w->objectName() + QLatin1Char(':') + QLatin1String(w->metaObject()->className())
                    : QStringLiteral("(none)"));
    return names.join(QLatin1Char(' '));
}

void FocusStop(QWidget *stop) {
    if (auto *radio = qobject_cast<TRadioGroup *>(stop)) {
        for (int i = 0; i < radio->Count(); ++i)
            if (radio->Button(i)->isEnabled() && (radio->ItemIndex() < 0 || radio->ItemIndex() == i)) {
                radio->Button(i)->setFocus(Qt::TabFocusReason);
                return;
            }
    }
    stop->setFocus(Qt::TabFocusReason);
}

QByteArray Working(const TMK &mk) {
    return QByteArray(reinterpret_cast<const char *>(mk.Working().data()), MKLayout::WorkingSize);
}

// The working fields after the editor was shown and closed with OK, nothing touched:
// showing it settles a few values (a tare count beyond the table, crossed trim limits).
QByteArray AfterPlainOk(uint16_t model, const std::function<void(TMK &)> &set) {
    TMK mk;
    MakeImage(mk, model, set);
    EditSession(mk, [](TMK_SetParamsDlg &) { return true; });
    return Working(mk);
}

// Every page the user can bring to the front, the display sub-pages one by one.
void ForEachPage(TMK_SetParamsDlg &dlg, const std::function<void(QWidget *page)> &visit) {
    for (int i = 0; i < dlg.pcMain->count(); ++i) {
        if (!dlg.pcMain->isTabVisible(i)) continue;
        dlg.pcMain->setCurrentIndex(i);
        if (!dlg.pcMain->currentWidget()->isAncestorOf(dlg.pcDisp)) {
            visit(dlg.pcMain->currentWidget());
            continue;
        }
        for (int j = 0; j < dlg.pcDisp->count(); ++j) {
            if (!dlg.pcDisp->isTabVisible(j)) continue;
            dlg.pcDisp->setCurrentIndex(j);
            visit(dlg.pcDisp->currentWidget());
        }
    }
}

} // namespace

void TestEditorInput::tabFollowsTheReadingOrder_data() {
    QTest::addColumn<int>("model");
    QTest::addColumn<bool>("english");
    // Gas and add-systems; trim and the compact service page; parking, CAN options.
    QTest::newRow("4000 ru") << 0x4000 << false;
    QTest::newRow("5000 en") << 0x5000 << true;
    QTest::newRow("8080 ru") << 0x8080 << false;
}

void TestEditorInput::tabFollowsTheReadingOrder() {
    QFETCH(int, model);
    QFETCH(bool, english);
    TLangScope lang(english);
    TMK mk;
    MakeImage(mk, uint16_t(model), [](TMK &m) { m.Set("TarirLeng", 4); });
    QStringList wrong;
    int pages = 0;
    EditSession(mk, [&](TMK_SetParamsDlg &dlg) {
        ForEachPage(dlg, [&](QWidget *page) {
            // The display page is read from its sub-page tabs.
            QWidget *top =
                page->parentWidget()->parentWidget() == dlg.pcDisp ? dlg.pcMain->currentWidget() : page;
            QList<QWidget *> expected;
            ReadingOrder(top, expected);
            if (expected.isEmpty()) {
                wrong << page->objectName() + QStringLiteral(": nothing to walk");
                return;
            }
            FocusStop(expected.first());
            QList<QWidget *> walked{StopOf(QApplication::focusWidget())};
            while (walked.size() <= expected.size() + 2) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                QWidget *now = StopOf(QApplication::focusWidget());
                if (now == dlg.OKBtn || now == dlg.CancelBtn) break;
                walked << now;
            }
            if (walked != expected)
                wrong << page->objectName() + QStringLiteral(":\n  read   ") + Names(expected) +
                             QStringLiteral("\n  walked ") + Names(walked);
            ++pages;
        });
        return false;
    });
    QVERIFY(pages >= 15);
    for (const QString &w : wrong) // too long for one message
        qWarning().noquote() << w;
    QCOMPARE(wrong.size(), 0);
}

void TestEditorInput::pageKeysFromEveryControl() {
    // Forward and back, from every control of every page: the main pages follow one
    // another around, also from inside the display page, and no control changes.
    const QKeyCombination keys[] = {Qt::ControlModifier | Qt::Key_Tab, Qt::ControlModifier | Qt::Key_PageDown,
                                    Qt::ControlModifier | Qt::ShiftModifier | Qt::Key_Backtab,
                                    Qt::ControlModifier | Qt::Key_PageUp};
    const auto set = [](TMK &m) { m.Set("TarirLeng", 4); };
    const QByteArray untouched = AfterPlainOk(0x8080, set);
    TMK mk;
    MakeImage(mk, 0x8080, set);
    QStringList wrong;
    int pressed = 0;
    EditSession(mk, [&](TMK_SetParamsDlg &dlg) {
        QList<int> shown;
        for (int i = 0; i < dlg.pcMain->count(); ++i)
            if (dlg.pcMain->isTabVisible(i)) shown << i;
        ForEachPage(dlg, [&](QWidget *page) {
            const int main = dlg.pcMain->currentIndex(), sub = dlg.pcDisp->currentIndex();
            QList<QWidget *> stops;
            ReadingOrder(page, stops);
            for (QWidget *stop : stops) {
                const QKeyCombination key = keys[pressed++ % 4];
                const bool forward =
                    !(key.keyboardModifiers() & Qt::ShiftModifier) && key.key() != Qt::Key_PageUp;
                FocusStop(stop);
                QTest::keyClick(QApplication::focusWidget(), key.key(), key.keyboardModifiers());
                const qsizetype at = shown.indexOf(main);
                const int expected = shown[(at + (forward ? 1 : shown.size() - 1)) % shown.size()];
                if (dlg.pcMain->currentIndex() != expected || dlg.pcDisp->currentIndex() != sub)
                    wrong << QStringLiteral("%1 from %2: page %3, display page %4")
                                 .arg(QKeySequence(key).toString(), stop->objectName())
                                 .arg(dlg.pcMain->currentIndex())
                                 .arg(dlg.pcDisp->currentIndex());
                // The focus went with the page.
                if (!dlg.pcMain->currentWidget()->isAncestorOf(QApplication::focusWidget()))
                    wrong << QStringLiteral("%1 from %2: the focus stayed behind")
                                 .arg(QKeySequence(key).toString(), stop->objectName());
                dlg.pcMain->setCurrentIndex(main);
                dlg.pcDisp->setCurrentIndex(sub);
            }
        });
        return true;
    });
    QVERIFY(pressed > 200);
    for (const QString &w : wrong)
        qWarning().noquote() << w;
    QCOMPARE(wrong.size(), 0);
    QCOMPARE(Working(mk), untouched);
}

void TestEditorInput::closingKeys_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("typed"); // just before the key, into a field that shows it is kept
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("result");
    const struct {
        const char *control, *typed, *field;
        int stored;
    } controls[] = {{"seTimeCorr", "12", "TimeCorr", 12},
                    {"meIntenseDayTime", "0730", "IntenseDayTime", 450},
                    {"cbTankMode", "", "", 0},
                    {"sgTarir", "", "", 0},
                    {"rgPrognozMeth", "", "", 0}};
    const struct {
        const char *name;
        int key, modifiers, result;
    } keys[] = {{"Escape", Qt::Key_Escape, 0, QDialog::Rejected},
                {"Ctrl+Return", Qt::Key_Return, Qt::ControlModifier, QDialog::Accepted},
                {"Ctrl+Enter", Qt::Key_Enter, Qt::ControlModifier | Qt::KeypadModifier, QDialog::Accepted}};
    for (const auto &c : controls)
        for (const auto &k : keys)
            QTest::addRow("%s %s", c.control, k.name)
                << c.control << c.typed << c.field << c.stored << k.key << k.modifiers << k.result;
}

void TestEditorInput::closingKeys() {
    QFETCH(QString, control);
    QFETCH(QString, typed);
    QFETCH(QString, field);
    QFETCH(int, stored);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, result);
    TMK mk;
    MakeImage(mk, 0x4000, [](TMK &m) { m.Set("TarirLeng", 4); });
    const QByteArray f = field.toLatin1();
    const int64_t before = f.isEmpty() ? 0 : mk.Get(f.constData());
    int closedWith = -1;
    mk.EditSettings([&] {
        TMK_SetParamsDlg dlg(mk);
        dlg.show();
        QApplication::setActiveWindow(&dlg);
        if (!QTest::qWaitForWindowActive(&dlg)) return false;
        QWidget *w = dlg.findChild<QWidget *>(control);
        ShowPageOf(dlg, w);
        FocusStop(w);
        if (!typed.isEmpty()) Type(w, typed);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        if (!dlg.isVisible())
            closedWith = dlg.result();
        else
            dlg.reject();
        return dlg.result() == QDialog::Accepted;
    });
    QCOMPARE(closedWith, result);
    if (!f.isEmpty()) QCOMPARE(mk.Get(f.constData()), result == QDialog::Accepted ? stored : before);
}

// On whatever screen the test runs: ctest gives it a desktop, a laptop at 150 % and a
// high-DPI screen at 200 %.
void TestEditorInput::fitsTheScreen() {
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    const bool roomy = available.width() >= 1021 && available.height() >= 599;
    TMK mk;
    MakeImage(mk, 0x8080, [](TMK &m) { m.Set("TarirLeng", 4); });
    QStringList hidden;
    EditSession(mk, [&](TMK_SetParamsDlg &dlg) {
        auto *area = dlg.findChild<QScrollArea *>("saPages");
        QWidget *view = area->viewport();
        [&] {
            QVERIFY2(available.contains(dlg.frameGeometry()), qPrintable(QStringLiteral("%1x%2 on %3x%4")
                                                                             .arg(dlg.width())
                                                                             .arg(dlg.height())
                                                                             .arg(available.width())
                                                                             .arg(available.height())));
            for (const QPushButton *b : {dlg.OKBtn, dlg.CancelBtn})
                QVERIFY(dlg.rect().contains(QRect(b->mapTo(&dlg, QPoint(0, 0)), b->size())));
            const bool scrolls =
                area->horizontalScrollBar()->isVisible() || area->verticalScrollBar()->isVisible();
            if (roomy) {
                QCOMPARE(dlg.size(), QSize(1021, 599));
                QVERIFY(!scrolls);
            } else {
                QVERIFY(scrolls);
            }
        }();
        // Every control Tab reaches comes into view whole.
        ForEachPage(dlg, [&](QWidget *page) {
            QList<QWidget *> stops;
            ReadingOrder(page, stops);
            if (stops.isEmpty()) return;
            FocusStop(stops.first());
            for (int i = 1; i < stops.size(); ++i) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                QWidget *f = QApplication::focusWidget();
                // One larger than the view (a long list) shows what Qt's scroll area picks.
                const QRect whole(f->mapTo(view, QPoint(0, 0)), f->size());
                if (f->width() <= view->width() && f->height() <= view->height() &&
                    !view->rect().contains(whole))
                    hidden << page->objectName() + QLatin1Char('/') + StopOf(f)->objectName();
            }
        });
        return false;
    });
    QVERIFY2(hidden.isEmpty(), qPrintable(hidden.join(QLatin1Char(' '))));
}

void TestEditorInput::previewsAreSharp() {
    // A preview is the screen's own pixels, each drawn as whole device pixels: no colour
    // blended from two of them, at any scale.
    const auto sharp = [](const QImage &shown, const QImage &picture, qreal ratio) -> QString {
        const QImage s = shown.convertToFormat(QImage::Format_RGB32),
                     p = picture.convertToFormat(QImage::Format_RGB32);
        if (s.size() != (QSizeF(p.size()) * ratio).toSize()) return QStringLiteral("size");
        const bool whole = ratio == std::floor(ratio);
        for (int y = 0; y < s.height(); ++y)
            for (int x = 0; x < s.width(); ++x) {
                const QRgb c = s.pixel(x, y);
                const int px = std::min(int(x / ratio), p.width() - 1),
                          py = std::min(int(y / ratio), p.height() - 1);
                if (whole
                        ? c != p.pixel(px, py)
                        : c != p.pixel(px, py) && c != p.pixel(std::min(px + 1, p.width() - 1), py) &&
                              c != p.pixel(px, std::min(py + 1, p.height() - 1)) &&
                              c != p.pixel(std::max(px - 1, 0), py) && c != p.pixel(px, std::max(py - 1, 0)))
                    return QStringLiteral("pixel %1,%2").arg(x).arg(y);
            }
        return {};
    };
    TMK mk;
    MakeImage(mk, 0x8080);
    EditSession(mk, [&](TMK_SetParamsDlg &dlg) {
        ShowPageOf(dlg, dlg.Page(QStringLiteral("tsColor")));
        auto *box = dlg.findChild<TPaintBox *>("pbDigit1");
        [&] {
            QVERIFY(!box->Picture().isNull());
            // On this screen, and printed at twice the size whatever the screen.
            const QPixmap grabbed = box->grab();
            QCOMPARE(sharp(grabbed.toImage(), box->Picture(), grabbed.devicePixelRatio()), QString());
            QImage twice(640, 480, QImage::Format_RGB32);
            twice.setDevicePixelRatio(2);
            box->render(&twice);
            QCOMPARE(sharp(twice, box->Picture(), 2), QString());
            // The calendar button of a date has an icon drawn for the scale.
            auto *pick = dlg.findChild<QLineEdit *>("deTO")->findChild<QAction *>("pickDate");
            for (qreal ratio : {1.0, 2.0})
                QCOMPARE(pick->icon().pixmap(QSize(16, 16), ratio).devicePixelRatio(), ratio);
        }();
        return false;
    });
}

QTEST_MAIN(TestEditorInput)
#include "tst_editorinput.moc"
