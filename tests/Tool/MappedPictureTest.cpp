#include <gtest/gtest.h>
#include <unistd.h>

#include <QFile>
#include <QTemporaryDir>

#include "Tool/MappedPicture.h"

namespace {

TEST(MappedPictureTest, AFileCutShortWhileMappedReadsZerosAndSaysSo) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray path = QFile::encodeName(dir.filePath(QStringLiteral("large.bmp")));
    const auto page = static_cast<qsizetype>(sysconf(_SC_PAGESIZE));
    {
        QFile file(QString::fromLocal8Bit(path));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(page * 8, 'x'));
    }
    MappedPicture mapped(path.constData(), std::size_t{1} << 20);
    ASSERT_EQ(mapped.error(), 0);
    ASSERT_EQ(mapped.bytes().size(), page * 8);
    EXPECT_FALSE(mapped.Shrank());
    ASSERT_EQ(truncate(path.constData(), page * 2), 0);

    EXPECT_EQ(mapped.bytes()[page], 'x');
    EXPECT_FALSE(mapped.Shrank());
    EXPECT_EQ(mapped.bytes()[page * 5 + 7], '\0');
    EXPECT_EQ(mapped.bytes()[page * 8 - 1], '\0');
    EXPECT_TRUE(mapped.Shrank());
}

}  // namespace
