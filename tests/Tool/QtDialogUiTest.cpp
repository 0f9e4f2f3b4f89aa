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
    const std::function<void()> asks[] = {
        [&] { ui.Message(QStringLiteral("t"), text); },
        [&] { ui.Confirm(QStringLiteral("t"), text); },
        [&] {
            ui.Choose(QStringLiteral("t"), text, {QStringLiteral("a"), QStringLiteral("b")});
        },
    };
    for (const auto& ask : asks) {
        Qt::TextFormat shown = Qt::AutoText;
        QString said;
        QTimer::singleShot(0, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                shown = box->textFormat();
                said = box->text();
                box->done(0);
            }
        });
        ask();
        EXPECT_EQ(shown, Qt::PlainText);
        EXPECT_EQ(said, text);
    }
}

}  // namespace
