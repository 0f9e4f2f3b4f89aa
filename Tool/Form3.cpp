#include "Tool/Form3.h"

#include "Tool/Artwork.h"
#include "Tool/CaptionFit.h"
#include "Tool/Form3Layout.h"
#include "Tool/PenColor.h"
#include "Tool/Twips.h"

namespace {

constexpr int kThickPen = 30;
constexpr int kThinPen = 15;
constexpr int kSpeedMaximum = 10;
constexpr int kSpeedPageStep = 2;

const ControlLayout& LayoutOf(const char* name) {
    for (const ControlLayout& control : kForm3Controls)
        if (qstrcmp(control.name, name) == 0) return control;
    Q_UNREACHABLE();
}

// Places `widget` by its layout entry and names it after it.
template <typename Widget>
Widget* Place(Widget* widget, const char* name, QPoint clientOrigin = QPoint()) {
    const ControlLayout& at = LayoutOf(name);
    widget->setObjectName(QString::fromLatin1(name));
    const QFont& font = widget->window()->font();
    widget->setGeometry(
        TwipsRectToPixels(at.left, at.top, at.width, at.height, TwipsPerPixelX(font), TwipsPerPixelY(font))
            .translated(clientOrigin));
    return widget;
}

QPushButton* Button(QWidget* parent, const char* name, const QString& caption) {
    QPushButton* button = Place(new QPushButton(caption, parent), name);
    FitCaption(button, caption);
    return button;
}

QLabel* Label(QWidget* parent, const char* name, const QString& caption) {
    QLabel* label = Place(new QLabel(caption, parent), name);
    FitCaption(label, caption);
    return label;
}

}  // namespace

Form3::Form3(DialogUi& ui, const QString& programDirectory, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      CommonDialog1(ui),
      CommonDialog2(ui),
      CommonDialog3(ui),
      ui_(ui),
      programDirectory_(programDirectory) {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Vantel"));
    setWindowIcon(VantelIcon());
    // The captions' font decides the layout's scale: a style sheet's too.
    ensurePolished();
    setFixedSize(TwipsRectToPixels(0, 0, kForm3ClientWidth, kForm3ClientHeight, TwipsPerPixelX(font()),
                                   TwipsPerPixelY(font()))
                     .size());
    BuildControls();
}

void Form3::BuildControls() {
    Picture1 = Place(new Canvas(this), "Picture1");
    Command1 = Button(this, "Command1", tr("色"));
    Command2 = Button(this, "Command2", tr("ファイルを開く"));
    Picture2 = Place(new PictureBox(this), "Picture2");
    Command6 = Button(this, "Command6", tr("太ペン"));
    Command7 = Button(this, "Command7", tr("細ペン"));
    Picture3 = Place(new PictureBox(Picture1), "Picture3", Picture1->contentsRect().topLeft());
    Picture3->hide();
    Command8 = Button(this, "Command8", tr("画面クリヤ"));
    Label1 = Label(this, "Label1", QStringLiteral("Vantel Ver3.0 (C) Vantel team"));
    Command4 = Button(this, "Command4", tr("プレビュー"));
    Command5 = Button(this, "Command5", tr("設定確定"));
    HScroll1 = Place(new QScrollBar(Qt::Horizontal, this), "HScroll1");
    HScroll1->setRange(0, kSpeedMaximum);
    HScroll1->setSingleStep(1);
    HScroll1->setPageStep(kSpeedPageStep);
    Label2 = Label(this, "Label2", tr("回転"));
    Command3 = Button(this, "Command3", tr("画像保存"));

    QWidget* const inTabOrder[] = {Picture1, Command1, Command2, Picture2, Command6, Command7, Picture3,
                                   Command8, Label1,   Command4, Command5, HScroll1, Label2,   Command3};
    for (std::size_t i = 1; i < std::size(inTabOrder); ++i)
        QWidget::setTabOrder(inTabOrder[i - 1], inTabOrder[i]);

    connect(Command1, &QPushButton::clicked, this, &Form3::ChooseColor);
    connect(Command2, &QPushButton::clicked, this, &Form3::ImportImage);
    connect(Command3, &QPushButton::clicked, this, &Form3::SaveImageAndSettings);
    connect(Command4, &QPushButton::clicked, this, &Form3::StartPreview);
    connect(Command5, &QPushButton::clicked, this, &Form3::ConfirmSettings);
    connect(Command6, &QPushButton::clicked, this, &Form3::SelectThickPen);
    connect(Command7, &QPushButton::clicked, this, &Form3::SelectThinPen);
    connect(Command8, &QPushButton::clicked, this, &Form3::ClearCanvas);
    connect(Picture1, &Canvas::MouseDown, this, &Form3::BeginStroke);
    connect(Picture1, &Canvas::MouseMove, this, &Form3::ContinueStroke);
    connect(Picture1, &Canvas::MouseUp, this, &Form3::EndStroke);
    connect(HScroll1, &QScrollBar::valueChanged, this, &Form3::ShowSpeed);
    BuildShortcuts();
    ShowSpeed(HScroll1->value());
    NoteConfirmed();
}

QPoint Form3::ToCanvasPixel(float x, float y) const {
    return QPoint(TwipsToPixels(x, Canvas::kTwipsPerImagePixel),
                  TwipsToPixels(y, Canvas::kTwipsPerImagePixel));
}

void Form3::BeginStroke(float x, float y) {
    // A press during a stroke (a second button) starts over with a new pen.
    drawing = true;
    strokeRemembered_ = false;
    hPen = QPen(PenColorToQColor(penColor), penWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    Picture1->MoveTo(ToCanvasPixel(x, y));
}

void Form3::ContinueStroke(float x, float y) {
    if (!drawing) return;
    // A stroke is one step to undo; a press without a move changes nothing.
    if (!strokeRemembered_) RememberCanvas();
    strokeRemembered_ = true;
    Picture1->LineTo(ToCanvasPixel(x, y), *hPen);
}

void Form3::EndStroke() {
    drawing = false;
    hPen.reset();
}

void Form3::SelectThickPen() {
    penWidth = kThickPen;
}

void Form3::SelectThinPen() {
    penWidth = kThinPen;
}

void Form3::ClearCanvas() {
    RememberCanvas();
    Picture1->Clear();
    Picture1->repaint();
}

void Form3::Caution(const QString& text) {
    ui_.Message(tr("注意"), text);
}
