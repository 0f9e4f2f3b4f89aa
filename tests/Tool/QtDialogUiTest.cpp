// The message boxes show their text as written: a folder named "<h1>BIG<"
// would otherwise read as markup and swallow the rest of the text.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <functional>

#include "Tool/QtDialogUi.h"

namespace {

TEST(QtDialogUiTest, EveryBoxShowsItsTextAsWritten) {
    QtDialogUi ui;
    const QString text = QStringLiteral("フォルダ「/tmp/<h1>BIG<」がありません。");
    const std::function<void()> asks[] = {[&] { ui.Message(text, text); }, [&] { ui.Confirm(text, text); },
                                          [&] { ui.Choose(text, text, {text}); }};
    for (const auto& ask : asks) {
        Qt::TextFormat shown = Qt::AutoText;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) return;
            shown = box->text() == text ? box->textFormat() : Qt::AutoText;
            box->done(0);
        });
        ask();
        EXPECT_EQ(shown, Qt::PlainText);
    }
}

}  // namespace
