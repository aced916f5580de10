// The tank, maintenance, additional-systems, trim, hot-menu and service pages, driven
// as a user drives them, and the two small settings files byte for byte.

#include "EditorSession.h"
#include "FakePrompts.h"
#include "TestEnv.h"
#include "base/Bytes.h"
#include "base/Cp1251.h"
#include "base/Lang.h"
#include "catalogue/ProtsH.h"
#include "editor/Binder.h"
#include "editor/MK_SetParamsDlg.h"
#include "editor/PageBlocks.h"
#include "editor/PageHotMenu.h"
#include "editor/TankServiceFiles.h"
#include "editor/Widgets.h"
#include "model/MK.h"
#include "model/MenuItemsH.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>

namespace {

// A run of bytes of a file and where it lives: section and offset in the section.
struct TFilePlace {
    int file, section, offset, size;
};

// The tank settings file, typed from its description.
const TFilePlace kTankFile[] = {
    {0, 3, 0, 2},    {2, 3, 2, 2},   {4, 3, 4, 2},       {6, 3, 6, 2},  {8, 3, 8, 14},
    {22, 3, 22, 14}, {36, 3, 36, 1}, {37, 4, 0, 1},      {38, 4, 1, 1}, {39, 4, 2, 1},
    {40, 4, 6, 1},   {41, 4, 8, 68}, {109, 4, 144, 136},
};
// The maintenance settings file (all of section 5).
const TFilePlace kServiceFile[] = {
    {0, 5, 0, 7},     {7, 5, 8, 4},     {11, 5, 12, 4},   {15, 5, 16, 4},   {19, 5, 20, 32},
    {51, 5, 108, 2},  {53, 5, 110, 2},  {55, 5, 112, 2},  {57, 5, 114, 2},  {59, 5, 7, 1},
    {60, 5, 52, 16},  {76, 5, 68, 16},  {92, 5, 84, 16},  {108, 5, 100, 2}, {110, 5, 117, 1},
    {111, 5, 118, 1}, {112, 5, 102, 2}, {114, 5, 104, 2}, {116, 5, 116, 1},
};

uint8_t &At(TMK &mk, int section, int offset) {
    return mk.Section(section)[size_t(offset)];
}

// Distinct bytes in every place of the file; the tare count and the dates stay valid.
void FillPlaces(TMK &mk, std::span<const TFilePlace> places, int seed) {
    for (const TFilePlace &p : places)
        for (int i = 0; i < p.size; ++i)
            At(mk, p.section, p.offset + i) = uint8_t(p.file * 3 + i * 7 + seed);
    At(mk, 4, 2) = 33;
    LE::Put<uint32_t>(&At(mk, 5, 8), 4392);
    LE::Put<uint32_t>(&At(mk, 5, 12), 5000);
}

QByteArray Expected(TMK &mk, std::span<const TFilePlace> places, int size) {
    QByteArray file(size, '\xEE');
    for (const TFilePlace &p : places)
        for (int i = 0; i < p.size; ++i)
            file[p.file + i] = char(At(mk, p.section, p.offset + i));
    return file;
}

// The offers of the Add.systems page, in their order.
const int kBlockOrder[] = {
    93,  8,   10,  11,  12,  13,  14,  15,  16,  17,  18,  19,  20,  21,  22,  23,  24,  26,  31,  32,
    34,  35,  51,  52,  66,  67,  68,  116, 117, 118, 25,  27,  28,  29,  30,  36,  37,  38,  39,  40,
    41,  42,  43,  44,  45,  46,  47,  48,  49,  50,  53,  54,  55,  56,  57,  58,  59,  60,  61,  62,
    63,  64,  65,  69,  71,  72,  73,  74,  75,  76,  77,  78,  79,  80,  140, 81,  82,  84,  85,  115,
    119, 141, 120, 121, 130, 143, 131, 136, 142, 134, 149, 145, 144, 150, 151, 83,  86,  87,  88,  89,
    133, 90,  91,  92,  94,  95,  96,  97,  98,  99,  100, 101, 102, 103, 104, 105, 106, 107, 108, 109,
    110, 111, 112, 113, 114, 122, 123, 124, 125, 126, 127, 128, 129, 132, 137, 139, 138, 146, 147, 148,
    152, 153, 154, 155, 156, 157, 158, 159, 160, 161, 162, 163, 164, 165, 166, 167, 168, 169,
};

int FindProtocol(uint16_t model, const std::function<bool(const TProtBase &)> &pred) {
    Prots().BuildProtocolList(model, 0, 0);
    for (int i = 0; i < Prots().Count(); ++i)
        if (pred(*Prots().ProtocolList[size_t(i)])) return i;
    return -1;
}

} // namespace

