#include "app/MainForm.h"

#include "app/IniFls.h"
#include "app/InstanceChannel.h"
#include "app/JustOne.h"
#include "app/PassW.h"
#include "app/Progress.h"
#include "app/QtTexts.h"
#include "app/Transfer.h"
#include "base/DialogFolders.h"
#include "base/Error.h"
#include "base/Folders.h"
#include "base/Lang.h"
#include "editor/MK_SetParamsDlg.h"
#include "catalogue/ProtsH.h"
#include "link/ML_RS232.h"
#include "link/ML_RS232_SetNumDlg.h"
#include "model/MK.h"
#include "model/MK_ViewJournalsDlg.h"
#include "model/SettingsFile.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QMenu>
#include <QMessageBox>
#include <QApplication>
#include <QMimeData>
#include <QShortcut>
#include <QTextBrowser>
#include <QToolButton>
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
constexpr int kStatusHeight = 22; // the status line under the steps

// Orders errors and status lines: a step that succeeded after an error (a backup
// written back) speaks last.
int g_statusTick = 0;

// Forwards to the prompts in use and keeps the last error shown, for the status line.
class TErrorWitness final : public TUserPrompts {
public:
    TErrorWitness() : next_(Prompts()) { SetPrompts(this); }
    ~TErrorWitness() override { SetPrompts(&next_); }
    TErrorWitness(const TErrorWitness &) = delete;
    TErrorWitness &operator=(const TErrorWitness &) = delete;

    QString LastError;
    int LastErrorTick = 0;

    void ShowError(const QString &text) override {
        LastError = text;
        LastErrorTick = ++g_statusTick;
        next_.ShowError(text);
    }
    void ShowInformation(const QString &text) override { next_.ShowInformation(text); }
    bool Confirm(const QString &text) override { return next_.Confirm(text); }
    void ShowApplicationError(const QString &text) override {
        LastError = text;
        LastErrorTick = ++g_statusTick;
        next_.ShowApplicationError(text);
    }
    QString OpenFileName(const TFileDialogOptions &options) override { return next_.OpenFileName(options); }
    QString SaveFileName(const TFileDialogOptions &options) override { return next_.SaveFileName(options); }

private:
    TUserPrompts &next_;
};

