// A phone photograph through the settings tool's import: time per import
// and the process's peak resident memory. Without an argument it imports a
// made-up 8000 x 6000 (48-megapixel) JPEG of about 17 MB, written first by a
// child process so that its 192 MB of pixels never count here; with one it
// imports that file. Prints the median, fastest and slowest of 11 imports,
// CPU time included.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QRandomGenerator>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "Tool/PictureImport.h"

namespace {

constexpr int kImports = 11;

// Smooth gradients under a little noise compress about as a photograph does.
void WritePhoto(const QString& path) {
    QImage photo(8000, 6000, QImage::Format_RGB32);
    QRandomGenerator random(1);
    for (int y = 0; y < photo.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(photo.scanLine(y));
        for (int x = 0; x < photo.width(); ++x) {
            const int noise = static_cast<int>(random.bounded(24));
            row[x] = qRgb((x / 32 + noise) & 255, (y / 24 + noise) & 255, ((x + y) / 64) & 255);
        }
    }
    if (!photo.save(path, "JPEG", 90)) std::exit(1);
}

double CpuMs() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec * 1e3 + usage.ru_utime.tv_usec / 1e3 + usage.ru_stime.tv_sec * 1e3 +
           usage.ru_stime.tv_usec / 1e3;
}

long PeakResidentKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QString path = argc > 1 ? QString::fromLocal8Bit(argv[1])
                            : QDir::temp().filePath(QStringLiteral("vantel-import-bench.jpg"));
    if (argc == 1) {
        const pid_t child = fork();
        if (child == 0) {
            QGuiApplication app(argc, argv);
            WritePhoto(path);
            std::_Exit(0);
        }
        int status = 0;
        if (child < 0 || waitpid(child, &status, 0) != child || status != 0) {
            std::fprintf(stderr, "could not write %s\n", qPrintable(path));
            return 1;
        }
    }
    QGuiApplication app(argc, argv);
    std::printf("%s: %lld bytes\n", qPrintable(path), static_cast<long long>(QFile(path).size()));
    std::vector<double> wall, cpu;
    for (int i = 0; i < kImports; ++i) {
        const double cpuStart = CpuMs();
        const auto start = std::chrono::steady_clock::now();
        QString error;
        const std::optional<ImportedPicture> imported = ImportPicture(path, &error);
        wall.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        cpu.push_back(CpuMs() - cpuStart);
        if (!imported) {
            std::fprintf(stderr, "not imported: %s\n", qPrintable(error));
            return 1;
        }
        if (i == 0)
            std::printf("read at %d x %d, fitted %d x %d at (%d, %d)\n", imported->picture.width(),
                        imported->picture.height(), imported->fitted.width(), imported->fitted.height(),
                        imported->at.x(), imported->at.y());
    }
    if (argc == 1) QFile::remove(path);
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    std::printf("import: median %.0f ms (%.0f to %.0f), CPU median %.0f ms; peak resident %ld kB\n",
                wall[kImports / 2], wall.front(), wall.back(), cpu[kImports / 2], PeakResidentKb());
    return 0;
}
