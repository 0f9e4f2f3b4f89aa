// The blocks of a GIF file after its logical screen, walked one at a time:
// the one reading of the file's block structure that both the check for a
// file cut short and the reduced decoder use.
#pragma once

#include <QByteArray>

struct GifBlock {
    enum class Kind {
        Extension,  // `at` is its label, `data` its first sub-block
        Image,      // `at` is its descriptor, `data` its LZW minimum code size
        Trailer,
        NotABlock,  // a byte that begins no block: decoders stop there
        CutShort,   // the file ends before the block does
    };
    Kind kind = Kind::CutShort;
    qsizetype at = 0;
    qsizetype data = 0;
};

class GifBlocks {
public:
    // Starts after the screen descriptor and its colour table.
    explicit GifBlocks(const QByteArray& gif);
    // The next block; after an image or extension whose sub-blocks run past
    // the file's end, a cut-short one.
    GifBlock Next();

private:
    const QByteArray& gif_;
    qsizetype at_;
};

// The bytes a colour table takes after a descriptor with these flags.
qsizetype GifColourTableBytes(uchar flags);

// The offset of the screen descriptor's end.
inline constexpr qsizetype kGifScreenDescriptorEnd = 13;
