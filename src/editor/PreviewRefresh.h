#pragma once
// One refresh of the display previews and colour grids. The refresh flag of the
// editor is set while it lasts and cleared when it ends, also when drawing fails; the
// first drawing error is reported once, after the flag is cleared.

#include <QString>
#include <functional>

class TEditorContext;
class TPaintBox;

class TPreviewRefresh {
public:
    explicit TPreviewRefresh(TEditorContext &ctx);
    ~TPreviewRefresh();
    TPreviewRefresh(const TPreviewRefresh &) = delete;
    TPreviewRefresh &operator=(const TPreviewRefresh &) = delete;

    // draw() paints a screen into the image's preview bitmap; the box then shows a
    // copy of it. A screen that cannot be drawn leaves the box blank.
    void Draw(TPaintBox *box, const std::function<void()> &draw);
    // A check that raises RangeError for what cannot be drawn (a colour cell).
    void Check(const std::function<void()> &check);

private:
    void Keep(const QString &error);

    TEditorContext &ctx_;
    bool saved_;
    QString error_;
};