class TestServicePages : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void filesRoundTripByteForByte_data();
    void filesRoundTripByteForByte();
    void shortFileFillsWholeValues_data();
    void shortFileFillsWholeValues();
    void unreadableFileChangesNothing();
    void tareTableStoresWhenLeft_data();
    void tareTableStoresWhenLeft();
    void tareEditOpenAtOkIsStored();
    void tareCountBeyondTableIsReset();
    void sevenPointRowsFollowTheCount();
    void maintenancePage();
    void compactMaintenancePage();
    void dayNumberZeroCannotBeShown();
    void equalAdcValuesAreRefused_data();
    void equalAdcValuesAreRefused();
    void additionalSystems();
    void hotMenus();
    void serviceInformation();

private:
    // Opens the editor on mk through the editing procedure; act() works the dialog and
    // returns true for OK.
    bool Edit(TMK &mk, const std::function<bool(TMK_SetParamsDlg &)> &act);
    static void Show(TMK_SetParamsDlg &dlg, const char *page);
    static void TypeInto(QWidget *w, const QString &text, QWidget *next);

    std::unique_ptr<TFakePrompts> prompts_;
    QTemporaryDir dir_;
};

void TestServicePages::init() {
    prompts_ = std::make_unique<TFakePrompts>();
    Lang::SetEnglish(false);
    QLocale::setDefault(QLocale::c());
}

void TestServicePages::cleanup() {
    QCOMPARE(prompts_->Texts(TFakePrompts::ErrorBox), QStringList());
    prompts_.reset();
    QLocale::setDefault(QLocale::system());
}

bool TestServicePages::Edit(TMK &mk, const std::function<bool(TMK_SetParamsDlg &)> &act) {
    return EditSession(mk, act);
}

void TestServicePages::Show(TMK_SetParamsDlg &dlg, const char *page) {
    if (QLatin1String(page) == QLatin1String("tsHotMenu")) {
        dlg.pcMain->setCurrentWidget(dlg.Page(QStringLiteral("tsDisp")));
        dlg.pcDisp->setCurrentWidget(dlg.Page(QStringLiteral("tsHotMenu")));
    } else {
        dlg.pcMain->setCurrentWidget(dlg.Page(QLatin1String(page)));
    }
}

void TestServicePages::TypeInto(QWidget *w, const QString &text, QWidget *next) {
    w->setFocus();
    if (auto *spin = qobject_cast<QAbstractSpinBox *>(w)) spin->selectAll();
    if (auto *edit = qobject_cast<QLineEdit *>(w)) edit->selectAll();
    // Key events carry any character; QTest::keyClicks takes Latin-1 only.
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &press);
        QApplication::sendEvent(w, &release);
    }
    next->setFocus();
}

// --- files ----------------------------------------------------------------------------

void TestServicePages::filesRoundTripByteForByte_data() {
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("save");
    QTest::addColumn<QString>("load");
    QTest::addColumn<int>("size");
    QTest::addColumn<QString>("filter");
    QTest::newRow("tank") << "tsOil"
                          << "bOilSave"
                          << "bOilLoad" << 245 << "Файлы настроек бака (*.vorno)";
    QTest::newRow("maintenance") << "tsTO"
                                 << "bTOSave"
                                 << "bTOLoad" << 117 << "Файлы настроек ТО (*.vornt)";
}

void TestServicePages::filesRoundTripByteForByte() {
    QFETCH(QString, page);
    QFETCH(QString, save);
    QFETCH(QString, load);
    QFETCH(int, size);
    QFETCH(QString, filter);
    const std::span<const TFilePlace> places =
        size == 245 ? std::span<const TFilePlace>(kTankFile) : std::span<const TFilePlace>(kServiceFile);
    const QString first = dir_.filePath(page + QStringLiteral("-1")),
                  second = dir_.filePath(page + QStringLiteral("-2"));

    // Save every field set to a distinct value.
    TMK source;
    FillPlaces(source, places, 1);
    prompts_->FileNames << first;
    Edit(source, [&](TMK_SetParamsDlg &dlg) {
        Show(dlg, page.toLatin1().constData());
        QTest::mouseClick(dlg.findChild<QPushButton *>(save), Qt::LeftButton);
        return false;
    });
    QCOMPARE(prompts_->LastDialog.filter, filter);
    QCOMPARE(prompts_->LastDialog.defaultSuffix, filter.right(6).left(5));
    QCOMPARE(prompts_->LastDialog.directory, QCoreApplication::applicationDirPath());
    const QByteArray saved = TestEnv::ReadFile(first);
    QCOMPARE(saved.size(), size);
    QCOMPARE(saved, Expected(source, places, size));

    // Load it into other values, confirm, and save again.
    TMK target;
    FillPlaces(target, places, 100);
    // Showing the editor clears the x1 mask bits past the protocol's parameters; an empty mask stays.
    for (int word : {0, 1}) target.Set("ShowDisp1", 0, word);
    const QByteArray before(reinterpret_cast<const char *>(target.Working().data()), MKLayout::WorkingSize);
    prompts_->FileNames << first << second;
    const bool ok = Edit(target, [&](TMK_SetParamsDlg &dlg) {
        Show(dlg, page.toLatin1().constData());
        QTest::mouseClick(dlg.findChild<QPushButton *>(load), Qt::LeftButton);
        QTest::mouseClick(dlg.findChild<QPushButton *>(save), Qt::LeftButton);
        return true;
    });
    QVERIFY(ok);
    QCOMPARE(TestEnv::ReadFile(second), saved);
    // Nothing outside the file's places moved.
    QByteArray after(reinterpret_cast<const char *>(target.Working().data()), MKLayout::WorkingSize);
    for (const TFilePlace &p : places) {
        const int at = MKLayout::SectionStart(p.section) + p.offset;
        after.replace(at, p.size, before.mid(at, p.size));
    }
    QVERIFY(after == before);
}

