#pragma once

#include <QIcon>
#include <QImage>
#include <QPixmap>

namespace velkor {

// The glyphs of the buttons. Each icon holds the normal image and its own
// disabled image (grey, embossed), as the original two-image bitmaps did.
enum class Glyph {
    Verify,      // key with a tick: confirm the key
    OpenFile,    // open folder: search for a key or source file
    SaveFile,    // disk: place the drain file
    Analyse,     // bar chart: symbol frequencies
    Groups,      // five-character groups
    Close,       // door with arrow: quit
    Compile,     // padlock with gears: start the compiler
    VerifyCheck  // green tick: start the verification
};

QIcon GlyphIcon(Glyph glyph);
// The program icon, rendered from its one SVG source; 32 x 32 at scale 1 (the
// window icon holds more sizes).
QImage ProgramIconImage(int size);
QPixmap ProgramIconPixmap(int size = 32);
QIcon ProgramIcon();

}  // namespace velkor
