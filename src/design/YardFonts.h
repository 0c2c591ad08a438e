#pragma once

#include <QFont>
#include <QString>
#include <QStringList>
#include <optional>

namespace pellucine::Yard {

enum class FontDesign { standard, monospaced };
enum class FontWidth { standard, condensed };

// Families of the faces compiled into the program.
inline const QString sansFamily = QStringLiteral("Noto Sans");
inline const QString monoFamily = QStringLiteral("Noto Sans Mono");
inline const QString symbolFamily = QStringLiteral("Material Icons");
// Faces that supply the key symbols (⌘ ⌥ ⇧ ⌃ ⇥ …) missing from the text faces, in the order
// they are consulted.
inline const QStringList keySymbolFamilies = {QStringLiteral("Noto Sans Symbols2"),
                                              QStringLiteral("Noto Sans Math"),
                                              QStringLiteral("Noto Sans Symbols")};

// Resource paths of the bundled font files.
QStringList bundledFontFiles();
// The bytes of the bundled font file `file` (a resource path), without a copy where the program's
// data holds them as they are; empty when there is no such file.
QByteArray bundledFontData(const QString& file);

// Gives back the pages of the bundled font files this process has read. Loading a face reads
// most of its file, and its shaping tables are then kept as copies; drawing reads again only the
// glyphs it needs, from the program's file. Nothing where the faces were copied to the heap.
void releaseBundledFontPages();

// Registers every bundled face with the application's font database. Runs once per process
// (needs the GUI application) and returns the families that were registered; an empty list
// means the faces could not be loaded and text falls back to the system's fonts.
QStringList registerBundledFonts();

// Design sizes are device-independent pixels; Qt's point sizes scale by the logical DPI over 72.
// This is the one place that converts. `logicalDpi` 0 means the primary screen's.
qreal pointSizeForPixels(qreal pixels, qreal logicalDpi = 0);

// A font of the bundled families at `size` device-independent pixels. No weight leaves the
// family's default. Qt's font engine renders whole pixel sizes, so 10.5 draws at 11.
QFont font(qreal size, std::optional<QFont::Weight> weight = std::nullopt,
           FontDesign design = FontDesign::standard, FontWidth width = FontWidth::standard);

// Letter spacing in device-independent pixels (tracking) on a copy of `base`.
QFont tracked(QFont base, qreal tracking);

QFont kickerFont();   // 10.5 bold monospaced
QFont tagFont();      // 11 semibold monospaced
QFont displayFont();  // 28 black condensed
QFont bodyFont();     // 13
QFont labelFont();    // 13 medium
QFont hintFont();     // 11.5
QFont readoutFont();  // 12 monospaced
QFont keyFont();      // 11 monospaced

}  // namespace pellucine::Yard