void TestServicePages::shortFileFillsWholeValues_data() {
    QTest::addColumn<bool>("tank");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("covered"); // file bytes taken
    QTest::newRow("tank empty") << true << 0 << 0;
    QTest::newRow("tank half a value") << true << 1 << 0;
    QTest::newRow("tank 3 bytes") << true << 3 << 2;
    QTest::newRow("tank into the tare litres") << true << 100 << 100;
    QTest::newRow("tank half a tare unit") << true << 110 << 109;
    QTest::newRow("tank longer") << true << 300 << 245;
    QTest::newRow("maintenance half a date") << false << 9 << 7;
    QTest::newRow("maintenance into a name") << false << 70 << 70;
    QTest::newRow("maintenance longer") << false << 1000 << 117;
}

void TestServicePages::shortFileFillsWholeValues() {
    QFETCH(bool, tank);
    QFETCH(int, size);
    QFETCH(int, covered);
    const std::span<const TFilePlace> places =
        tank ? std::span<const TFilePlace>(kTankFile) : std::span<const TFilePlace>(kServiceFile);
    TMK mk;
    const QByteArray before(reinterpret_cast<const char *>(mk.Working().data()), MKLayout::WorkingSize);
    QByteArray file(size, '\0');
    for (int i = 0; i < size; ++i)
        file[i] = char(0x80 | (i & 0x7F));
    tank ? TankServiceFiles::DecodeTank(mk, file) : TankServiceFiles::DecodeService(mk, file);
    QByteArray expected = before;
    for (const TFilePlace &p : places)
        for (int i = 0; i < p.size && p.file + i < covered; ++i)
            expected[MKLayout::SectionStart(p.section) + p.offset + i] = file[p.file + i];
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(mk.Working().data()), MKLayout::WorkingSize),
             expected);
}

void TestServicePages::unreadableFileChangesNothing() {
    TMK mk;
    const QByteArray before(reinterpret_cast<const char *>(mk.Working().data()), MKLayout::WorkingSize);
    const QString missing = dir_.filePath(QStringLiteral("missing.vorno"));
    const QString noFolder = dir_.filePath(QStringLiteral("no/such/folder.vornt"));
    prompts_->FileNames << missing << dir_.path() << noFolder;
    Edit(mk, [&](TMK_SetParamsDlg &dlg) {
        Show(dlg, "tsOil");
        QTest::mouseClick(dlg.findChild<QPushButton *>("bOilLoad"), Qt::LeftButton);
        QTest::mouseClick(dlg.findChild<QPushButton *>("bOilLoad"), Qt::LeftButton);
        Show(dlg, "tsTO");
        QTest::mouseClick(dlg.findChild<QPushButton *>("bTOSave"), Qt::LeftButton);
        return false;
    });
    const QStringList errors = prompts_->Texts(TFakePrompts::ErrorBox);
    prompts_->Clear();
    QCOMPARE(errors.size(), 3);
    QVERIFY2(errors[0].contains(missing) && errors[0].contains(QStringLiteral("No such file")),
             qPrintable(errors[0]));
    QVERIFY2(errors[1].contains(dir_.path()), qPrintable(errors[1]));
    QVERIFY2(errors[2].contains(noFolder), qPrintable(errors[2]));
    QVERIFY(!QFile::exists(noFolder));
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(mk.Working().data()), MKLayout::WorkingSize), before);
}

// --- tank page --------------------------------------------------------------------------

void TestServicePages::tareTableStoresWhenLeft_data() {
    QTest::addColumn<QStringList>("edits"); // "row column text"
    QTest::addColumn<QList<int>>("litres"); // entries 0 … 2 afterwards
    QTest::addColumn<QList<int>>("units");
    QTest::addColumn<int>("slope");
    QTest::addColumn<int>("errors");
    // Defaults: litres 16, 19, 22 …, units 0, 50, 100 …; slope byte 0.
    QTest::newRow("letters refused, the row kept")
        << QStringList{"0 1 1a2 0 2 300"} << QList<int>{16, 19, 22} << QList<int>{0, 50, 100} << 0 << 1;
    QTest::newRow("241 units: slope")
        << QStringList{"0 2 241"} << QList<int>{16, 19, 22} << QList<int>{241, 50, 100} << 1 << 0;
    QTest::newRow("240 units: no slope")
        << QStringList{"0 2 241", "0 2 240"} << QList<int>{16, 19, 22} << QList<int>{240, 50, 100} << 0 << 0;
    QTest::newRow("empty is 0") << QStringList{"1 2 "} << QList<int>{16, 19, 22} << QList<int>{0, 0, 100} << 0
                                << 0;
    QTest::newRow("litres 300 refused, the row kept")
        << QStringList{"1 2 77 1 1 300", "2 1 5"} << QList<int>{16, 19, 5} << QList<int>{0, 50, 100} << 0
        << 1;
}

