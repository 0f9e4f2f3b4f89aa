// The import button: a picture file scaled to fit the canvas and centred.
#include <QFileInfo>

#include "Tool/Form3.h"
#include "Tool/PictureImport.h"

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
    const std::optional<ImportedPicture> imported = ImportPicture(CommonDialog1.FileName);
    if (!imported) {
        Caution(kUnreadablePicture);
        return;
    }
    openFileName = CommonDialog1.FileName;
    dirPath = QFileInfo(openFileName).absolutePath();
    Picture3->SetPicture(imported->picture);

    Picture1->Clear();
    if (!imported->fitted.isNull()) Picture1->DrawPicture(imported->fitted, imported->at);
    Picture1->repaint();
}
