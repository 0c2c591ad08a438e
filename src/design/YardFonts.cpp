#include "design/YardFonts.h"

#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QResource>
#include <QScreen>

#ifdef Q_OS_LINUX
#include <dlfcn.h>
#include <sys/mman.h>
#include <unistd.h>
#endif

// Outside any namespace, as the resource initialiser requires.
static void initYardFontResources() {
    Q_INIT_RESOURCE(yard_fonts);
}

namespace pellucine::Yard {
namespace {

constexpr qreal fallbackLogicalDpi = 96.0;

// The bytes of a resource stored as they are in the program's own data; empty otherwise.
QByteArrayView inPlaceResource(const QString& file) {
    const QResource resource(file);
    if (!resource.isValid() || resource.compressionAlgorithm() != QResource::NoCompression ||
        resource.data() == nullptr) {
        return {};
    }
    return {reinterpret_cast<const char*>(resource.data()),
            static_cast<qsizetype>(resource.size())};
}

void releaseReadPages(QByteArrayView bytes) {
#ifdef Q_OS_LINUX
    Dl_info image{};
    // Only data inside a loaded program image is a read-only file mapping; heap pages would be
    // lost.
    if (bytes.isEmpty() || dladdr(bytes.data(), &image) == 0 || image.dli_fbase == nullptr) {
        return;
    }
    const auto pageSize = static_cast<quintptr>(sysconf(_SC_PAGESIZE));
    const auto start = reinterpret_cast<quintptr>(bytes.data());
    const quintptr first = (start + pageSize - 1) & ~(pageSize - 1);
    const quintptr end = (start + static_cast<quintptr>(bytes.size())) & ~(pageSize - 1);
    if (end > first) {
        madvise(reinterpret_cast<void*>(first), end - first, MADV_DONTNEED);
    }
#else
    Q_UNUSED(bytes);
#endif
}

QStringList registerOnce() {
    initYardFontResources();
    QStringList families;
    for (const QString& file : bundledFontFiles()) {
        const QByteArray data = bundledFontData(file);
        const int id = data.isEmpty() ? -1 : QFontDatabase::addApplicationFontFromData(data);
        if (id < 0) {
            qWarning("Could not load the bundled font %s", qPrintable(file));
            continue;
        }
        for (const QString& family : QFontDatabase::applicationFontFamilies(id)) {
            if (!families.contains(family)) {
                families.append(family);
            }
        }
    }
    return families;
}

}  // namespace

QByteArray bundledFontData(const QString& file) {
    // Stored uncompressed, the face is read in place from the program's own data, so that no
    // heap copy of it is held; else it is read.
    if (const QByteArrayView bytes = inPlaceResource(file); !bytes.isEmpty()) {
        return QByteArray::fromRawData(bytes.data(), bytes.size());
    }
    QFile data(file);
    return data.open(QIODevice::ReadOnly) ? data.readAll() : QByteArray();
}

void releaseBundledFontPages() {
    for (const QString& file : bundledFontFiles()) {
        releaseReadPages(inPlaceResource(file));
    }
}

QStringList bundledFontFiles() {
    const QString base = QStringLiteral(":/pellucine/fonts/");
    return {
        base + QStringLiteral("NotoSans-Regular.ttf"),
        base + QStringLiteral("NotoSans-Medium.ttf"),
        base + QStringLiteral("NotoSans-SemiBold.ttf"),
        base + QStringLiteral("NotoSans-Bold.ttf"),
        base + QStringLiteral("NotoSans-CondensedBlack.ttf"),
        base + QStringLiteral("NotoSansMono-Regular.ttf"),
        base + QStringLiteral("NotoSansMono-SemiBold.ttf"),
        base + QStringLiteral("NotoSansMono-Bold.ttf"),
        base + QStringLiteral("NotoSansSymbols2-Regular.ttf"),
        base + QStringLiteral("NotoSansMath-Regular.ttf"),
        base + QStringLiteral("NotoSansSymbols-Regular.ttf"),
        base + QStringLiteral("MaterialIcons-Regular.ttf"),
    };
}

QStringList registerBundledFonts() {
    // The font database is process-wide; registering twice would add duplicate faces.
    static bool done = false;
    static QStringList families;
    if (!done && QGuiApplication::instance() != nullptr) {
        families = registerOnce();
        done = true;
    }
    return families;
}

qreal pointSizeForPixels(qreal pixels, qreal logicalDpi) {
    if (logicalDpi <= 0) {
        const QScreen* screen = QGuiApplication::primaryScreen();
        logicalDpi = screen != nullptr ? screen->logicalDotsPerInchY() : fallbackLogicalDpi;
    }
    return pixels * 72.0 / logicalDpi;
}

QFont font(qreal size, std::optional<QFont::Weight> weight, FontDesign design, FontWidth width) {
    registerBundledFonts();
    QFont result;
    QStringList families{design == FontDesign::monospaced ? monoFamily : sansFamily};
    families.append(keySymbolFamilies);
    result.setFamilies(families);
    result.setStyleHint(design == FontDesign::monospaced ? QFont::TypeWriter : QFont::SansSerif);
    result.setPointSizeF(pointSizeForPixels(size));
    if (weight) {
        result.setWeight(*weight);
    }
    if (width == FontWidth::condensed) {
        result.setStretch(QFont::Condensed);
    }
    return result;
}

QFont tracked(QFont base, qreal tracking) {
    base.setLetterSpacing(QFont::AbsoluteSpacing, tracking);
    return base;
}

QFont kickerFont() {
    return font(10.5, QFont::Bold, FontDesign::monospaced);
}

QFont tagFont() {
    return font(11, QFont::DemiBold, FontDesign::monospaced);
}

QFont displayFont() {
    return font(28, QFont::Black, FontDesign::standard, FontWidth::condensed);
}

QFont bodyFont() {
    return font(13);
}

QFont labelFont() {
    return font(13, QFont::Medium);
}

QFont hintFont() {
    return font(11.5);
}

QFont readoutFont() {
    return font(12, std::nullopt, FontDesign::monospaced);
}

QFont keyFont() {
    return font(11, std::nullopt, FontDesign::monospaced);
}

}  // namespace pellucine::Yard
