#pragma once
// What the pages of the settings editor share while it is open, the page base class and
// the column layout the pages are built from.

#include "catalogue/ProtsH.h"
#include "editor/Binder.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QWidget>
#include <functional>

class TMK;

// Changes one page makes that other pages follow.
enum class TEditorEvent {
    ProtocolChanged,         // cbProtocol took another protocol; the protocol rules follow
    SourcesChanged,          // an engine-speed, petrol or gas source changed
    TemperatureLabelChanged, // rgAirWaterShow changed
    ColoursChanged,          // a colour or element index of the scheme being edited changed
    ParametersChanged,       // a screen field shows another parameter
};

class TEditorContext {
public:
    TEditorContext(TMK &mk, TBinder &binder) : mk(mk), binder(binder), caps(Prots().Caps) {}

    TMK &mk;
    TBinder &binder;
    const TDeviceCaps caps; // fixed while the dialog is open
    int scheme = 0;         // colour scheme being edited: 0 day, 1 night
    bool refreshing = false; // previews and grids are being refreshed

    // The current protocol; nullptr when the model offers none.
    const TProtBase *Protocol() const { return Prots().CurrentProtocol; }
    int Kind() const { return Protocol() ? Protocol()->Kind : -1; }

    // Every page hears the event, in page order.
    void Notify(TEditorEvent event) const {
        if (notify) notify(event);
    }
    // Every page's protocol rules, in page order.
    void ApplyProtocolRules() const {
        if (applyProtocolRules) applyProtocolRules();
    }

    std::function<void(TEditorEvent)> notify;   // set by the dialog
    std::function<void()> applyProtocolRules;    // set by the dialog
};

class TColumn;

// One page of the editor: it builds its controls in its constructor, and the dialog
// calls the hooks below in page order at the steps of the show sequence.
class TEditorPage : public QWidget {
    Q_OBJECT
public:
    TEditorPage(TEditorContext &ctx, QWidget *parent = nullptr)
        : QWidget(parent), ctx(ctx), mk(ctx.mk), b(ctx.binder) {}

    virtual void ApplyDeviceFlags() {}   // what the rows' own flags do not cover (grids, sub-pages)
    virtual void Load() {}               // after the binder loaded every row: grids, tables, sub-pages
    virtual void ApplyProtocolRules() {} // re-run after every protocol change
    virtual void ApplyShowRules() {}     // the other rules of the show sequence
    virtual void FinishShow() {}         // the last step: parameter names
    virtual void Activated() {}          // became the current page: refresh what it shows
    virtual void OnEvent(TEditorEvent) {}

protected:
    // The page's row of columns, with the editor's margins and spacing.
    QHBoxLayout *Columns() {
        auto *columns = new QHBoxLayout(this);
        columns->setContentsMargins(12, 12, 12, 12);
        columns->setSpacing(24);
        return columns;
    }
    // A new column at the end of the row, its rows from the top.
    TColumn *AddColumn(QHBoxLayout *columns);

    TEditorContext &ctx;
    TMK &mk;
    TBinder &b;
};

// A column of "caption: control" rows in a grid of its own: rows a rule hides leave no
// gap, and showing rows in one column never pulls another apart. Stacked columns put the
// caption above the control, for narrow columns with long captions.
class TColumn : public QWidget {
public:
    TColumn(TBinder &binder, QWidget *parent, bool stacked = false)
        : QWidget(parent), binder_(binder), grid_(new QGridLayout(this)), stacked_(stacked) {
        grid_->setContentsMargins(0, 0, 0, 0);
        grid_->setColumnStretch(1, 1);
    }

    // A bound control with its caption label.
    template <typename W> W *Row(W *control) {
        if (QLabel *label = binder_.Label(control)) {
            if (stacked_) {
                grid_->addWidget(label, row_++, 0, 1, 2);
                grid_->addWidget(control, row_, 0, 1, 2, Qt::AlignLeft);
            } else {
                grid_->addWidget(label, row_, 0);
                grid_->addWidget(control, row_, 1, Qt::AlignLeft);
            }
        } else {
            grid_->addWidget(control, row_, 0, 1, 2);
        }
        ++row_;
        return control;
    }
    // A control that spans both cells (radio groups, boxes).
    template <typename W> W *Wide(W *control) {
        grid_->addWidget(control, row_++, 0, 1, 2);
        return control;
    }
    void Stretch() { grid_->setRowStretch(row_, 1); }
    QGridLayout *Grid() const { return grid_; }

private:
    TBinder &binder_;
    QGridLayout *grid_;
    bool stacked_;
    int row_ = 0;
};

inline TColumn *TEditorPage::AddColumn(QHBoxLayout *columns) {
    auto *column = new TColumn(b, this);
    columns->addWidget(column, 0, Qt::AlignTop);
    return column;
}
