// Form3, the settings tool's one window. Every operation is the handler of
// one event of the window or one of its controls; the controls keep their
// layout names as object names and as members.
#pragma once

#include <QLabel>
#include <QPen>
#include <QPushButton>
#include <QScrollBar>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <optional>

#include "Tool/Canvas.h"
#include "Tool/CanvasHistory.h"
#include "Tool/CommonDialog.h"
#include "Tool/DialogUi.h"
#include "Tool/PictureBox.h"

class Form3 : public QWidget {
    Q_OBJECT
public:
    // Dialogs and message boxes go through `ui`. `programDirectory` is the
    // directory of the tool's executable, where "設定確定" writes "123.bmp"
    // when it can (ConfirmedImagePath) and where the preview finds the
    // screensaver.
    Form3(DialogUi& ui, const QString& programDirectory, QWidget* parent = nullptr);

    // Controls, children of the window (Picture3 of Picture1).
    Canvas* Picture1;
    QPushButton* Command1;
    QPushButton* Command2;
    PictureBox* Picture2;
    QPushButton* Command6;
    QPushButton* Command7;
    PictureBox* Picture3;
    QPushButton* Command8;
    QLabel* Label1;
    QPushButton* Command4;
    QPushButton* Command5;
    QScrollBar* HScroll1;
    QLabel* Label2;
    QPushButton* Command3;

    CommonDialog CommonDialog1;  // open: image import
    CommonDialog CommonDialog2;  // save: image and settings
    CommonDialog CommonDialog3;  // colour

    // Window-level values shared by the handlers.
    std::int32_t penColor = 0;  // 0x00BBGGRR
    std::int32_t penWidth = 0;  // pixels of the next stroke's pen; 0 is one pixel wide
    QString textureFile;        // only during start-up
    QString dirPath;            // remembered directory, settings key DIR
    QString saveFileName;       // last path chosen in the save dialog
    QString openFileName;       // last picture chosen in the open dialog
    bool drawing = false;       // a stroke is in progress
    std::optional<QPen> hPen;   // the stroke's pen, made at mouse-down

public slots:
    // Fills canvas, slider, pen colour and width and dirPath from the
    // settings file. Run once, before the window is first shown.
    void LoadSettingsOnStart();
    void SaveImageAndSettings();  // Command3 "画像保存"
    void ConfirmSettings();       // Command5 "設定確定"
    void StartPreview();          // Command4 "プレビュー"
    void ChooseColor();           // Command1 "色"
    void SelectThickPen();        // Command6 "太ペン"
    void SelectThinPen();         // Command7 "細ペン"
    void ClearCanvas();           // Command8 "画面クリヤ"
    void ImportImage();           // Command2 "ファイルを開く"
    // Picture1's pointer events, positions in twips from its client area's
    // top-left corner at the canvas's scale (Canvas::kTwipsPerImagePixel).
    void BeginStroke(float x, float y);
    void ContinueStroke(float x, float y);
    void EndStroke();
    // Ctrl+Z, and Ctrl+Shift+Z or Ctrl+Y: the canvas one step back or forward.
    void UndoCanvas();
    void RedoCanvas();
    // HScroll1's position as the speed the screensaver turns at.
    void ShowSpeed(int position);

protected:
    // With painting or settings not yet confirmed, asks whether to confirm
    // them first, discard them or stay.
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildControls();
    QPoint ToCanvasPixel(float x, float y) const;
    // Writes the canvas to `path` and the four settings keys as one update:
    // both change or neither. A failure shows in a message box that names
    // the file and the step that failed and says why. True when both were
    // written.
    bool WriteImageAndSettings(const QString& path);
    // A tip by `near` saying that `path` was written; it goes by itself.
    void ShowSaved(QWidget* near, const QString& path);
    void BuildShortcuts();
    // Keeps the canvas as it is now as the step to undo to.
    void RememberCanvas();
    void RestoreCanvas(const QImage& image);
    // What was last saved or loaded, to tell whether closing loses anything.
    void NoteConfirmed();
    bool Unconfirmed() const;
    // Shows `text` in a message box titled "注意", as every handler's
    // failure path does.
    void Caution(const QString& text);

    DialogUi& ui_;
    QString programDirectory_;
    CanvasHistory history_;
    bool strokeRemembered_ = false;  // this stroke's first segment was preceded by RememberCanvas
    struct {
        QImage image;
        int speed = 0;
        std::int32_t color = 0;
        QString dir;
    } confirmed_;
};
