#include "app/MainForm.h"

#include "app/IniFls.h"
#include "app/JustOne.h"
#include "app/PassW.h"
#include "app/Progress.h"
#include "app/QtTexts.h"
#include "app/Transfer.h"
#include "base/Error.h"
#include "base/Folders.h"
#include "base/Lang.h"
#include "editor/MK_SetParamsDlg.h"
#include "link/ML_RS232.h"
#include "link/ML_RS232_SetNumDlg.h"
#include "model/MK.h"
#include "model/MK_ViewJournalsDlg.h"
#include "model/SettingsFile.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr int kClientWidth = 810;
constexpr int kClientHeight = 384;

// The decorative picture: a small trip computer screen.
QPixmap DrawPicture() {
    QPixmap pm(240, 40);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient body(0, 0, 0, 40);
    body.setColorAt(0, QColor(70, 74, 80));
    body.setColorAt(1, QColor(28, 30, 34));
    p.setBrush(body);
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(0.5, 0.5, 239, 39), 7, 7);
    const QRectF screen(8, 6, 168, 28);
    p.setBrush(QColor(8, 20, 34));
    p.drawRoundedRect(screen, 3, 3);
    QFont f = p.font();
    f.setBold(true);
    f.setPixelSize(17);
    p.setFont(f);
    p.setPen(QColor(90, 230, 120));
    p.drawText(screen.adjusted(8, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("8.4"));
    f.setPixelSize(11);
    p.setFont(f);
    p.setPen(QColor(250, 200, 60));
    p.drawText(screen.adjusted(48, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("l/100"));
    p.setPen(QColor(120, 200, 250));
    p.drawText(screen.adjusted(0, 0, -8, 0), Qt::AlignVCenter | Qt::AlignRight, QStringLiteral("92 km/h"));
    for (int i = 0; i < 3; ++i) {
        p.setBrush(i == 0 ? QColor(200, 60, 50) : QColor(150, 156, 164));
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(192 + 16 * i, 20), 5.5, 5.5);
    }
    return pm;
}

QLabel *WrappedLabel(QWidget *parent, const char *name) {
    auto *l = new QLabel(parent);
    l->setObjectName(QLatin1String(name));
    l->setWordWrap(true);
    l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return l;
}

QPushButton *Button(QWidget *parent, const char *name) {
    auto *b = new QPushButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setMinimumHeight(28);
    return b;
}

QGroupBox *Group(QWidget *parent, const char *name) {
    auto *g = new QGroupBox(parent);
    g->setObjectName(QLatin1String(name));
    QFont f = g->font();
    f.setBold(true);
    g->setFont(f);
    return g;
}

// Group contents use the window's normal font, not the bold group title.
void Normal(QWidget *w) {
    QFont f = w->font();
    f.setBold(false);
    w->setFont(f);
}

} // namespace

TFileDialogSpec::TFileDialogSpec(QObject *owner, const QString &name, bool mustExist) : QObject(owner) {
    setObjectName(name);
    // The filter keeps its Russian text in both languages.
    Options.filter = QStringLiteral("Файлы настроек (*.vorng)");
    Options.defaultSuffix = QStringLiteral("vorng"); // the extension the dialogs list
    Options.mustExist = mustExist;
}

TMainForm::TMainForm(QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("MainForm"));
    JustOne1 = new TJustOne(this);
    JustOne1->setObjectName(QStringLiteral("JustOne1"));
    OpenDialog1 = new TFileDialogSpec(this, QStringLiteral("OpenDialog1"), true);
    SaveDialog1 = new TFileDialogSpec(this, QStringLiteral("SaveDialog1"), false);
    BuildControls();
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(kClientWidth, kClientHeight);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    ApplyLanguage();
}

TMainForm::~TMainForm() {
    if (portDialogs_ && PortChoice() == portDialogs_.get()) SetPortChoice(nullptr);
}

void TMainForm::SetPortDirectory(std::unique_ptr<TPortDirectory> ports) {
    ports_ = std::move(ports);
}

bool TMainForm::OwnsInstance() const { return JustOne1->OwnsMutex(); }

