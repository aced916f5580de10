#include "editor/PageServiceInfo.h"

#include "model/MK.h"

#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

TPageServiceInfo::TPageServiceInfo(TEditorContext &context, QWidget *parent) : TEditorPage(context, parent) {
    auto *layout = new QVBoxLayout(this);
    sgServiceInfo = new QTableWidget(Rows, 2, this);
    sgServiceInfo->setObjectName(QStringLiteral("sgServiceInfo"));
    sgServiceInfo->horizontalHeader()->hide();
    sgServiceInfo->verticalHeader()->hide();
    sgServiceInfo->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    sgServiceInfo->setEditTriggers(QAbstractItemView::NoEditTriggers);
    sgServiceInfo->setTabKeyNavigation(false);
    layout->addWidget(sgServiceInfo);
}

void TPageServiceInfo::Load() {
    const auto hex = [](int64_t v, int digits) {
        return QStringLiteral("%1").arg(uint64_t(v), digits, 16, QLatin1Char('0')).toUpper();
    };
    const auto yesNo = [](bool on, const char *yes) { return on ? Bi("Да", yes) : Bi("Нет", "No"); };
    const TProtBase *p = ctx.Protocol();
    QStringList pids;
    for (int i = 0; i < 16; ++i)
        pids << hex(mk.Get("Pids", i), 4);
    const char *const subtypes[] = {"ProtTypeAdd1", "ProtTypeAdd2", "ProtTypeAdd3", "ProtTypeAdd4",
                                    "ProtTypeAdd5", "ProtTypeAdd6", "ProtTypeAdd7"};
    const QString accel = ctx.caps.HasAccelerometer
                              ? QStringLiteral("%1").arg(uint(mk.Get("AccelCalibr")), 8, 2, QLatin1Char('0'))
                              : QString();

    QList<std::pair<QString, QString>> rows;
    rows.append({Bi("Проект", "Project"), Prots().DeviceModelName});
    rows.append({Bi("Протокол", "Protocol"), p ? p->Name : QString()});
    rows.append(
        {Bi("Вариант реализации", "Implementation variant"), QString::number(mk.Get("ProtTypeMain"))});
    for (int i = 0; i < 7; ++i)
        rows.append({Bi("Подтип %1", "Subtype %1").arg(i + 1), QString::number(mk.Get(subtypes[i]))});
    rows.append({Bi("Виртуальный раход", "Virtual expense"), QString::number(mk.Get("VirtualExpense"))});
    rows.append({Bi("Адрес ЭБУ", "ECU address"), hex(mk.Get("EcuAddress"), 2)});
    rows.append({Bi("Нач. дроссель", "Start throttle"), QString::number(mk.Get("StartThrottle"))});
    rows.append({QStringLiteral("PIDs"), pids.join(QLatin1Char(' '))});
    rows.append({QStringLiteral("PIDs Consult"), hex(mk.Get("PidsConsult"), 4)});
    rows.append({Bi("Пропуски связи", "Link gaps"), QString::number(mk.Get("LinkGaps"))});
    // The first answer has always read "Yas" in English.
    rows.append({Bi("Нужно проводить автоопр.прот.", "It is necessary to perform prot.auto.detect."),
                 yesNo(mk.Bit("ProtocolFlags", 0), "Yas")});
    rows.append({Bi("Нужно определять PIDы", "It is necessary to detect PIDs"),
                 yesNo(mk.Bit("ProtocolFlags", 1), "Yes")});
    rows.append({Bi("Нужно опр. тип вирт. расч.", "It is necessary to detect virt.calc.type"),
                 yesNo(mk.Bit("ProtocolFlags", 2), "Yes")});
    rows.append({Bi("Это турбодизель", "Is it turbodiesel"), yesNo(mk.Bit("OptionBits", 1), "Yes")});
    rows.append(
        {Bi("Расчет турбодиз. по нагр.", "Calc.turbodiesel by load"), yesNo(mk.Bit("OptionBits", 6), "Yes")});
    rows.append({Bi("Макс. температура по акселерометру", "Accelerometer max.temper"), QString()});
    rows.append({Bi("Калибровка акселерометра", "Accelerometer calibration"), accel});
    for (int r = 0; r < Rows && r < rows.size(); ++r) {
        sgServiceInfo->setItem(r, 0, new QTableWidgetItem(rows[r].first));
        sgServiceInfo->setItem(r, 1, new QTableWidgetItem(rows[r].second));
    }
}