// A settings file among dropped URLs, or empty.
QString DroppedSettingsFile(const QMimeData *data) {
    if (!data || !data->hasUrls()) return {};
    for (const QUrl &url : data->urls())
        if (url.isLocalFile() && url.toLocalFile().endsWith(QLatin1String(".vorng"), Qt::CaseInsensitive))
            return url.toLocalFile();
    return {};
}

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
    setFixedSize(kClientWidth, kClientHeight + kStatusHeight);
    setAcceptDrops(true);
    if (OwnsInstance()) {
        channel_ = new TInstanceChannel(JustOne1->LockFileName(), this);
        connect(channel_, &TInstanceChannel::FileHanded, this, [this](const QString &path) { OpenHandedFile(path); });
        channel_->Listen();
    }
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

    // One click to a recent file; the button itself keeps its open dialog.
    bRecentFiles = new QToolButton(GroupBox1);
    bRecentFiles->setObjectName(QStringLiteral("bRecentFiles"));
    bRecentFiles->setArrowType(Qt::DownArrow);
    bRecentFiles->setPopupMode(QToolButton::InstantPopup);
    bRecentFiles->setMinimumHeight(28);
    RecentMenu = new QMenu(bRecentFiles);
    RecentMenu->setObjectName(QStringLiteral("RecentMenu"));
    bRecentFiles->setMenu(RecentMenu);
    connect(RecentMenu, &QMenu::aboutToShow, this, [this] { FillRecentMenu(); });

    bAbout = new QToolButton(this);
    bAbout->setObjectName(QStringLiteral("bAbout"));
    bAbout->setText(QStringLiteral("?"));
    connect(bAbout, &QToolButton::clicked, this, [this] { ShowAbout(); });
    auto *f1 = new QShortcut(QKeySequence::HelpContents, this);
    connect(f1, &QShortcut::activated, this, [this] {
        if (!busy_) ShowAbout();
    });

    lStatus = new QLabel(this);
    lStatus->setObjectName(QStringLiteral("lStatus"));
    lStatus->setFixedHeight(kStatusHeight - 2);
    lStatus->setFrameShape(QFrame::StyledPanel);
    lStatus->setFrameShadow(QFrame::Sunken);
    lStatus->setTextFormat(Qt::PlainText);
    lStatus->setTextInteractionFlags(Qt::TextSelectableByMouse);

    cbEnglishVersion = new QCheckBox(QStringLiteral("English lan&guage"), this);
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
        auto *load = new QHBoxLayout;
        load->setSpacing(2);
        load->addWidget(bLoadParams, 1);
        load->addWidget(bRecentFiles);
        right->addLayout(load);
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
    bottom->addWidget(bAbout, 0, Qt::AlignVCenter);
    bottom->addSpacing(8);
    bottom->addWidget(Image1);

    auto *main = new QVBoxLayout(this);
    main->setContentsMargins(10, 8, 10, 8);
    main->setSpacing(6);
    main->addLayout(top);
    main->addWidget(GroupBox1, 1);
    main->addLayout(row2, 1);
    main->addLayout(row3, 1);
    main->addLayout(bottom);
    main->addWidget(lStatus);

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
        {bGetParams, {"Считать настройки из &МК", "Read settings from the &device"}},
        {Label6, {"или, если Вы ранее уже сохраняли настройки на диск, считайте файл с диска.",
                  "or, if you have previously saved the settings to disk, read the file from disk."}},
        {bLoadParams, {"Считать настройки из &файла на диске", "Read settings from a &file on disk"}},
        {GroupBox2, {"Шаг 2", "Step 2"}},
        {Label3, {"Произведите изменения настроек.", "Make changes to the settings."}},
        {bEditParams, {"&Редактировать настройки", "&Edit settings"}},
        {GroupBox5, {"Шаг 2a", "Step 2a"}},
        {Label7, {"Просмотрите журналы поездок, заправок и ошибок", "View the logs of trips, gas stations and faults"}},
        {bViewJournals, {"Просмотреть &журналы", "View &logs"}},
        {GroupBox3, {"Шаг 3", "Step 3"}},
        {Label4, {"Для возможности повторного просмотра или редактирования сохраните настройки на диск.",
                  "To be able to view or edit the settings again, save the settings to disk."}},
        {bSaveParams, {"&Сохранить настройки в файл на диске", "&Save the settings to a file on disk"}},
        {GroupBox4, {"Шаг 4", "Step 4"}},
        {Label1, {"Запишите настройки в МК", "Write the settings to the device"}},
        {bSetParams, {"&Записать настройки в МК", "&Write the settings to the device"}},
        {bRS232, {"Выбрать СОМ-&порт вручную", "Select the COM &port manually"}},
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
    bRecentFiles->setToolTip(Bi("Недавние файлы настроек", "Recent settings files"));
    bAbout->setToolTip(Bi("О программе (F1)", "About the program (F1)"));
    UpdateTitle();
    ShowStatus();
}

// --- what the window holds --------------------------------------------------------------

QString TMainForm::ModelText() const {
    if (!mk_) return {};
    const TDeviceModel *model = FindDeviceModel(mk_->ModelCode);
    const QString code = QStringLiteral("0x%1").arg(mk_->ModelCode, 4, 16, QLatin1Char('0')).toUpper().replace(
        QLatin1String("0X"), QLatin1String("0x"));
    return model && *model->Name ? QString::fromUtf8(model->Name) + QStringLiteral(" (") + code + QLatin1Char(')')
                                 : code;
}

void TMainForm::UpdateTitle() {
    const QString caption = Bi("Просмотр и настройка параметров МК (Версия %1)",
                               "Viewing and configuring trip computer parameters (Version %1)")
                                .arg(QStringLiteral(TRIPCONF_VERSION));
    if (source_.isEmpty()) {
        setWindowTitle(caption);
    } else {
        const QString name =
            source_.startsWith(QLatin1String("COM")) ? source_ : QFileInfo(source_).fileName();
        setWindowTitle(name + QStringLiteral("[*] — ") + ModelText() + QStringLiteral(" — ") + caption);
    }
    setWindowModified(SettingsModified);
}

void TMainForm::SetStatus(const TBiText &text, const QStringList &args) {
    statusTick_ = ++g_statusTick;
    status_ = text;
    statusArgs_ = args;
    statusError_.clear();
    ShowStatus();
}

void TMainForm::SetFailedStatus(const QString &error) {
    status_ = {"Не выполнено: %1", "Failed: %1"};
    statusArgs_.clear();
    // The first line is the message; what follows (a backup's name, a reason) is in the box.
    statusError_ = error.section(QLatin1Char('\n'), 0, 0);
    ShowStatus();
}