void TestServicePages::tareTableStoresWhenLeft() {
    QFETCH(QStringList, edits);
    QFETCH(QList<int>, litres);
    QFETCH(QList<int>, units);
    QFETCH(int, slope);
    QFETCH(int, errors);
    TMK mk;
    const bool ok = Edit(mk, [&](TMK_SetParamsDlg &dlg) {
        Show(dlg, "tsOil");
        auto *grid = dlg.findChild<QTableWidget *>("sgTarir");
        QWidget *elsewhere = dlg.findChild<QWidget *>("seOil6L");
        [&] {
            for (const QString &edit : edits) {
                // One leave of the grid after all edits of a step.
                QStringList parts = edit.split(QLatin1Char(' '));
                while (parts.size() >= 2) {
                    const int row = parts.takeFirst().toInt(), column = parts.takeFirst().toInt();
                    const QString text = parts.isEmpty() ? QString() : parts.takeFirst();
                    grid->setFocus();
                    grid->setCurrentCell(row, column);
                    grid->editItem(grid->item(row, column));
                    auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
                    QVERIFY(editor);
                    editor->selectAll();
                    QTest::keyClick(editor, Qt::Key_Delete);
                    QTest::keyClicks(editor, text);
                    QTest::keyClick(editor, Qt::Key_Return);
                }
                QCOMPARE(mk.Get("TarirLitres", 0), 16); // nothing before the grid is left
                elsewhere->setFocus();
            }
        }();
        return true;
    });
    QVERIFY(ok);
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(mk.Get("TarirLitres", i), litres[i]);
        QCOMPARE(mk.Get("TarirUnits", i), units[i]);
    }
    QCOMPARE(mk.Get("TarirSlope"), slope);
    QCOMPARE(prompts_->Count(TFakePrompts::ErrorBox), errors);
    prompts_->Clear();
}

void TestServicePages::tareEditOpenAtOkIsStored() {
    // A cell still being typed in when the dialog is accepted without the focus moving
    // (the default button pressed from the keyboard).
    TMK mk;
    const bool ok = mk.EditSettings([&] {
        TMK_SetParamsDlg dlg(mk);
        dlg.show();
        QApplication::setActiveWindow(&dlg);
        if (!QTest::qWaitForWindowActive(&dlg)) return false;
        Show(dlg, "tsOil");
        auto *grid = dlg.findChild<QTableWidget *>("sgTarir");
        grid->setFocus();
        grid->setCurrentCell(3, 1);
        grid->editItem(grid->item(3, 1));
        auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        if (!editor) return false;
        editor->selectAll();
        QTest::keyClicks(editor, QStringLiteral("77"));
        dlg.accept();
        return dlg.result() == QDialog::Accepted;
    });
    QVERIFY(ok);
    QCOMPARE(mk.Get("TarirLitres", 3), 77);
}

void TestServicePages::tareCountBeyondTableIsReset() {
    TMK mk;
    mk.Set("TarirLeng", 70);
    mk.Set("TarirLitres", 44, 0);
    Edit(mk, [&](TMK_SetParamsDlg &dlg) {
        Show(dlg, "tsOil");
        auto *grid = dlg.findChild<QTableWidget *>("sgTarir");
        auto *count = dlg.findChild<TSpinEdit *>("seTarirLeng");
        [&] {
            QCOMPARE(mk.Get("TarirLeng"), 0);
            QCOMPARE(grid->rowCount(), 1);
            QCOMPARE(grid->item(0, 1)->text(), QString());
            // The count stores at every change and the rows follow it.
            count->setFocus();
            QTest::keyClick(count, Qt::Key_Up);
            QTest::keyClick(count, Qt::Key_Up);
            QCOMPARE(mk.Get("TarirLeng"), 2);
            QCOMPARE(grid->rowCount(), 2);
            QCOMPARE(grid->item(0, 1)->text(), QStringLiteral("44"));
            QCOMPARE(grid->item(1, 0)->text(), QStringLiteral("2"));
        }();
        return false;
    });
    QCOMPARE(mk.Get("TarirLeng"), 70); // cancelled
}

