#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "platform/linux/ProcessInfo.h"
#include "platform/x11/X11CapturePlan.h"
#include "platform/x11/X11Properties.h"
#include "platform/x11/X11WindowInfo.h"
#include "platform/x11/X11WindowReader.h"
#include "support/TempFolder.h"

// What any client can set on its windows, read without a server.
namespace pellucine {
namespace {

constexpr xcb_atom_t utf8String = 300;
constexpr xcb_atom_t compoundText = 301;

X11Property textProperty(const QByteArray& bytes, bool truncated = false,
                         xcb_atom_t type = utf8String) {
    return X11Property{type, 8, bytes, truncated};
}

QString text(const X11Property& property) {
    X11Atoms atoms;
    atoms.UTF8_STRING = utf8String;
    atoms.COMPOUND_TEXT = compoundText;
    return property.text(atoms);
}

TEST(X11PropertyTextTest, ReadsTextUpToItsEndOrFirstNul) {
    EXPECT_EQ(text(textProperty("caf\xc3\xa9")), QStringLiteral(u"café"));
    EXPECT_EQ(text(textProperty(QByteArray("one\0two", 7))), QStringLiteral("one"));
    EXPECT_EQ(text(textProperty("caf\xe9", false, XCB_ATOM_STRING)), QStringLiteral(u"café"));
    // Text of another format is none.
    EXPECT_EQ(text(X11Property{utf8String, 32, QByteArray(8, 'a'), false}), QString());
}

TEST(X11PropertyTextTest, CompoundTextIsLatin1WithItsUtf8Stretches) {
    struct Row {
        const char* name;
        QByteArray bytes;
        QString expected;
    };
    const Row rows[] = {
        {"Latin-1 alone", "caf\xe9", QStringLiteral(u"café")},
        {"a dash written as UTF-8", "log \x1b%G\xe2\x80\x94\x1b%@ tail",
         QStringLiteral(u"log — tail")},
        {"UTF-8 to the end", "\x1b%G\xd0\x94\xd0\xbe\xd0\xba", QStringLiteral(u"Док")},
        {"another character set's escape left out", "a\x1b$(Bb\x1b(Bc", QStringLiteral("abc")},
        {"an escape cut short at the end", "ab\x1b%", QStringLiteral("ab")},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(text(textProperty(row.bytes, false, compoundText)), row.expected) << row.name;
    }
}

TEST(X11PropertyTextTest, MalformedUtf8BecomesReplacementCharacters) {
    for (const QByteArray& bytes : {QByteArray("a\xff"
                                               "b"),
                                    QByteArray("a\xc0\x80"
                                               "b"),
                                    QByteArray("a\xed\xa0\x80"
                                               "b"),
                                    QByteArray("a\xc3"
                                               "b"),
                                    QByteArray("a\xe2\x82")}) {
        const QString read = text(textProperty(bytes));
        EXPECT_TRUE(read.startsWith(QLatin1Char('a'))) << bytes.toHex().constData();
        EXPECT_TRUE(read.contains(QChar::ReplacementCharacter)) << bytes.toHex().constData();
        EXPECT_FALSE(read.contains(QChar(0))) << bytes.toHex().constData();
    }
}

TEST(X11PropertyTextTest, ASequenceCutByTheReadsBoundIsDropped) {
    // "€" is three bytes: a read that ends after one or two of them ends before it.
    for (const QByteArray& bytes : {QByteArray("ab\xe2"), QByteArray("ab\xe2\x82")}) {
        EXPECT_EQ(text(textProperty(bytes, true)), QStringLiteral("ab"));
    }
    EXPECT_EQ(text(textProperty("ab\xe2\x82\xac", true)), QStringLiteral(u"ab€"));
    EXPECT_EQ(text(textProperty("ab\xf0\x9f\x98", true)), QStringLiteral("ab"));
    // Bytes that are no lead byte at all are not taken for a cut sequence.
    EXPECT_EQ(text(textProperty("ab\x80\x80\x80\x80", true)).left(2), QStringLiteral("ab"));
    EXPECT_EQ(text(textProperty("ab\x80\x80\x80\x80", true)).size(), 6);
}

TEST(X11PropertyTextTest, ControlCharactersBecomeSpaces) {
    EXPECT_EQ(text(textProperty("a\tb\nc\x1b"
                                "d\x7f")),
              QStringLiteral("a b c d "));
    EXPECT_EQ(text(textProperty("a\xc2\x85"
                                "b")),
              QStringLiteral("a b"));
    EXPECT_EQ(text(textProperty("a\x85"
                                "b",
                                false, XCB_ATOM_STRING)),
              QStringLiteral("a b"));
    const X11Property wmClass{XCB_ATOM_STRING, 8, QByteArray("na\x01me\0Cla\nss\0", 13), false};
    EXPECT_EQ(wmClass.strings(), (QStringList{QStringLiteral("na me"), QStringLiteral("Cla ss")}));
    // Without its terminator, and without a class.
    const X11Property unterminated{XCB_ATOM_STRING, 8, QByteArray("name"), false};
    EXPECT_EQ(unterminated.strings(), QStringList{QStringLiteral("name")});
}

TEST(X11FrameExtentsTest, TakesOnlyFourSaneExtents) {
    EXPECT_EQ(X11FrameExtents::fromValues({1, 2, 22, 5}), (X11FrameExtents{1, 2, 22, 5}));
    EXPECT_EQ(X11FrameExtents::fromValues({1, 2, 22, 5, 0xffffffffu}),
              (X11FrameExtents{1, 2, 22, 5}));
    EXPECT_EQ(X11FrameExtents::fromValues({0, 0, 0, X11FrameExtents::maximum}),
              (X11FrameExtents{0, 0, 0, int{X11FrameExtents::maximum}}));
    for (const QList<quint32>& absurd :
         {QList<quint32>{0x7fffffffu, 0, 0, 0}, QList<quint32>{0, 0x80000000u, 0, 0},
          QList<quint32>{0, 0, 0xffffffffu, 0},
          QList<quint32>{0, 0, 0, X11FrameExtents::maximum + 1}, QList<quint32>{1, 2, 3},
          QList<quint32>{}}) {
        EXPECT_EQ(X11FrameExtents::fromValues(absurd), std::nullopt);
    }
}

TEST(X11ClientShadowTest, FrameAndPictureLeaveOutOnlySaneShadowMargins) {
    // A 400 x 300 client at (100, 50), undecorated as clients drawing their own shadow are.
    struct Row {
        const char* name;
        QList<quint32> values;
        QRect frame;
        QRect pictured;
    };
    const QRect whole(100, 50, 400, 300);
    const QRect all(0, 0, 400, 300);
    const Row rows[] = {
        {"left right top bottom",
         {61, 61, 55, 67},
         QRect(161, 105, 278, 178),
         QRect(61, 55, 278, 178)},
        {"one side", {0, 12, 0, 0}, QRect(100, 50, 388, 300), QRect(0, 0, 388, 300)},
        {"none", {0, 0, 0, 0}, whole, all},
        {"one pixel left across and down",
         {200, 199, 150, 149},
         QRect(300, 200, 1, 1),
         QRect(200, 150, 1, 1)},
        {"as wide as the client", {200, 200, 0, 0}, whole, all},
        {"taller than the client", {0, 0, 0, 301}, whole, all},
        {"negative", {0xffffffc4u, 61, 55, 67}, whole, all},
        {"sum wrapping round", {0x7fffffffu, 0x7fffffffu, 0, 0}, whole, all},
        {"three values", {61, 61, 55}, whole, all},
        {"five values", {61, 61, 55, 67, 0}, whole, all},
        {"no values", {}, whole, all},
    };
    for (const Row& row : rows) {
        X11WindowInfo info;
        info.clientRect = whole;
        info.shadow = clientShadowFromValues(row.values, whole.size()).value_or(QMargins());
        EXPECT_EQ(info.frameRect(), row.frame) << row.name;
        EXPECT_EQ(info.outerFrame(info.frameRect()), whole) << row.name;
        EXPECT_EQ(pictured(whole.size(), all, info.shadow), row.pictured) << row.name;
    }
    // Decorations lie around the client; the picture is of the client less its shadow, where
    // the client is in the frame.
    X11WindowInfo decorated;
    decorated.clientRect = whole;
    decorated.extents = X11FrameExtents{2, 2, 20, 2};
    decorated.shadow = QMargins(10, 5, 10, 5);
    EXPECT_EQ(decorated.frameRect(), QRect(108, 35, 384, 312));
    EXPECT_EQ(pictured(QSize(404, 322), QRect(2, 20, 400, 300), decorated.shadow),
              QRect(12, 25, 380, 290));
    // A client the frame does not hold whole is pictured whole.
    EXPECT_EQ(pictured(QSize(300, 300), all, decorated.shadow), QRect(0, 0, 300, 300));
}

TEST(X11TransientDialogTest, ANormalWindowTransientForItsOwnApplicationIsADialog) {
    constexpr xcb_window_t root = 0x100;
    constexpr xcb_window_t main = 1;
    constexpr xcb_window_t leader = 7;
    struct Row {
        const char* name;
        X11WindowType type;
        xcb_window_t transientFor;
        std::optional<qint32> pid;
        xcb_window_t clientLeader;
        X11WindowType taken;
    };
    const Row rows[] = {
        {"for a window of its process", X11WindowType::normal, main, 10, XCB_NONE,
         X11WindowType::dialog},
        {"for the root: its group", X11WindowType::normal, root, 10, XCB_NONE,
         X11WindowType::dialog},
        {"for its client leader", X11WindowType::normal, leader, 10, leader, X11WindowType::dialog},
        {"for another process's window", X11WindowType::normal, main, 20, XCB_NONE,
         X11WindowType::normal},
        {"for a window that is no client", X11WindowType::normal, 99, 10, XCB_NONE,
         X11WindowType::normal},
        {"of an unknown process", X11WindowType::normal, main, std::nullopt, XCB_NONE,
         X11WindowType::normal},
        {"for itself", X11WindowType::normal, 2, 10, XCB_NONE, X11WindowType::normal},
        {"not transient", X11WindowType::normal, XCB_NONE, 10, XCB_NONE, X11WindowType::normal},
        {"a utility keeps its type", X11WindowType::utility, main, 10, XCB_NONE,
         X11WindowType::utility},
        {"a dialog stays one", X11WindowType::dialog, main, 20, XCB_NONE, X11WindowType::dialog},
    };
    for (const Row& row : rows) {
        X11WindowInfo owner;
        owner.window = main;
        owner.pid = 10;
        X11WindowInfo transient;
        transient.window = 2;
        transient.type = row.type;
        transient.transientFor = row.transientFor;
        transient.pid = row.pid;
        transient.clientLeader = row.clientLeader;
        QList<X11WindowInfo> windows{transient, owner};
        markTransientDialogs(windows, root);
        EXPECT_EQ(windows[0].type, row.taken) << row.name;
        EXPECT_EQ(windows[1].type, X11WindowType::normal) << row.name;
    }
}

TEST(X11IconGeometryTest, TakesOnlyARectangleOnTheRoot) {
    EXPECT_EQ(iconGeometryFromValues({104, 770, 150, 30}), QRect(104, 770, 150, 30));
    EXPECT_EQ(iconGeometryFromValues({0, 0, 200, 26, 7}), QRect(0, 0, 200, 26));
    EXPECT_EQ(iconGeometryFromValues({32767, 32767, 1, 1}), QRect(32767, 32767, 1, 1));
    for (const QList<quint32>& absurd :
         {QList<quint32>{104, 770, 0, 30}, QList<quint32>{104, 770, 150, 0},
          QList<quint32>{0xfffffff6u, 770, 150, 30}, QList<quint32>{104, 770, 0xffffffffu, 30},
          QList<quint32>{32768, 0, 10, 10}, QList<quint32>{104, 770, 150}, QList<quint32>{}}) {
        EXPECT_EQ(iconGeometryFromValues(absurd), std::nullopt);
    }
}

TEST(X11SizeHintsTest, RejectsIncrementsAndGravitiesOutOfRange) {
    const auto hints = [](quint32 flags, quint32 widthStep, quint32 heightStep, quint32 gravity) {
        QList<quint32> values(18, 0);
        values[0] = flags;
        values[9] = widthStep;
        values[10] = heightStep;
        values[17] = gravity;
        return X11SizeHints::fromValues(values);
    };
    constexpr quint32 both = (1u << 6) | (1u << 9);
    EXPECT_EQ(hints(both, 7, 14, XCB_GRAVITY_STATIC),
              (X11SizeHints{XCB_GRAVITY_STATIC, QSize(7, 14)}));
    EXPECT_EQ(hints(both, X11SizeHints::maximumIncrement, 1, XCB_GRAVITY_NORTH_WEST).increment,
              QSize(int{X11SizeHints::maximumIncrement}, 1));
    // Not named in the flags: the defaults.
    EXPECT_EQ(hints(0, 7, 14, XCB_GRAVITY_STATIC), X11SizeHints{});
    for (const auto& [widthStep, heightStep] :
         {std::pair{0xffffffffu, 1u}, std::pair{1u, 0u}, std::pair{0x80000000u, 2u},
          std::pair{X11SizeHints::maximumIncrement + 1, 1u}}) {
        EXPECT_EQ(hints(both, widthStep, heightStep, 1).increment, QSize(1, 1)) << widthStep;
    }
    for (const quint32 gravity : {0u, quint32{XCB_GRAVITY_STATIC} + 1, 0xffffffffu}) {
        EXPECT_EQ(hints(both, 1, 1, gravity).gravity, uint32_t{XCB_GRAVITY_NORTH_WEST}) << gravity;
    }
    // A short list gives what it holds.
    EXPECT_EQ(X11SizeHints::fromValues({both, 0, 0, 0, 0, 0, 0, 0, 0, 3, 4}).increment,
              QSize(3, 4));
    EXPECT_EQ(X11SizeHints::fromValues({both, 0, 0}), X11SizeHints{});
    EXPECT_EQ(X11SizeHints::fromValues({}), X11SizeHints{});
}

TEST(X11ProcessIdTest, BelievesOnlyIdsAProcessCanHave) {
    EXPECT_FALSE(ProcessInfo::isPlausiblePid(0, 32768));
    EXPECT_FALSE(ProcessInfo::isPlausiblePid(1, 32768));
    EXPECT_FALSE(ProcessInfo::isPlausiblePid(-5, 32768));
    EXPECT_TRUE(ProcessInfo::isPlausiblePid(2, 32768));
    EXPECT_TRUE(ProcessInfo::isPlausiblePid(32767, 32768));
    EXPECT_FALSE(ProcessInfo::isPlausiblePid(32768, 32768));
    EXPECT_FALSE(ProcessInfo::isPlausiblePid(0xffffffffLL, 32768));
}

TEST(X11ProcessIdTest, ReadsTheKernelsLimitOrFallsBackToTheCeiling) {
    const testing::TempFolder folder;
    const ProcessInfo processes(folder.path());
    EXPECT_EQ(processes.pidLimit(), ProcessInfo::kernelPidCeiling);

    ASSERT_TRUE(QDir(folder.path()).mkpath(QStringLiteral("sys/kernel")));
    const auto writeLimit = [&](const QByteArray& content) {
        QFile file(folder.file(QStringLiteral("sys/kernel/pid_max")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
    };
    writeLimit("32768\n");
    EXPECT_EQ(processes.pidLimit(), 32768);
    for (const QByteArray& unusable : {QByteArray("many\n"), QByteArray("-1\n"), QByteArray("1"),
                                       QByteArray("99999999999"), QByteArray()}) {
        writeLimit(unusable);
        EXPECT_EQ(processes.pidLimit(), ProcessInfo::kernelPidCeiling) << unusable.constData();
    }
}

TEST(X11ClientListTest, KeepsEachPossibleClientOnceInOrder) {
    constexpr xcb_window_t root = 0x10000000;
    EXPECT_EQ(X11WindowReader::clientList({5, root, 0, 7, 5, root, 9, 7}, root),
              (QList<xcb_window_t>{5, 7, 9}));
    EXPECT_EQ(X11WindowReader::clientList(QList<quint32>(10000, root), root),
              QList<xcb_window_t>{});

    QList<quint32> many;
    for (quint32 window = 1; window <= X11WindowReader::maximumClients + 10; ++window) {
        many.append(window == 3 ? root : window);
    }
    const QList<xcb_window_t> kept = X11WindowReader::clientList(many, root);
    ASSERT_EQ(kept.size(), X11WindowReader::maximumClients);
    EXPECT_EQ(kept.first(), 1u);
    EXPECT_EQ(kept[2], 4u);
    EXPECT_EQ(kept.last(), quint32(X11WindowReader::maximumClients + 1));
}

TEST(X11ClientListTest, StackedClientsAreThoseOfBothListsFrontToBack) {
    constexpr xcb_window_t root = 0x10000000;
    // Bottom to top; 8 and 9 are in no client list, 5 is twice.
    const QList<quint32> stacking{8, 5, 6, 9, 7, root, 5};
    const QList<xcb_window_t> clients{7, 5, 6, 4};
    EXPECT_EQ(X11WindowReader::stackedClients(stacking, clients, root),
              (QList<xcb_window_t>{5, 7, 6}));
    // Either list alone, front to back.
    EXPECT_EQ(X11WindowReader::stackedClients({}, clients, root),
              (QList<xcb_window_t>{4, 6, 5, 7}));
    EXPECT_EQ(X11WindowReader::stackedClients(stacking, {}, root),
              (QList<xcb_window_t>{5, 7, 9, 6, 8}));
    EXPECT_EQ(X11WindowReader::stackedClients({}, {}, root), QList<xcb_window_t>{});

    // A huge stacking list of windows no client list holds leaves the real ones only.
    QList<quint32> bogus;
    for (quint32 window = 0x1e000000; bogus.size() < 65536; ++window) {
        bogus.append(window);
    }
    EXPECT_EQ(X11WindowReader::stackedClients(QList<quint32>{7} + bogus + QList<quint32>{6}, {6, 7},
                                              root),
              (QList<xcb_window_t>{6, 7}));
}

}  // namespace
}  // namespace pellucine