void TMainForm::ShowStatus() {
    if (!lStatus) return;
    if (!status_.ru || !*status_.ru) {
        lStatus->clear();
        return;
    }
    QString text = status_.text();
    if (!statusError_.isEmpty()) text = text.arg(statusError_);
    for (const QString &a : statusArgs_) text = text.arg(a);
    lStatus->setText(text);
    lStatus->setToolTip(text);
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
        DialogFolders::Load(ini);
        recent_.clear();
        for (int i = 1; i <= RecentCount; ++i) {
            const QString file = ini.ReadString(QStringLiteral("RecentFiles"), QStringLiteral("File%1").arg(i), QString());
            if (!file.isEmpty() && !recent_.contains(file)) recent_ << file;
        }
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
    // Sections of their own, which older programs leave alone.
    DialogFolders::Save(ini);
    for (int i = 1; i <= RecentCount; ++i)
        ini.WriteString(QStringLiteral("RecentFiles"), QStringLiteral("File%1").arg(i), recent_.value(i - 1));
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
    TErrorWitness witness;
    try {
        command();
    } catch (const Error &e) {
        Prompts().ShowApplicationError(e.message());
    } catch (const std::exception &e) {
        Prompts().ShowApplicationError(QString::fromLocal8Bit(e.what()));
    }
    if (!witness.LastError.isEmpty() && witness.LastErrorTick > statusTick_) SetFailedStatus(witness.LastError);
    UpdateTitle();
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
    QElapsedTimer clock;
    clock.start();
    if (MakeTransfer().Read() != TTransferResult::Done) {
        if (!bEditParams->isEnabled()) source_.clear(); // a failed read closed the image off
        return;
    }
    source_ = QStringLiteral("COM%1").arg(link_->PortNumber);
    const double seconds = clock.elapsed() / 1000.0;
    SetStatus({"Считано из МК через %1: %2, за %3 с.", "Read from the device on %1: %2, in %3 s."},
              {source_, ModelText(), Lang::English() ? QString::number(seconds, 'f', 1)
                                                     : QString::number(seconds, 'f', 1).replace(QLatin1Char('.'), QLatin1Char(','))});
}

void TMainForm::bSetParamsClick() {
    if (!mk_ || !link_ || busy_) return;
    const TBusyScope busy([this](bool on) { SetBusy(on); });
    // A link error while writing reaches the application's error box (Guard); one that
    // cut the write off is shown here, with the offer to put the backup back.
    QString backup;
    try {
        TDeviceTransfer transfer = MakeTransfer();
        if (transfer.Write() != TTransferResult::Done) return;
        if (transfer.LastBackup().isEmpty())
            SetStatus({"Записано в МК и проверено.", "Written to the device and verified."});
        else
            SetStatus({"Записано в МК и проверено. Резервная копия: %1",
                       "Written to the device and verified. Backup: %1"},
                      {QFileInfo(transfer.LastBackup()).fileName()});
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
    if (transfer.Write() == TTransferResult::Done)
        SetStatus({"Прежние настройки из резервной копии %1 записаны в МК и проверены.",
                   "The previous settings from the backup %1 are written to the device and verified."},
                  {QFileInfo(path).fileName()});
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
    QTimer::singleShot(0, this, [this, path] { Guard([this, path] { LoadSettingsFile(path); }); });
}

void TMainForm::OpenHandedFile(const QString &path) {
    // Brought to the front whatever happens, so the user sees what became of the file.
    if (isMinimized()) showNormal();
    raise();
    activateWindow();
    if (busy_ || QApplication::activeModalWidget()) {
        QApplication::beep();
        SetStatus({"Файл %1 не открыт: сначала закройте открытое окно.", "%1 was not opened: close the open window first."},
                  {QDir::toNativeSeparators(path)});
        return;
    }
    Guard([this, path] {
        AskToSaveChanges();
        LoadSettingsFile(path);
    });
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
        source_.clear();
        return;
    }
    source_ = QFileInfo(path).absoluteFilePath();
    AddRecent(source_);
    SetStatus({"Загружен файл %1", "Loaded %1"}, {QDir::toNativeSeparators(source_)});
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
    source_ = QFileInfo(path).absoluteFilePath();
    AddRecent(source_);
    SetStatus({"Сохранено в файл %1", "Saved to %1"}, {QDir::toNativeSeparators(source_)});
    UpdateTitle();
}

// --- recent files, dropped and handed files -----------------------------------------------

void TMainForm::AddRecent(const QString &path) {
    recent_.removeAll(path);
    recent_.prepend(path);
    while (recent_.size() > RecentCount) recent_.removeLast();
}