void TestServicePages::sevenPointRowsFollowTheCount() {
    TMK mk;
    mk.Set("OilCalibrQuant", 3);
    mk.Set("TankContFull", 60);
    Edit(mk, [&](TMK_SetParamsDlg &dlg) {
        Show(dlg, "tsOil");
        auto *quant = dlg.findChild<TSpinEdit *>("seOilCalibrQuant");
        const auto shown = [&] {
            int n = 0;
            for (int r = 0; r < 7; ++r) {
                auto *lit = dlg.findChild<QWidget *>(QStringLiteral("seOilCalibrLitArr%1").arg(r));
                auto *res = dlg.findChild<QWidget *>(QStringLiteral("seOilCalibrResArr%1").arg(r));
                n += !lit->isHidden() && !res->isHidden() && !dlg.Binder().Label(lit)->isHidden();
            }
            return n;
        };
        [&] {
            QCOMPARE(shown(), 3);
            QCOMPARE(dlg.findChild<TSpinEdit *>("seLit6L")->maximum(), 60.0);
            QCOMPARE(dlg.findChild<TSpinEdit *>("seOilCalibrLitArr6")->maximum(), 60.0);
            quant->setFocus();
            QTest::keyClick(quant, Qt::Key_Up);
            QCOMPARE(shown(), 4);
            QCOMPARE(mk.Get("OilCalibrQuant"), 3); // stored when left
            dlg.findChild<QWidget *>("seOil6L")->setFocus();
            QCOMPARE(mk.Get("OilCalibrQuant"), 4);
        }();
        return false;
    });
}

// --- maintenance page -------------------------------------------------------------------

void TestServicePages::maintenancePage() {
    TMK mk;
    mk.ModelCode = 0x4400;
    mk.Set("ServiceFlags", 0);
    const bool ok = Edit(mk, [&](TMK_SetParamsDlg &dlg) {
        Show(dlg, "tsTO");
        QWidget *hours = dlg.findChild<QWidget *>("seMotoHourLim");
        [&] {
            for (const char *name : {"seKPPOilCntK", "eForsTOCntK", "cbTO", "deOSAGO", "cbOSAGO"})
                QVERIFY2(!dlg.findChild<QWidget *>(name)->isHidden(), name);
            QCOMPARE(dlg.Binder().Label(dlg.findChild<QWidget *>("seAirFiltCntK"))->text(),
                     QStringLiteral("Замена.возд.ф."));
        }();
        TypeInto(dlg.findChild<QLineEdit *>("deTO"), QStringLiteral("010101"), hours);
        TypeInto(dlg.findChild<QLineEdit *>("deOSAGO"), QStringLiteral("090112"), hours);
        TypeInto(dlg.findChild<QLineEdit *>("eGRMStrapCntK"), QStringLiteral("Ремень ГРМ и ролики"), hours);
        TypeInto(dlg.findChild<TSpinEdit *>("seCandleCntK"), QStringLiteral("60"), hours);
        // Check boxes store once they are left.
        auto *box = dlg.findChild<QCheckBox *>("cbKPPOilCntK");
        box->setFocus();
        box->click();
        [&] { QCOMPARE(mk.Get("ServiceFlags"), 0); }();
        dlg.findChild<QCheckBox *>("cbOSAGO")->setFocus();
        dlg.findChild<QCheckBox *>("cbOSAGO")->click();
        hours->setFocus();
        return true;
    });
    QVERIFY(ok);
    QCOMPARE(mk.Get("TODate"), 367);
    QCOMPARE(mk.Get("OSAGODate"), 4392);
    QCOMPARE(mk.Get("CandleCntK"), 60);
    QCOMPARE(mk.Get("ServiceFlags"), (1 << 1) | (1 << 8));
    // Fifteen characters and a zero, in the fourth name slot.
    const QByteArray name = mk.GetBytes("ServiceNames").mid(48, 16);
    QCOMPARE(name, Cp1251::Encode(QStringLiteral("Ремень ГРМ и ро")) + QByteArray(1, '\0'));
}

void TestServicePages::compactMaintenancePage() {
    for (bool english : {false, true}) {
        TLangScope lang(english);
        TMK mk;
        mk.ModelCode = 0x5000; // CompactService, NoParktronic
        const bool ok = Edit(mk, [&](TMK_SetParamsDlg &dlg) {
            Show(dlg, "tsTO");
            auto *first = dlg.findChild<TSpinEdit *>("seAirFiltCntK");
            [&] {
                QCOMPARE(dlg.Binder().Label(first)->text(),
                         english ? QStringLiteral("TS th.km") : QStringLiteral("ТО тыс.км"));
                QCOMPARE(first->maximum(), 9.9);
                for (const char *name :
                     {"seKPPOilCntK", "cbKPPOilCntK", "seForsTOCntK", "eForsTOCntK", "eGRMStrapCntK",
                      "seCandleCntK", "cbCandleCntK", "cbTO", "cbOSAGO", "deOSAGO", "lOSAGO"})
                    QVERIFY2(dlg.findChild<QWidget *>(name)->isHidden(), name);
                for (const char *name : {"cbAirFiltCntK", "deTO", "lTO", "seMotoHourLim", "cbMotoHour"})
                    QVERIFY2(!dlg.findChild<QWidget *>(name)->isHidden(), name);
            }();
            TypeInto(first, QStringLiteral("2.5"), dlg.findChild<QWidget *>("seMotoHourLim"));
            // No parking radar either: no parking hot menu.
            Show(dlg, "tsHotMenu");
            [&] {
                QVERIFY(dlg.findChild<QWidget *>("sghmPark")->isHidden());
                QVERIFY(dlg.findChild<QWidget *>("lhmPark")->isHidden());
                QVERIFY(!dlg.findChild<QWidget *>("sghmAver")->isHidden());
            }();
            return true;
        });
        QVERIFY(ok);
        QCOMPARE(mk.Get("AirFiltCntK"), 25);
    }
}

