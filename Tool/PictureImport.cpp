#include "Tool/PictureImport.h"

#include "Tool/Canvas.h"
#include "Tool/ImageFit.h"
#include "Tool/PictureFile.h"
#include "Tool/Twips.h"

std::optional<ImportedPicture> ImportPicture(const QString& path, QString* error) {
    // A picture is fitted by its own size, whatever size it was read at.
    std::optional<LoadedPicture> picture =
        LoadPictureCovering(path, QSize(Canvas::kImageSize, Canvas::kImageSize), error);
    if (!picture) return std::nullopt;
    const float tx = TwipsPerPixelX();
    const float ty = TwipsPerPixelY();
    const ImageFit fit = FitImage(Canvas::kImageSize * tx, Canvas::kImageSize * ty,
                                  picture->size.width() * tx, picture->size.height() * ty, tx, ty);
    ImportedPicture imported{std::move(picture->image), QImage(), QPoint(fit.x, fit.y),
                             std::move(picture->damage)};
    if (fit.fitWidth > 0 && fit.fitHeight > 0)
        imported.fitted = ScaleNearest(imported.picture, fit.fitWidth, fit.fitHeight);
    return imported;
}