void TMainForm::FillRecentMenu() {
    RecentMenu->clear();
    if (recent_.isEmpty()) {
        RecentMenu->addAction(Bi("Недавних файлов нет", "No recent files"))->setEnabled(false);
        return;
    }
    for (int i = 0; i < int(recent_.size()); ++i) {
        const QString path = recent_.at(i);
        // &1 … &8: one key from the open menu.
        QAction *a = RecentMenu->addAction(QStringLiteral("&%1  %2").arg(i + 1).arg(QDir::toNativeSeparators(path)));
        connect(a, &QAction::triggered, this, [this, path] { Guard([this, path] { OpenRecent(path); }); });
    }
}

void TMainForm::OpenRecent(const QString &path) {
    if (!QFileInfo::exists(path)) {
        recent_.removeAll(path);
        Prompts().ShowError(Bi("Файла \"%1\" больше нет; он убран из списка недавних.",
                               "The file \"%1\" no longer exists; it is taken off the recent files.")
                                .arg(QDir::toNativeSeparators(path)));
        return;
    }
    // As "Read settings from a file" does once the file is chosen.
    LoadSettingsFile(path);
}

void TMainForm::dragEnterEvent(QDragEnterEvent *event) {
    if (!busy_ && !DroppedSettingsFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent *event) {
    const QString path = DroppedSettingsFile(event->mimeData());
    if (busy_ || path.isEmpty()) return;
    event->acceptProposedAction();
    // After the drop has ended: the question box must not run inside the drag.
    QTimer::singleShot(0, this, [this, path] { OpenHandedFile(path); });
}

// --- about ---------------------------------------------------------------------------------

void TMainForm::ShowAbout() {
    QDialog dialog(this);
    dialog.setObjectName(QStringLiteral("AboutDlg"));
    dialog.setWindowTitle(Bi("О программе", "About"));
    auto *text = new QTextBrowser(&dialog);
    text->setObjectName(QStringLiteral("AboutText"));
    text->setOpenExternalLinks(false);
    // Built into a static library: the linker keeps the resource only when asked for.
    Q_INIT_RESOURCE(licences);
    QFile fonts(QStringLiteral(":/licences/DeviceFonts-LICENSE.txt"));
    const QString fontLicence = fonts.open(QIODevice::ReadOnly) ? QString::fromUtf8(fonts.readAll()) : QString();
    const QString docs = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../share/doc/tripconf"));
    QString html = QStringLiteral("<h3>tripconf %1</h3><p>%2</p>")
                       .arg(QStringLiteral(TRIPCONF_VERSION).toHtmlEscaped(),
                            Bi("Просмотр и настройка параметров МК по последовательному кабелю.",
                               "Viewing and configuring a trip computer's settings over a serial cable.")
                                .toHtmlEscaped());
    html += QStringLiteral("<p><b>%1</b> %2<br><b>%3</b> %4</p>")
                .arg(Bi("Описание:", "Guide:"),
                     Bi("README.md в папке исходных текстов или в %1", "README.md in the source folder or in %1")
                         .arg(QDir::cleanPath(docs))
                         .toHtmlEscaped(),
                     Bi("Справка командной строки:", "Command-line manual:"),
                     QStringLiteral("man tripconf-cli, tripconf-cli help"));
    html += QStringLiteral("<p><b>%1</b></p><ul><li>%2</li><li>%3</li></ul>")
                .arg(Bi("Лицензии", "Licences"),
                     Bi("Qt %1: GNU LGPL 3 (кнопка «О Qt»).", "Qt %1: GNU LGPL 3 (the \"About Qt\" button).")
                         .arg(QString::fromLatin1(qVersion()))
                         .toHtmlEscaped(),
                     Bi("Шрифты экрана МК сделаны из Terminus Font: SIL Open Font License 1.1, текст ниже.",
                        "The device screen fonts are made from Terminus Font: SIL Open Font License 1.1, text below.")
                         .toHtmlEscaped());
    html += QStringLiteral("<pre>%1</pre>").arg(fontLicence.toHtmlEscaped());
    text->setHtml(html);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, &dialog);
    QPushButton *aboutQt = buttons->addButton(Bi("О Qt", "About Qt"), QDialogButtonBox::HelpRole);
    connect(aboutQt, &QPushButton::clicked, &dialog, [&dialog] { QMessageBox::aboutQt(&dialog); });
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto *layout = new QVBoxLayout(&dialog);
    layout->addWidget(text);
    layout->addWidget(buttons);
    dialog.resize(620, 480);
    dialog.exec();
}