void TestServicePages::dayNumberZeroCannotBeShown() {
    TMK mk;
    mk.Set("TODate", 0);
    mk.Set("AirFiltCntK", 21);
    Edit(mk, [&](TMK_SetParamsDlg &dlg) {
        [&] { QCOMPARE(dlg.findChild<TSpinEdit *>("seAirFiltCntK")->value(), 21.0); }();
        return false;
    });
    const QStringList errors = prompts_->Texts(TFakePrompts::ErrorBox);
    prompts_->Clear();
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors[0].startsWith(QStringLiteral("deTO: ")), qPrintable(errors[0]));
    QCOMPARE(mk.Get("TODate"), 0);
}

// --- universal input --------------------------------------------------------------------

void TestServicePages::equalAdcValuesAreRefused_data() {
    QTest::addColumn<bool>("english");
    QTest::addColumn<QString>("message");
    QTest::newRow("ru") << false << QStringLiteral("Значения АЦП Мин и Макс должны различаться.");
    QTest::newRow("en") << true << QStringLiteral("Min and Max ADC Values should differ.");
}

void TestServicePages::equalAdcValuesAreRefused() {
    QFETCH(bool, english);
    QFETCH(QString, message);
    TLangScope lang(english);
    TMK mk;
    mk.ModelCode = 0x5000; // trim
    const bool ok = Edit(mk, [&](TMK_SetParamsDlg &dlg) {
        Show(dlg, "tsUniMeas");
        auto *adc0 = dlg.findChild<TSpinEdit *>("seUniMeasADC0");
        QWidget *data0 = dlg.findChild<QWidget *>("seUniMeasDat0");
        TypeInto(adc0, QStringLiteral("1023"), data0);
        [&] {
            QCOMPARE(prompts_->Texts(TFakePrompts::ErrorBox), QStringList{message});
            QCOMPARE(adc0->value(), 0.0);
        }();
        prompts_->Clear();
        TypeInto(adc0, QStringLiteral("17"), data0);
        TypeInto(data0, QStringLiteral("-180"), adc0);
        return true;
    });
    QVERIFY(ok);
    QCOMPARE(mk.Get("UniMeasADC0"), 17);
    QCOMPARE(mk.Get("UniMeasADC1"), 1023);
    QCOMPARE(mk.Get("UniMeasDat0"), -180);
}

// --- additional systems -----------------------------------------------------------------

