#include "Tool/PictureBox.h"

PictureBox::PictureBox(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    setAutoFillBackground(true);
    SetBackColor(Qt::white);
}

QColor PictureBox::BackColor() const {
    return palette().color(QPalette::Window);
}

void PictureBox::SetBackColor(const QColor& color) {
    QPalette colored = palette();
    colored.setColor(QPalette::Window, color);
    setPalette(colored);
}

void PictureBox::SetPicture(const QImage& picture) {
    picture_ = picture;
    resize(picture.size());
}