void TMainForm::BuildControls() {
    Label5 = WrappedLabel(this, "Label5");
    {
        QFont f = Label5->font();
        f.setBold(true);
        Label5->setFont(f);
        QPalette pal = Label5->palette();
        pal.setColor(QPalette::WindowText, Qt::red);
        Label5->setPalette(pal);
    }
    bRS232 = Button(this, "bRS232");

    GroupBox1 = Group(this, "GroupBox1");
    Label2 = WrappedLabel(GroupBox1, "Label2");
    bGetParams = Button(GroupBox1, "bGetParams");
    Label6 = WrappedLabel(GroupBox1, "Label6");
    bLoadParams = Button(GroupBox1, "bLoadParams");

    GroupBox2 = Group(this, "GroupBox2");
    Label3 = WrappedLabel(GroupBox2, "Label3");
    bEditParams = Button(GroupBox2, "bEditParams");

    GroupBox5 = Group(this, "GroupBox5");
    Label7 = WrappedLabel(GroupBox5, "Label7");
    bViewJournals = Button(GroupBox5, "bViewJournals");

    GroupBox3 = Group(this, "GroupBox3");
    Label4 = WrappedLabel(GroupBox3, "Label4");
    bSaveParams = Button(GroupBox3, "bSaveParams");

    GroupBox4 = Group(this, "GroupBox4");
    Label1 = WrappedLabel(GroupBox4, "Label1");
    bSetParams = Button(GroupBox4, "bSetParams");

    cbEnglishVersion = new QCheckBox(QStringLiteral("English language"), this);
    cbEnglishVersion->setObjectName(QStringLiteral("cbEnglishVersion"));

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setFixedSize(240, 40);
    Image1->setPixmap(DrawPicture());

    for (QWidget *w : {static_cast<QWidget *>(Label2), static_cast<QWidget *>(bGetParams), static_cast<QWidget *>(Label6),
                       static_cast<QWidget *>(bLoadParams), static_cast<QWidget *>(Label3),
                       static_cast<QWidget *>(bEditParams), static_cast<QWidget *>(Label7),
                       static_cast<QWidget *>(bViewJournals), static_cast<QWidget *>(Label4),
                       static_cast<QWidget *>(bSaveParams), static_cast<QWidget *>(Label1),
                       static_cast<QWidget *>(bSetParams)})
        Normal(w);

    // Layout: the warning and the port button on top, step 1 across the window,
    // steps 2 and 2a, then 3 and 4 side by side, the language box and the picture below.
    auto stepBox = [](QGroupBox *box, QLabel *label, QPushButton *button) {
        auto *l = new QVBoxLayout(box);
        l->setContentsMargins(8, 4, 8, 8);
        l->setSpacing(4);
        l->addWidget(label, 1);
        l->addWidget(button);
    };
    {
        auto *l = new QHBoxLayout(GroupBox1);
        l->setContentsMargins(8, 4, 8, 8);
        l->setSpacing(16);
        auto *left = new QVBoxLayout;
        left->setSpacing(4);
        left->addWidget(Label2, 1);
        left->addWidget(bGetParams);
        auto *right = new QVBoxLayout;
        right->setSpacing(4);
        right->addWidget(Label6, 1);
        right->addWidget(bLoadParams);
        l->addLayout(left, 1);
        l->addLayout(right, 1);
    }
    stepBox(GroupBox2, Label3, bEditParams);
    stepBox(GroupBox5, Label7, bViewJournals);
    stepBox(GroupBox3, Label4, bSaveParams);
    stepBox(GroupBox4, Label1, bSetParams);

    auto *top = new QHBoxLayout;
    top->addWidget(Label5, 1);
    top->addSpacing(12);
    top->addWidget(bRS232, 0, Qt::AlignVCenter);

    auto *row2 = new QHBoxLayout;
    row2->setSpacing(8);
    row2->addWidget(GroupBox2, 1);
    row2->addWidget(GroupBox5, 1);
    auto *row3 = new QHBoxLayout;
    row3->setSpacing(8);
    row3->addWidget(GroupBox3, 1);
    row3->addWidget(GroupBox4, 1);

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(cbEnglishVersion, 0, Qt::AlignVCenter);
    bottom->addStretch(1);
    bottom->addWidget(Image1);

    auto *main = new QVBoxLayout(this);
    main->setContentsMargins(10, 8, 10, 8);
    main->setSpacing(6);
    main->addLayout(top);
    main->addWidget(GroupBox1, 1);
    main->addLayout(row2, 1);
    main->addLayout(row3, 1);
    main->addLayout(bottom);

    SetImageButtonsEnabled(false);

    connect(bRS232, &QPushButton::clicked, this, [this] { Guard([this] { bRS232Click(); }); });
    connect(bGetParams, &QPushButton::clicked, this, [this] { Guard([this] { bGetParamsClick(); }); });
    connect(bSetParams, &QPushButton::clicked, this, [this] { Guard([this] { bSetParamsClick(); }); });
    connect(bLoadParams, &QPushButton::clicked, this, [this] { Guard([this] { bLoadParamsClick(); }); });
    connect(bSaveParams, &QPushButton::clicked, this, [this] { Guard([this] { SaveSettingsToFile(); }); });
    connect(bEditParams, &QPushButton::clicked, this, [this] { Guard([this] { bEditParamsClick(); }); });
    connect(bViewJournals, &QPushButton::clicked, this, [this] { Guard([this] { bViewJournalsClick(); }); });
    connect(cbEnglishVersion, &QCheckBox::toggled, this, [this] { Guard([this] { cbEnglishVersionClick(); }); });
}

