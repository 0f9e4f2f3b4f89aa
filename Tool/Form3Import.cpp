// The import button: a picture file scaled to fit the canvas and centred.
#include <QFileInfo>

#include "Tool/Form3.h"
#include "Tool/ImageFit.h"
#include "Tool/PictureFile.h"
#include "Tool/Twips.h"

namespace {

const QString kPictureFilter = QStringLiteral("画像ﾌｧｲﾙ(*.bmp;*.jpg;*.gif)|*.bmp;*.jpg;*.gif");
const QString kUnreadablePicture = QStringLiteral("画像を読み込めません。");

}  // namespace

void Form3::ImportImage() {
    if (!dirPath.isEmpty()) CommonDialog1.InitDir = dirPath;
    CommonDialog1.Filter = kPictureFilter;
    CommonDialog1.FilterIndex = 1;
    CommonDialog1.Flags = OFN_FILEMUSTEXIST;
    CommonDialog1.ShowOpen();
    if (CommonDialog1.FileName.isEmpty()) return;

    // A file that does not decode changes nothing: the canvas and the
    // remembered directory stay as they were.
    const std::optional<QImage> picture = LoadPicture(CommonDialog1.FileName);
    if (!picture) {
        Caution(kUnreadablePicture);
        return;
    }
    openFileName = CommonDialog1.FileName;
    dirPath = QFileInfo(openFileName).absolutePath();
    Picture3->SetPicture(*picture);

    Picture1->Clear();
    const float tx = TwipsPerPixelX();
    const float ty = TwipsPerPixelY();
    const ImageFit fit = FitImage(Canvas::kImageSize * tx, Canvas::kImageSize * ty, picture->width() * tx,
                                  picture->height() * ty, tx, ty);
    if (fit.fitWidth > 0 && fit.fitHeight > 0)
        Picture1->DrawPicture(ScaleNearest(*picture, fit.fitWidth, fit.fitHeight), QPoint(fit.x, fit.y));
    Picture1->repaint();
}
