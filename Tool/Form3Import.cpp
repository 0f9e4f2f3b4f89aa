// The import button: a picture file scaled to fit the canvas and centred.
#include <QDir>
#include <QFileInfo>

#include "Tool/Form3.h"
#include "Tool/PictureImport.h"

namespace {

// Every name a JPEG file goes by, beside the bitmap's, the GIF's and the PNG's.
const QString kPicturePatterns = QStringLiteral("*.bmp;*.jpg;*.jpeg;*.jpe;*.gif;*.png");

}  // namespace

void Form3::ImportImage() {
    if (!dirPath.isEmpty()) CommonDialog1.InitDir = dirPath;
    CommonDialog1.Filter = FilterEntry(tr("画像ﾌｧｲﾙ(%1)"), kPicturePatterns);
    CommonDialog1.FilterIndex = 1;
    CommonDialog1.Flags = OFN_FILEMUSTEXIST;
    CommonDialog1.ShowOpen();
    if (CommonDialog1.FileName.isEmpty()) return;

    // A file that does not decode changes nothing: the canvas and the
    // remembered directory stay as they were.
    QString reason;
    const std::optional<ImportedPicture> imported = ImportPicture(CommonDialog1.FileName, &reason);
    if (!imported) {
        Caution(tr("画像を読み込めません。\n%1\n%2")
                    .arg(QDir::toNativeSeparators(CommonDialog1.FileName), reason));
        return;
    }
    openFileName = CommonDialog1.FileName;
    dirPath = QFileInfo(openFileName).absolutePath();
    Picture3->SetPicture(imported->picture);

    RememberCanvas();
    Picture1->Clear();
    if (!imported->fitted.isNull()) Picture1->DrawPicture(imported->fitted, imported->at);
    Picture1->repaint();
    if (!imported->damage.isEmpty())
        Caution(tr("画像の一部を読み込めませんでした。\n%1\n%2")
                    .arg(QDir::toNativeSeparators(openFileName), imported->damage));
}