void TMainForm::SetImageButtonsEnabled(bool enabled) {
    for (QPushButton *b : {bEditParams, bViewJournals, bSaveParams, bSetParams}) b->setEnabled(enabled);
}

void TMainForm::ApplyLanguage() {
    struct Text {
        QWidget *control;
        TBiText text;
    };
    // clang-format off
    const Text texts[] = {
        {Label5, {"Внимание! Для правильной работы программы НЕОБХОДИМО предварительно загрузить в МК последнюю версию ПО.",
                  "Attention! For the program to work correctly, you MUST first download the latest version of the software to the device."}},
        {GroupBox1, {"Шаг 1", "Step 1"}},
        {Label2, {"Для адекватного отображения возможных вариантов настроек считайте текущие настройки МК.",
                  "For an adequate display of possible settings, read the current settings of the device."}},
        {bGetParams, {"Считать настройки из МК", "Read settings from the device"}},
        {Label6, {"или, если Вы ранее уже сохраняли настройки на диск, считайте файл с диска.",
                  "or, if you have previously saved the settings to disk, read the file from disk."}},
        {bLoadParams, {"Считать настройки из файла на диске", "Read settings from a file on disk"}},
        {GroupBox2, {"Шаг 2", "Step 2"}},
        {Label3, {"Произведите изменения настроек.", "Make changes to the settings."}},
        {bEditParams, {"Редактировать настройки", "Edit settings"}},
        {GroupBox5, {"Шаг 2a", "Step 2a"}},
        {Label7, {"Просмотрите журналы поездок, заправок и ошибок", "View the logs of trips, gas stations and faults"}},
        {bViewJournals, {"Просмотреть журналы", "View logs"}},
        {GroupBox3, {"Шаг 3", "Step 3"}},
        {Label4, {"Для возможности повторного просмотра или редактирования сохраните настройки на диск.",
                  "To be able to view or edit the settings again, save the settings to disk."}},
        {bSaveParams, {"Сохранить настройки в файл на диске", "Save the settings to a file on disk"}},
        {GroupBox4, {"Шаг 4", "Step 4"}},
        {Label1, {"Запишите настройки в МК", "Write the settings to the device"}},
        {bSetParams, {"Записать настройки в МК", "Write the settings to the device"}},
        {bRS232, {"Выбрать СОМ-порт вручную", "Select the COM port manually"}},
    };
    // clang-format on
    setWindowTitle(Bi("Просмотр и настройка параметров МК (Версия %1)",
                      "Viewing and configuring trip computer parameters (Version %1)")
                       .arg(QStringLiteral(TRIPCONF_VERSION)));
    QtTexts::Apply(Lang::English());
    for (const Text &t : texts) {
        const QString s = t.text.text();
        if (auto *l = qobject_cast<QLabel *>(t.control)) l->setText(s);
        else if (auto *b = qobject_cast<QPushButton *>(t.control)) b->setText(s);
        else if (auto *g = qobject_cast<QGroupBox *>(t.control)) g->setTitle(s);
    }
}

// --- start-up and shut-down --------------------------------------------------------

QString TMainForm::ProgramFolder() { return QCoreApplication::applicationDirPath(); }

void TMainForm::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    if (!shown_) {
        shown_ = true;
        Guard([this] { FormShow(); });
    }
}

