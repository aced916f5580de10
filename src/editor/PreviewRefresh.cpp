#include "editor/PreviewRefresh.h"

#include "base/Error.h"
#include "editor/EditorPage.h"
#include "editor/PaintBox.h"
#include "model/MK.h"

TPreviewRefresh::TPreviewRefresh(TEditorContext &ctx) : ctx_(ctx), saved_(ctx.refreshing) {
    ctx_.refreshing = true;
}

TPreviewRefresh::~TPreviewRefresh() {
    ctx_.refreshing = saved_;
    if (!error_.isEmpty() && ctx_.binder.reportError) ctx_.binder.reportError(error_);
}

void TPreviewRefresh::Keep(const QString &error) {
    if (error_.isEmpty()) error_ = error;
}

void TPreviewRefresh::Draw(TPaintBox *box, const std::function<void()> &draw) {
    try {
        draw();
        box->SetPicture(ctx_.mk.Preview.copy());
    } catch (const Error &e) {
        box->SetPicture(QImage());
        Keep(e.message());
    }
}

void TPreviewRefresh::Check(const std::function<void()> &check) {
    try {
        check();
    } catch (const Error &e) {
        Keep(e.message());
    }
}