void TestServicePages::additionalSystems() {
    // A protocol that lists some of the offered systems, not all.
    const auto some = [](const TProtBase &p) { return p.UnitCount > 0 && p.UnitCount < 20; };
    const int index = FindProtocol(0x4400, some);
    QVERIFY(index >= 0);
    TMK mk;
    mk.ModelCode = 0x4400;
    mk.Set("ProtocolIndex", index);
    QByteArray bitmap(32, '\xFF');
    bitmap[0] = char(0x7F); // show by protocol, list mode 0, systems 1 … 6 set
    QByteArray names = mk.GetBytes("ServiceNames");
    names.replace(0, 32, bitmap);
    mk.SetBytes("ServiceNames", names);
    const auto selected = [&mk](int id) { return mk.Bit("ServiceNames", id % 8, id / 8); };
    const bool ok = Edit(mk, [&](TMK_SetParamsDlg &dlg) {
        Show(dlg, "tsBlocks");
        auto *page = static_cast<TPageBlocks *>(dlg.Page(QStringLiteral("tsBlocks")));
        auto *show = dlg.findChild<TRadioGroup *>("rgBlocksShow");
        auto *all = dlg.findChild<QTableWidget *>("sgAllBlocks");
        auto *used = dlg.findChild<QTableWidget *>("sgUsedBlocks");
        const auto units = Prots().CurrentProtocol->UnitList();
        const auto inProtocol = [&](int id) {
            return std::find(units.begin(), units.end(), id) != units.end();
        };
        [&] {
            // The offers follow the list's order, filtered by the catalogue.
            QList<int> expected, offered;
            for (int id : kBlockOrder)
                if (Prots().UnitAvailable[size_t(id)]) expected << id;
            for (const auto &block : page->Offered())
                offered << block.id;
            QCOMPARE(offered, expected);
            QCOMPARE(offered.front(), 8); // 93 is not offered on this model
            QCOMPARE(page->Offered().front().name, QStringLiteral("Иммо АПС-4"));
            // Showing the stored mode changed nothing.
            QCOMPARE(show->ItemIndex(), 1);
            QCOMPARE(mk.GetBytes("ServiceNames").left(32), bitmap);
            QCOMPARE(all->rowCount(), offered.size());
            QCOMPARE(used->rowCount(), offered.size());
            QCOMPARE(all->item(0, 1)->text(), QStringLiteral("V"));
            // "Protocol" keeps exactly the protocol's systems among the offered ones.
            show->Button(1)->click();
            for (int id : offered)
                QCOMPARE(selected(id), inProtocol(id));
            QVERIFY(selected(9)); // not offered: untouched
            QCOMPARE(used->rowCount(), int(std::count_if(offered.begin(), offered.end(), inProtocol)));
            QCOMPARE(mk.Get("ServiceNames", 0), 0x7F);
            // "All" selects every offered system and takes mode 0.
            show->Button(0)->click();
            for (int id : offered)
                QVERIFY(selected(id));
            QCOMPARE(mk.Get("ServiceNames", 0), 0x7E);
            // Double-clicks: the left table toggles, the right one clears.
            const auto doubleClick = [](QTableWidget *g, int row) {
                // As the system delivers it: press, release, double-click.
                const QPoint at = g->visualItemRect(g->item(row, 0)).center();
                QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, at);
                QTest::mouseDClick(g->viewport(), Qt::LeftButton, {}, at);
            };
            doubleClick(all, 0);
            QVERIFY(!selected(offered[0]));
            QCOMPARE(all->item(0, 1)->text(), QString());
            doubleClick(all, 0);
            QVERIFY(selected(offered[0]));
            doubleClick(used, 1);
            QVERIFY(!selected(offered[1]));
            QCOMPARE(used->rowCount(), offered.size() - 1);
            // The list mode is bit 7 of byte 0, and nothing else.
            dlg.findChild<TRadioGroup *>("rgBlocksShowList")->Button(1)->click();
            QCOMPARE(mk.Get("ServiceNames", 0), 0xFE);
        }();
        return true;
    });
    QVERIFY(ok);
}

// --- hot menus --------------------------------------------------------------------------

