// Writes the settings tool's window icon for the hicolor icon theme:
//
//   vantel_icon_export DIRECTORY SIZE...
//
// makes DIRECTORY/<SIZE>x<SIZE>/apps/vantel30.png for each size.
#include <QDir>
#include <QImage>
#include <cstdio>
#include <cstdlib>

#include "Tool/Artwork.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: vantel_icon_export DIRECTORY SIZE...\n");
        return 2;
    }
    for (int i = 2; i < argc; ++i) {
        const int size = std::atoi(argv[i]);
        const QString directory =
            QStringLiteral("%1/%2x%2/apps").arg(QString::fromLocal8Bit(argv[1])).arg(size);
        if (size <= 0 || !QDir().mkpath(directory) ||
            !VantelIconImage(size).save(directory + QStringLiteral("/vantel30.png"))) {
            std::fprintf(stderr, "vantel_icon_export: cannot write the %s pixel icon into %s\n", argv[i],
                         argv[1]);
            return 1;
        }
    }
    return 0;
}