void TMainForm::FormShow() {
    QDir::setCurrent(ProgramFolder());
    link_ = std::make_unique<TML_RS>(std::move(ports_)); // scans the ports
    link_->SetPortType(0);
    portDialogs_ = std::make_unique<TPortDialogs>();
    SetPortChoice(portDialogs_.get());
    Lang::SetEnglish(false);
    mk_ = std::make_unique<TMK>();
    {
        TMIniFile ini;
        // Said once; the close does not try to write it either.
        if (!ini.LoadError().isEmpty())
            Prompts().ShowError(Bi("Настройки программы не прочитаны: %1 Программа работает с настройками по умолчанию.",
                                   "The program's settings could not be read: %1 The program works with its defaults.")
                                    .arg(ini.LoadError()));
        link_->LoadSettings(ini); // opens the stored port
        Lang::SetEnglish(ini.ReadBool(QStringLiteral("Common"), QStringLiteral("EnglishVersion"), false));
        ini.RestorePlacement(QStringLiteral("MainWindow"), this);
    }
    Access::Unlock(); // no command of this program asks for the password
    OpenDialog1->Options.directory = Folders::FileDialogStart();
    SaveDialog1->Options.directory = Folders::FileDialogStart();
    link_->SetBaudRate(115200);
    link_->ClosePort();
    SettingsModified = false;
    const bool english = Lang::English();
    cbEnglishVersion->setChecked(english);
    ApplyLanguage();
}

void TMainForm::closeEvent(QCloseEvent *event) {
    if (busy_) {
        event->ignore(); // the transfer ends first; the port and the device need it
        return;
    }
    if (!closed_) {
        try {
            FormCloseQuery();
        } catch (const Error &e) {
            // The user asked to save and the save failed: stay open so nothing is lost.
            Prompts().ShowApplicationError(e.message());
            event->ignore();
            return;
        }
        Guard([this] { FormClose(); });
        closed_ = true;
    }
    event->accept();
}

void TMainForm::FormCloseQuery() { AskToSaveChanges(); }

void TMainForm::FormClose() {
    QDir::setCurrent(ProgramFolder());
    TMIniFile ini;
    if (!ini.LoadError().isEmpty()) return; // said at the start
    if (link_) link_->SaveSettings(ini);
    ini.WriteBool(QStringLiteral("Common"), QStringLiteral("EnglishVersion"), Lang::English());
    ini.SavePlacement(QStringLiteral("MainWindow"), this);
    if (!ini.UpdateFile())
        Prompts().ShowError(
            Bi("Настройки программы не сохранены. %1", "The program's settings were not saved. %1")
                .arg(ini.LastError()));
}

void TMainForm::AskToSaveChanges() {
    if (!SettingsModified) return;
    if (Prompts().Confirm(Bi("Возможно, настройки были изменены, но не сохранены на диске. Сохранить?",
                             "It is possible that the settings were changed, but not saved to disk. Save it?")))
        SaveSettingsToFile();
}

// --- commands --------------------------------------------------------------------------

void TMainForm::Guard(const std::function<void()> &command) {
    try {
        command();
    } catch (const Error &e) {
        Prompts().ShowApplicationError(e.message());
    } catch (const std::exception &e) {
        Prompts().ShowApplicationError(QString::fromLocal8Bit(e.what()));
    }
}

void TMainForm::bRS232Click() {
    if (!link_) return;
    link_->SelectPort();
    link_->ClosePort();
}

TDeviceTransfer TMainForm::MakeTransfer() {
    return MakeTransfer(*mk_);
}

TDeviceTransfer TMainForm::MakeTransfer(TMK &mk) {
    auto showProgress = [this]() -> std::unique_ptr<TTransferProgress> {
        auto progress = std::make_unique<TProgressForm>(this);
        QRect area(QPoint(), progress->size());
        area.moveCenter(geometry().center());
        progress->setGeometry(area);
        progress->show();
        return progress;
    };
    TDeviceTransfer transfer(*link_, mk, showProgress, DeviceAddress, DeviceMemorySize);
    transfer.SetImageButtonsEnabled = [this](bool enabled) { SetImageButtonsEnabled(enabled); };
    return transfer;
}

void TMainForm::SetBusy(bool busy) {
    busy_ = busy;
    // The groups shut their buttons without touching each button's own state, which
    // the transfer may change meanwhile.
    for (QWidget *w : {static_cast<QWidget *>(bRS232), static_cast<QWidget *>(GroupBox1),
                       static_cast<QWidget *>(GroupBox2), static_cast<QWidget *>(GroupBox5),
                       static_cast<QWidget *>(GroupBox3), static_cast<QWidget *>(GroupBox4),
                       static_cast<QWidget *>(cbEnglishVersion)})
        w->setEnabled(!busy);
}