void TestServicePages::hotMenus() {
    TMK mk;
    mk.ModelCode = 0x4400;
    const QList<int> page0{5, 0, 7, 0, 0, 0, 0, 0, 0, 0};
    for (int r = 0; r < 10; ++r) {
        mk.Set("HotMenu", page0[r], r);
        mk.Set("HotMenu", 41 + r, 10 + r); // page 1 full
        mk.Set("HotMenu", r == 4 ? 9 : 0, 30 + r);
    }
    const auto page = [&mk](int p) {
        QList<int> out;
        for (int r = 0; r < 10; ++r)
            out << int(mk.Get("HotMenu", p * 10 + r));
        return out;
    };
    const bool ok = Edit(mk, [&](TMK_SetParamsDlg &dlg) {
        Show(dlg, "tsHotMenu");
        auto *hot = static_cast<TPageHotMenu *>(dlg.Page(QStringLiteral("tsHotMenu")));
        auto *params = dlg.findChild<QTableWidget *>("sghmParams");
        auto *aver = dlg.findChild<QTableWidget *>("sghmAver");
        const auto rightClick = [](QTableWidget *g, int row) {
            const QPoint at = g->visualItemRect(g->item(row, 1)).center();
            QContextMenuEvent event(QContextMenuEvent::Mouse, at, g->viewport()->mapToGlobal(at));
            QApplication::sendEvent(g->viewport(), &event);
        };
        const auto choose = [hot](const char *name) {
            auto *action = hot->PopupMenu()->findChild<QAction *>(QLatin1String(name));
            QVERIFY2(action, name);
            action->trigger();
            hot->PopupMenu()->hide();
        };
        [&] {
            // Filled compacted: 5, 0, 7 shows 5 and 7, the fourth page too.
            QCOMPARE(page(0), (QList<int>{5, 7, 0, 0, 0, 0, 0, 0, 0, 0}));
            QCOMPARE(page(3), (QList<int>{9, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
            QCOMPARE(params->item(1, 0)->text(), QStringLiteral("1"));
            QCOMPARE(params->item(0, 1)->text(), QStringLiteral("Вентилятор Вкл/Откл"));
            QCOMPARE(params->item(1, 1)->text(), QStringLiteral("% на впрыск"));
            QCOMPARE(params->item(2, 1)->text(), QString());
            // Inserting into row 0 of a full page drops the entry of row 9.
            rightClick(aver, 0);
            QVERIFY(hot->PopupMenu()->isVisible());
            // Names the tables lack are left out; submenus nest.
            QVERIFY(!hot->InsertMenu()->findChild<QAction *>("InitResetOnlyParamsMenu"));
            auto *saveMenu = hot->InsertMenu()->findChild<QMenu *>("pmInsert_Save");
            QVERIFY(saveMenu);
            QCOMPARE(saveMenu->actions().size(), 20);
            QCOMPARE(saveMenu->actions().front()->text(), QStringLiteral("   1     ММ:ЧЧ ДД.ММ"));
            const int trip = FindMenuItemByName(QStringLiteral("TripJournMenu"))->Number;
            choose("TripJournMenu");
            QCOMPARE(page(1), (QList<int>{trip, 41, 42, 43, 44, 45, 46, 47, 48, 49}));
            QCOMPARE(aver->item(0, 1)->text(), QStringLiteral("Журнал поездок"));
            // Insert in the middle of a short page, then delete: the gap closes.
            rightClick(params, 1);
            QVERIFY(!hot->InsertMenu()->findChild<QAction *>("TripJournMenu")); // page 1 only
            choose("FullTankMenu");
            QCOMPARE(page(0).mid(0, 4), (QList<int>{5, 2, 7, 0}));
            rightClick(params, 0);
            choose("miDelete");
            QCOMPARE(page(0).mid(0, 3), (QList<int>{2, 7, 0}));
            // Dragging by the left column moves the entry, the others shift by one.
            const auto cell = [](QTableWidget *g, int row, int column) {
                return g->visualItemRect(g->item(row, column)).center();
            };
            QTest::mousePress(aver->viewport(), Qt::LeftButton, {}, cell(aver, 0, 0));
            QTest::mouseMove(aver->viewport(), cell(aver, 1, 1));
            QTest::mouseRelease(aver->viewport(), Qt::LeftButton, {}, cell(aver, 2, 1));
            QCOMPARE(page(1).mid(0, 4), (QList<int>{41, 42, trip, 43}));
            // Pressing in the caption column drags nothing.
            QTest::mousePress(aver->viewport(), Qt::LeftButton, {}, cell(aver, 0, 1));
            QTest::mouseRelease(aver->viewport(), Qt::LeftButton, {}, cell(aver, 3, 1));
            QCOMPARE(page(1).mid(0, 4), (QList<int>{41, 42, trip, 43}));
            rightClick(params, 4);
            choose("miClear");
            QCOMPARE(page(0), QList<int>(10, 0));
        }();
        return true;
    });
    QVERIFY(ok);
}

// --- service information ------------------------------------------------------------------

void TestServicePages::serviceInformation() {
    for (const auto &row : {std::pair{0x5100, QStringLiteral("10100101")}, std::pair{0x4400, QString()}}) {
        // Plain names: clang 14 cannot capture structured bindings in lambdas.
        const int model = row.first;
        const QString accel = row.second;
        TLangScope lang(true);
        TMK mk;
        mk.ModelCode = uint16_t(model);
        mk.Set("EcuAddress", 0x0A);
        mk.Set("Pids", 0x1234, 0);
        mk.Set("Pids", 0xABCD, 15);
        mk.Set("PidsConsult", 0x2F);
        mk.Set("ProtTypeAdd7", 9);
        mk.Set("ProtocolFlags", 0b001);
        mk.SetBit("OptionBits", 6, true);
        mk.Set("AccelCalibr", 0xA5);
        Edit(mk, [&](TMK_SetParamsDlg &dlg) {
            auto *grid = dlg.findChild<QTableWidget *>("sgServiceInfo");
            [&] {
                QVERIFY(!dlg.pcMain->isTabVisible(dlg.pcMain->count() - 1));
                const auto cell = [grid](int row, int column) { return grid->item(row, column)->text(); };
                QCOMPARE(cell(0, 1), Prots().DeviceModelName);
                QCOMPARE(cell(1, 1), Prots().CurrentProtocol->Name);
                QCOMPARE(cell(9, 1), QStringLiteral("9"));
                QCOMPARE(cell(11, 1), QStringLiteral("0A"));
                QCOMPARE(cell(13, 1), QStringLiteral("1234 ") + QStringLiteral("0000 ").repeated(14) +
                                          QStringLiteral("ABCD"));
                QCOMPARE(cell(14, 1), QStringLiteral("002F"));
                QCOMPARE(cell(16, 1), QStringLiteral("Yas"));
                QCOMPARE(cell(17, 1), QStringLiteral("No"));
                QCOMPARE(cell(20, 1), QStringLiteral("Yes"));
                QCOMPARE(cell(21, 1), QString());
                QCOMPARE(cell(22, 0), QStringLiteral("Accelerometer calibration"));
                QCOMPARE(cell(22, 1), accel);
            }();
            return false;
        });
    }
}

QTEST_MAIN(TestServicePages)
#include "tst_service_pages.moc"
