// Arbitrary bytes as a picture file through the tool's import: the loading
// (BMP, JPEG, GIF and PNG content only), fitting and scaling the button uses,
// without the window.
#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <optional>

#include "Tool/Canvas.h"
#include "Tool/PictureImport.h"
#include "Tool/PictureStructure.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/ScratchFile.h"

namespace {

constexpr int kCanvas = Canvas::kImageSize;

// Qt's decoders are not instrumented, so libFuzzer sees none of their paths.
// What the reader tells of each input (its format, the size class its header
// states, the reason it failed or was read in part) stands in for them as
// extra features, so the corpus keeps inputs of every format and every way
// of failing.
__attribute__((section("__libfuzzer_extra_counters"))) std::uint8_t decoderFeatures[1 << 12];

void NoteDecoderFeature(const std::uint8_t* data, std::size_t size, const QString& error) {
    QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QByteArray format;
    {
        QBuffer sniff(&bytes);
        sniff.open(QIODevice::ReadOnly);
        format = QImageReader(&sniff).format();
    }
    // A PNG's header is read as the import reads it, from its pixel chunks
    // alone: any other chunk before the pixels can claim any length.
    if (format == "png") bytes = PngPixelChunksOf(bytes).bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    const QSize stated = QImageReader(&buffer, format).size();
    const std::size_t sizeClass = std::bit_width(static_cast<unsigned>(std::max(stated.width(), 0))) * 33 +
                                  std::bit_width(static_cast<unsigned>(std::max(stated.height(), 0)));
    const std::size_t feature = qHash(format) ^ qHash(error) * 31 ^ sizeClass * 131;
    decoderFeatures[feature % std::size(decoderFeatures)] = 1;
}

// The picture kept within the pixel limit; what the button draws covers the
// canvas edge to edge in one direction, lies inside it, and is opaque.
void CheckFitted(const ImportedPicture& imported) {
    const QImage& picture = imported.picture;
    FUZZ_CHECK(!picture.isNull() && qint64{picture.width()} * picture.height() <= qint64{1} << 24);
    const QImage& fitted = imported.fitted;
    if (fitted.isNull()) return;
    FUZZ_CHECK(fitted.width() == kCanvas || fitted.height() == kCanvas);
    FUZZ_CHECK(imported.at.x() >= 0 && imported.at.x() + fitted.width() <= kCanvas);
    FUZZ_CHECK(imported.at.y() >= 0 && imported.at.y() + fitted.height() <= kCanvas);
    FUZZ_CHECK(fitted.format() == QImage::Format_RGB32);
    for (int y = 0; y < fitted.height(); ++y)
        for (int x = 0; x < fitted.width(); ++x) FUZZ_CHECK(qAlpha(fitted.pixel(x, y)) == 255);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    // The image plugins (JPEG, GIF) and PNG need a GUI application, not a screen.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QGuiApplication application(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = vantel_fuzz::WriteScratchFile("picture", data, size);
    QString error;
    const std::optional<ImportedPicture> imported = ImportPicture(QString::fromStdString(path), &error);
    // A picture read in part counts apart from a whole one.
    NoteDecoderFeature(data, size, imported ? imported->damage : error);
    if (imported) CheckFitted(*imported);
    return 0;
}
