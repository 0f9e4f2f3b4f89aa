// Captions measured against their controls at the desktop font sizes people
// use, in both languages: the form grows with the font and keeps its shape.
#include <QAbstractButton>
#include <QApplication>
#include <QLabel>

#include "Tool/Translations.h"
#include "tests/Tool/ToolTestSupport.h"

namespace {

class Form3CaptionsTest : public ToolTest {
protected:
    void TearDown() override {
        ToolTest::TearDown();
        QApplication::setFont(font_);
        qApp->setStyleSheet(QString());
    }
    // The captions that do not fit their controls, and those whose font
    // shrank below `points` to fit.
    QStringList Clipped(double points) const {
        QStringList clipped;
        for (QWidget* control : form->findChildren<QWidget*>()) {
            QString caption;
            if (auto* button = qobject_cast<QAbstractButton*>(control)) caption = button->text();
            if (auto* label = qobject_cast<QLabel*>(control)) caption = label->text();
            if (caption.isEmpty()) continue;
            if (control->fontMetrics().horizontalAdvance(caption) + 4 > control->width())
                clipped << caption + QStringLiteral(" (clipped)");
            else if (control->font().pointSizeF() < points)
                clipped << caption + QStringLiteral(" (shrank)");
        }
        return clipped;
    }

private:
    QFont font_ = QApplication::font();
};

TEST_F(Form3CaptionsTest, FitAndTheFormGrowsInProportionFromNineToFourteenPoints) {
    const QSizeF design(374, 287);
    for (const ToolLanguage language : {ToolLanguage::Japanese, ToolLanguage::English}) {
        const ToolTranslators translators(language);
        for (const double points : {9.0, 11.0, 12.0, 14.0}) {
            SCOPED_TRACE(std::to_string(points) + " pt, language " +
                         std::to_string(static_cast<int>(language)));
            QFont font = QApplication::font();
            font.setPointSizeF(points);
            QApplication::setFont(font);
            NewForm();
            const QStringList clipped = Clipped(points);
            EXPECT_TRUE(clipped.isEmpty()) << clipped.join(QStringLiteral(", ")).toStdString();
            // At least as much as the font asked for (it may come a little
            // larger, at whole pixels), and in the design's proportions.
            EXPECT_GE(form->width(), design.width() * points / 9.0 - 1);
            EXPECT_NEAR(double(form->width()) / form->height(), design.width() / design.height(), 0.01);
        }
    }
}

// A style sheet's larger font for the buttons alone does not grow the form:
// their captions shrink until they fit.
TEST_F(Form3CaptionsTest, ABiggerButtonFontFromAStyleSheetShrinksToFit) {
    const ToolTranslators translators(ToolLanguage::English);
    qApp->setStyleSheet(QStringLiteral("QPushButton { font-size: 14pt; }"));
    NewForm();
    EXPECT_EQ(form->size(), QSize(374, 287));
    const QStringList clipped = Clipped(0);
    EXPECT_TRUE(clipped.isEmpty()) << clipped.join(QStringLiteral(", ")).toStdString();
    EXPECT_GT(Clipped(14).size(), 0) << "no caption needed a smaller font: the case proves nothing";
}

}  // namespace
