#pragma once
// A paint box of the display previews: it shows its own copy of a drawn 320 × 240
// screen at its top-left corner, so that repainting never draws the screen again, and
// reports right-clicks for the screen-assignment menus.

#include <QImage>
#include <QWidget>

class TPaintBox : public QWidget {
    Q_OBJECT
public:
    explicit TPaintBox(const char *name, QWidget *parent = nullptr, int tag = 0);

    int Tag() const { return tag_; }
    // A copy of the screen; an empty image leaves the box blank (nothing drawn yet, or
    // the drawing failed).
    void SetPicture(const QImage &picture);
    const QImage &Picture() const { return picture_; }

signals:
    void RightClicked(QPoint pos);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    int tag_;
    QImage picture_;
};
