#include <QAbstractButton>
#include <QFileDialog>
#include <QLabel>

#include "Tool/Translations.h"
#include "Tool/Twips.h"
#include "tests/Tool/ToolTestSupport.h"

namespace {

class Form3LayoutTest : public ToolTest {};

// At 96 dots per inch (15 twips per pixel), in tab order.
TEST_F(Form3LayoutTest, EveryControlWhereItBelongsWithItsCaption) {
    ASSERT_FLOAT_EQ(TwipsPerPixelX(), 15.0f);
    ASSERT_FLOAT_EQ(TwipsPerPixelY(), 15.0f);
    Form3& window = NewForm();
    EXPECT_EQ(window.size(), QSize(374, 287));
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Vantel"));
    EXPECT_FALSE(window.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_FALSE(window.windowIcon().isNull());

    const struct {
        QWidget* control;
        const char* name;
        QRect pixels;  // in the parent's client area
        const char* caption;
    } controls[] = {
        {window.Picture1, "Picture1", {8, 8, 260, 260}, nullptr},
        {window.Command1, "Command1", {272, 56, 49, 25}, "色"},
        {window.Command2, "Command2", {272, 8, 97, 25}, "ファイルを開く"},
        {window.Picture2, "Picture2", {320, 56, 49, 25}, nullptr},
        {window.Command6, "Command6", {272, 32, 49, 25}, "太ペン"},
        {window.Command7, "Command7", {320, 32, 49, 25}, "細ペン"},
        {window.Picture3, "Picture3", {104, 88, 57, 49}, nullptr},
        {window.Command8, "Command8", {272, 80, 97, 25}, "画面クリヤ"},
        {window.Label1, "Label1", {16, 272, 193, 17}, "Vantel Ver3.0"},
        {window.Command4, "Command4", {272, 208, 97, 25}, "プレビュー"},
        {window.Command5, "Command5", {272, 184, 97, 25}, "設定確定"},
        {window.HScroll1, "HScroll1", {272, 128, 97, 17}, nullptr},
        {window.Label2, "Label2", {275, 112, 33, 17}, "回転"},
        {window.Command3, "Command3", {272, 240, 97, 25}, "画像保存"},
    };
    QWidget* previous = nullptr;
    for (const auto& c : controls) {
        SCOPED_TRACE(c.name);
        ASSERT_NE(c.control, nullptr);
        EXPECT_EQ(c.control->objectName(), QString::fromLatin1(c.name));
        EXPECT_EQ(window.findChild<QWidget*>(QString::fromLatin1(c.name)), c.control);
        QRect geometry = c.control->geometry();
        if (c.control == window.Picture3) {
            EXPECT_EQ(c.control->parentWidget(), window.Picture1);
            EXPECT_TRUE(c.control->isHidden());
            geometry.translate(-window.Picture1->contentsRect().topLeft());
        } else {
            EXPECT_EQ(c.control->parentWidget(), &window);
        }
        EXPECT_EQ(geometry, c.pixels);
        if (auto* button = qobject_cast<QAbstractButton*>(c.control)) {
            EXPECT_EQ(button->text(), QString::fromUtf8(c.caption));
        }
        if (auto* label = qobject_cast<QLabel*>(c.control)) {
            const QString caption = QString::fromUtf8(c.caption);
            if (c.control == window.Label1) {
                EXPECT_TRUE(label->text().startsWith(caption + QLatin1Char(' ')))
                    << label->text().toStdString();
            } else {
                EXPECT_EQ(label->text(), caption);
            }
        }
        if (previous) {
            EXPECT_EQ(previous->nextInFocusChain(), c.control);
        }
        previous = c.control;
    }
}

// In either language captions are drawn whole and Qt's dialogs speak it too;
// English ones need no glyph beyond the default font's, no CJK font.
TEST_F(Form3LayoutTest, EveryCaptionFitsItsControlInEitherLanguage) {
    const struct {
        ToolLanguage language;
        const char *colour, *speed, *qtOpen;
    } cases[] = {{ToolLanguage::Japanese, "色", "回転", "開く"},
                 {ToolLanguage::English, "Color", "Spin", "Open"}};
    for (const auto& c : cases) {
        const ToolTranslators translators(c.language);
        Form3& window = NewForm();
        EXPECT_EQ(window.Command1->text(), QString::fromUtf8(c.colour));
        EXPECT_EQ(window.Label2->text(), QString::fromUtf8(c.speed));
        EXPECT_EQ(QFileDialog::tr("Open"), QString::fromUtf8(c.qtOpen));
        for (QWidget* control : window.findChildren<QWidget*>()) {
            QString caption;
            if (auto* button = qobject_cast<QAbstractButton*>(control)) caption = button->text();
            if (auto* label = qobject_cast<QLabel*>(control)) caption = label->text();
            if (caption.isEmpty()) continue;
            EXPECT_LE(control->fontMetrics().horizontalAdvance(caption) + 4, control->width())
                << caption.toStdString();
            if (c.language != ToolLanguage::English) continue;
            for (const char32_t u : caption.toUcs4()) EXPECT_TRUE(control->fontMetrics().inFontUcs4(u));
        }
    }
}

TEST_F(Form3LayoutTest, CanvasShowsA256PixelSquareInsideASunkenTwoPixelBorder) {
    Form3& window = NewForm();
    EXPECT_EQ(window.Picture1->contentsRect(), QRect(2, 2, 256, 256));
    EXPECT_EQ(window.Picture1->frameShadow(), QFrame::Sunken);
    EXPECT_EQ(window.Picture1->image().size(), QSize(256, 256));
    EXPECT_EQ(CountPixels(window.Picture1->image(), Qt::black), 256 * 256);
    EXPECT_EQ(window.Picture1->cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(window.Picture1->cursor().hotSpot(), QPoint(4, 5));
    EXPECT_EQ(window.Picture1->cursor().pixmap().size(), QSize(32, 32));
    EXPECT_EQ(window.Picture2->BackColor(), QColor(Qt::white));
}

TEST_F(Form3LayoutTest, SpeedSliderRunsFromZeroToTen) {
    Form3& window = NewForm();
    EXPECT_EQ(window.HScroll1->orientation(), Qt::Horizontal);
    EXPECT_EQ(window.HScroll1->minimum(), 0);
    EXPECT_EQ(window.HScroll1->maximum(), 10);
    EXPECT_EQ(window.HScroll1->singleStep(), 1);
    EXPECT_EQ(window.HScroll1->pageStep(), 2);
    EXPECT_EQ(window.HScroll1->value(), 0);
}

}  // namespace