namespace {

class TBusyScope {
public:
    explicit TBusyScope(std::function<void(bool)> setBusy) : setBusy_(std::move(setBusy)) { setBusy_(true); }
    ~TBusyScope() { setBusy_(false); }
    TBusyScope(const TBusyScope &) = delete;
    TBusyScope &operator=(const TBusyScope &) = delete;

private:
    std::function<void(bool)> setBusy_;
};

} // namespace

void TMainForm::bGetParamsClick() {
    AskToSaveChanges(); // a failed save stops here, before the image is overwritten
    if (!mk_ || !link_ || busy_) return;
    const TBusyScope busy([this](bool on) { SetBusy(on); });
    MakeTransfer().Read();
}

void TMainForm::bSetParamsClick() {
    if (!mk_ || !link_ || busy_) return;
    const TBusyScope busy([this](bool on) { SetBusy(on); });
    // A link error while writing reaches the application's error box (Guard); one that
    // cut the write off is shown here, with the offer to put the backup back.
    QString backup;
    try {
        MakeTransfer().Write();
        return;
    } catch (const TWriteCutOff &e) {
        Prompts().ShowApplicationError(e.message());
        backup = e.Backup;
    }
    while (!backup.isEmpty() &&
           Prompts().Confirm(Bi("Записать в МК прежние настройки из резервной копии %1?",
                                "Write the device's previous settings back from the backup %1?")
                                 .arg(backup))) {
        // The device still holds part of the new settings whatever stopped this one:
        // the offer stands.
        try {
            WriteBackup(backup);
            return;
        } catch (const Error &e) {
            Prompts().ShowApplicationError(e.message());
        }
    }
}

void TMainForm::WriteBackup(const QString &path) {
    // Into an image of its own: the user's settings stay as they are.
    TMK backup;
    SettingsFile::Load(backup, path);
    backup.LoadAllSections();
    TDeviceTransfer transfer = MakeTransfer(backup);
    // A backup of the half-written device would only push good ones out.
    transfer.MakeBackup = false;
    transfer.Write();
}

void TMainForm::bEditParamsClick() {
    if (!mk_) return;
    const bool confirmed = mk_->EditSettings([this] {
        TMK_SetParamsDlg dialog(*mk_, this);
        return dialog.exec() == QDialog::Accepted;
    });
    if (confirmed) SettingsModified = true;
}

void TMainForm::bViewJournalsClick() {
    if (!mk_) return;
    // OK stores sections 7, 1 and 11; anything else stores nothing. SettingsModified stays.
    mk_->ViewJournals([this] {
        TMK_ViewJournalsDlg dialog(*mk_, Journals::FaultFormatOf(*mk_), this);
        return dialog.exec() == QDialog::Accepted;
    });
}

void TMainForm::cbEnglishVersionClick() {
    Lang::SetEnglish(cbEnglishVersion->isChecked());
    ApplyLanguage();
}

void TMainForm::bLoadParamsClick() {
    if (!mk_) return;
    const QString path = Prompts().OpenFileName(OpenDialog1->Options);
    if (path.isEmpty()) return;
    LoadSettingsFile(path);
}

void TMainForm::OpenAtStart(const QString &argument) {
    const QString path = QFileInfo(argument).absoluteFilePath();
    QTimer::singleShot(0, this, [this, path] { LoadSettingsFile(path); });
}

void TMainForm::LoadSettingsFile(const QString &path) {
    if (!mk_) return;
    try {
        SettingsFile::Load(*mk_, path);
        SetImageButtonsEnabled(true);
        mk_->LoadAllSections();
    } catch (const Error &e) {
        Prompts().ShowError(e.message());
        SetImageButtonsEnabled(false);
    }
}

void TMainForm::SaveSettingsToFile() {
    if (!mk_) return;
    const QString path = Prompts().SaveFileName(SaveDialog1->Options);
    if (path.isEmpty()) return;
    if (QFileInfo::exists(path) &&
        !Prompts().Confirm(Bi("Файл уже существует. Переписать?", "The file already exists. Rewrite it?")))
        return;
    SettingsFile::Save(*mk_, path); // a failure reaches the application's error box
    SetImageButtonsEnabled(true);
    SettingsModified = false;
}
