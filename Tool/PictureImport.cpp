#include "Tool/PictureImport.h"

#include "Tool/Canvas.h"
#include "Tool/ImageFit.h"
#include "Tool/PictureFile.h"
#include "Tool/Twips.h"

std::optional<ImportedPicture> ImportPicture(const QString& path, QString* error) {
    std::optional<QImage> picture = LoadPicture(path, error);
    if (!picture) return std::nullopt;
    const float tx = TwipsPerPixelX();
    const float ty = TwipsPerPixelY();
    const ImageFit fit = FitImage(Canvas::kImageSize * tx, Canvas::kImageSize * ty, picture->width() * tx,
                                  picture->height() * ty, tx, ty);
    ImportedPicture imported{std::move(*picture), QImage(), QPoint(fit.x, fit.y)};
    if (fit.fitWidth > 0 && fit.fitHeight > 0)
        imported.fitted = ScaleNearest(imported.picture, fit.fitWidth, fit.fitHeight);
    return imported;
}
