// Picture2 and Picture3: plain picture areas. Picture2 is the colour swatch,
// a sunken frame filled with its background colour; Picture3 stays hidden
// and holds the last imported picture at its natural size.
#pragma once

#include <QColor>
#include <QFrame>
#include <QImage>

class PictureBox : public QFrame {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent = nullptr);

    QColor BackColor() const;
    void SetBackColor(const QColor& color);

    const QImage& Picture() const { return picture_; }
    // Holds `picture` and takes its size.
    void SetPicture(const QImage& picture);

private:
    QImage picture_;
};
