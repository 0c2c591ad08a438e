#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include "platform/linux/AutostartLoginItems.h"
#include "support/FileTraps.h"
#include "support/QtPrinters.h"
#include "support/TempFolder.h"

namespace pellucine {
namespace {

using testing::TempFolder;

const QString identifier = QStringLiteral("com.orrinvale.pellucine");

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& data) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(data);
}

QString validator() {
    return QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
}

// desktop-file-validate's verdict on the file: empty when it accepts it, none without the tool.
std::optional<QString> validatorComplaints(const QString& path) {
    const QString tool = validator();
    if (tool.isEmpty()) {
        return std::nullopt;
    }
    QProcess process;
    process.start(tool, {path});
    if (!process.waitForFinished(30000)) {
        return QStringLiteral("did not finish");
    }
    const QString output =
        QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError());
    if (process.exitCode() != 0 && output.isEmpty()) {
        return QStringLiteral("exit code %1").arg(process.exitCode());
    }
    return output.trimmed();
}

TEST(AutostartEntryTest, AWrittenEntryReadsBackWhateverThePathHolds) {
    for (const char* path :
         {"/usr/bin/pellucine", "/opt/My Apps/pellucine", "/home/u/it's \"here\"/run",
          "/tmp/a\\b/$HOME/`x`/100%/%f", "/tmp/tab\there/new\nline", "/tmp/ñame/ünïcode"}) {
        const AutostartEntry entry{QStringLiteral(" PELLUCINE\\ 2"), QString::fromUtf8(path), false,
                                   true};
        const auto read = AutostartEntry::fromText(entry.toText());
        ASSERT_TRUE(read) << path;
        EXPECT_EQ(*read, entry) << entry.toText().toStdString();
        EXPECT_EQ(entry.toText().count('\n'), 7) << "one line per key, nothing spilled";
    }
}

TEST(AutostartEntryTest, WhiteSpaceAtTheEdgesSurvivesOrTheNameIsRefused) {
    // Readers trim every kind of white space from the ends of a value.
    for (const char16_t* path : {u"/opt/app\u2000", u"\u00A0/opt/app", u"/opt/app\v", u"/opt/app ",
                                 u"\f/opt/app", u"/opt/a\u3000b"}) {
        const AutostartEntry entry{QStringLiteral(" PELLUCINE "), QString::fromUtf16(path), false,
                                   true};
        ASSERT_TRUE(entry.isWritable());
        const auto read = AutostartEntry::fromText(entry.toText());
        ASSERT_TRUE(read);
        EXPECT_EQ(*read, entry) << entry.toText().toStdString();
    }
    for (const char16_t* name : {u"\tPELLUCINE\n", u"PELLUCINE\r", u""}) {
        const AutostartEntry entry{QString::fromUtf16(name), QStringLiteral("/x"), false, true};
        EXPECT_TRUE(entry.isWritable());
        EXPECT_EQ(AutostartEntry::fromText(entry.toText())->name, entry.name);
    }
    // No escape keeps these at an edge.
    for (const char16_t* name : {u"\u2000PELLUCINE", u"PELLUCINE\v", u"PELLUCINE\u00A0"}) {
        EXPECT_FALSE((AutostartEntry{QString::fromUtf16(name), QStringLiteral("/x"), false, true}
                          .isWritable()));
    }
    EXPECT_TRUE(
        (AutostartEntry{QStringLiteral("PELL\u2000UCINE"), QStringLiteral("/x")}.isWritable()));
}

TEST(AutostartEntryTest, ThePlainEntryIsExactlyTheseLines) {
    const AutostartEntry entry{QStringLiteral("PELLUCINE"), QStringLiteral("/usr/bin/pellucine"),
                               false, true};
    EXPECT_EQ(entry.toText(), QByteArray("[Desktop Entry]\n"
                                         "Type=Application\n"
                                         "Name=PELLUCINE\n"
                                         "Exec=/usr/bin/pellucine\n"
                                         "Terminal=false\n"
                                         "Hidden=false\n"
                                         "X-GNOME-Autostart-enabled=true\n"));
    EXPECT_EQ(AutostartEntry::quoteExecArgument(QStringLiteral("/a b/$c\\d")),
              QStringLiteral("\"/a b/\\$c\\\\d\""));
    EXPECT_EQ(AutostartEntry::escapeString(QStringLiteral("\"/a b/\\$c\\\\d\"")),
              QStringLiteral("\"/a b/\\\\$c\\\\\\\\d\""))
        << "quoting's backslashes are escaped again as a string";
}

TEST(AutostartEntryTest, StringEscapesAreTheDesktopEntryOnes) {
    EXPECT_EQ(AutostartEntry::escapeString(QStringLiteral(" a b\n\t\r\\ ")),
              QStringLiteral("\\sa b\\n\\t\\r\\\\\\s"))
        << "a space is escaped at either end only";
    EXPECT_EQ(AutostartEntry::unescapeString(QStringLiteral("\\sa\\sb\\n\\t\\r\\\\\\q\\")),
              QStringLiteral(" a b\n\t\r\\\\q\\"))
        << "an unknown escape and a lone backslash at the end stay as written";
}

TEST(AutostartEntryTest, ReadingTakesTheFirstDesktopEntryGroupAndItsPlainKeys) {
    const auto entry = AutostartEntry::fromText(
        "# written by hand\n"
        "[Other]\nName=Wrong\nHidden=true\n"
        "\n[Desktop Entry]\n"
        "Name[de]=Falsch\n"
        "Name = Right \n"
        "Name=Second\n"
        "Exec=\"/opt/x y/run\" --flag %U\n"
        "Hidden=false\n"
        "X-GNOME-Autostart-enabled=false\n"
        "[Desktop Action new]\nExec=/wrong\n");
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->name, QStringLiteral("Right"));
    EXPECT_EQ(entry->executable, QStringLiteral("/opt/x y/run"));
    EXPECT_FALSE(entry->hidden);
    EXPECT_FALSE(entry->autostartEnabled);

    EXPECT_FALSE(AutostartEntry::fromText("Name=No group\n"));
    EXPECT_FALSE(AutostartEntry::fromText(""));
    const auto bare = AutostartEntry::fromText("[Desktop Entry]\nHidden=maybe\n");
    ASSERT_TRUE(bare);
    EXPECT_EQ(*bare, (AutostartEntry{QString(), QString(), false, true}))
        << "unreadable Booleans keep their defaults";
}

TEST(AutostartEntryTest, ExecValuesSplitIntoWordsWithFieldCodesDropped) {
    using Words = std::optional<QStringList>;
    EXPECT_EQ(AutostartEntry::splitExecValue(QStringLiteral("/bin/app %U --x")),
              Words(QStringList{"/bin/app", "--x"}));
    EXPECT_EQ(AutostartEntry::splitExecValue(QStringLiteral("\"/a \\\"b\\\"\" 100%%")),
              Words(QStringList{"/a \"b\"", "100%"}));
    EXPECT_EQ(AutostartEntry::splitExecValue(QStringLiteral("  ")), Words(QStringList{}));
    EXPECT_EQ(AutostartEntry::splitExecValue(QStringLiteral("\"/open")), std::nullopt);
    EXPECT_EQ(AutostartEntry::splitExecValue(QStringLiteral("/bin/app %z")), std::nullopt);
    EXPECT_EQ(AutostartEntry::splitExecValue(QStringLiteral("/bin/app %")), std::nullopt);
}

class AutostartLoginItemsTest : public ::testing::Test {
  protected:
    AutostartLoginItems items(QString executable = QStringLiteral("/opt/Pellucine App/pellucine")) {
        return AutostartLoginItems(userFolder, {systemFolder},
                                   {identifier, QStringLiteral("PELLUCINE"), executable});
    }
    QString systemEntryPath() const { return systemFolder + "/" + identifier + ".desktop"; }

    TempFolder temp;
    QString userFolder = temp.file("config/autostart");
    QString systemFolder = temp.file("xdg/autostart");
};

TEST_F(AutostartLoginItemsTest, RegisteringWritesAValidEntryAndUnregisteringRemovesIt) {
    auto login = items();
    EXPECT_EQ(login.status(), LoginItemStatus::notRegistered);
    EXPECT_NO_THROW(login.unregisterMainApplication()) << "nothing to remove is no failure";

    login.registerMainApplication();
    EXPECT_EQ(login.entryPath(), userFolder + "/com.orrinvale.pellucine.desktop");
    EXPECT_EQ(login.status(), LoginItemStatus::enabled);
    const auto written = AutostartEntry::fromText(readFile(login.entryPath()));
    ASSERT_TRUE(written);
    EXPECT_EQ(written->executable, QStringLiteral("/opt/Pellucine App/pellucine"));
    EXPECT_EQ(written->name, QStringLiteral("PELLUCINE"));
    const auto complaints = validatorComplaints(login.entryPath());
    if (complaints) {
        EXPECT_EQ(*complaints, QString());
    }

    login.unregisterMainApplication();
    EXPECT_FALSE(QFileInfo::exists(login.entryPath()));
    EXPECT_EQ(login.status(), LoginItemStatus::notRegistered);
}

TEST_F(AutostartLoginItemsTest, EveryWrittenEntryPassesTheValidator) {
    if (validator().isEmpty()) {
        GTEST_SKIP() << "desktop-file-validate is not installed";
    }
    int n = 0;
    for (const char* path : {"/usr/bin/pellucine", "/opt/it's \"here\"/a\\b/$x/`y`/50%",
                             "/opt/pellucine\u00A0", "\u2000/opt/pellucine "}) {
        for (const bool hidden : {false, true}) {
            const QString file = temp.file(QStringLiteral("e%1.desktop").arg(++n));
            writeFile(file, AutostartEntry{QStringLiteral("PELLUCINE"), QString::fromUtf8(path),
                                           hidden, !hidden}
                                .toText());
            EXPECT_EQ(validatorComplaints(file), QString()) << path;
        }
    }
}

TEST_F(AutostartLoginItemsTest, AnEntrySwitchedOffByTheDesktopAwaitsApproval) {
    auto login = items();
    writeFile(login.entryPath(),
              "[Desktop Entry]\nType=Application\nName=PELLUCINE\n"
              "Exec=/x\nX-GNOME-Autostart-enabled=false\n");
    EXPECT_EQ(login.status(), LoginItemStatus::requiresApproval);
    writeFile(login.entryPath(), "[Desktop Entry]\nType=Application\nExec=/x\nHidden=true\n");
    EXPECT_EQ(login.status(), LoginItemStatus::requiresApproval);
    login.registerMainApplication();
    EXPECT_EQ(login.status(), LoginItemStatus::enabled);

    writeFile(login.entryPath(), "not a desktop entry");
    EXPECT_EQ(login.status(), LoginItemStatus::notRegistered);
}

TEST_F(AutostartLoginItemsTest, ASystemEntryIsHiddenRatherThanLeftStartingTheProgram) {
    writeFile(systemEntryPath(),
              "[Desktop Entry]\nType=Application\nName=PELLUCINE\nExec=/usr/bin/pellucine\n");
    auto login = items();
    EXPECT_EQ(login.status(), LoginItemStatus::enabled);
    login.unregisterMainApplication();
    const auto hiding = AutostartEntry::fromText(readFile(login.entryPath()));
    ASSERT_TRUE(hiding);
    EXPECT_TRUE(hiding->hidden);
    EXPECT_EQ(login.status(), LoginItemStatus::notRegistered);
    EXPECT_TRUE(QFileInfo::exists(systemEntryPath())) << "system files are never touched";
    login.registerMainApplication();
    EXPECT_EQ(login.status(), LoginItemStatus::enabled);
}

TEST_F(AutostartLoginItemsTest, AnUnknownProgramOrAnUnwritableFolderIsRefused) {
    auto unknown = items(QString());
    EXPECT_EQ(unknown.status(), LoginItemStatus::notFound);
    EXPECT_THROW(unknown.registerMainApplication(), LoginItemError);
    EXPECT_FALSE(QFileInfo::exists(unknown.entryPath()));

    // A file where the autostart folder should be.
    writeFile(userFolder, "in the way");
    auto blocked = items();
    try {
        blocked.registerMainApplication();
        ADD_FAILURE() << "registering must fail";
    } catch (const LoginItemError& error) {
        EXPECT_TRUE(error.localizedDescription().contains(userFolder));
    }
    EXPECT_EQ(blocked.status(), LoginItemStatus::notRegistered);
}

TEST_F(AutostartLoginItemsTest, APipeForAnEntryIsNotWaitedOnAndANameThatCannotBeKeptIsRefused) {
    ASSERT_TRUE(QDir().mkpath(userFolder));
    ASSERT_TRUE(QDir().mkpath(systemFolder));
    // A write killed halfway in an earlier run left this behind.
    const QString leftover =
        userFolder + "/." + identifier + ".desktop.pellucine-tmp-999999999-a1b2c3d4";
    writeFile(leftover, "[Desktop Entry]\nExe");
    testing::makePipe(systemEntryPath());
    auto login = items();
    EXPECT_FALSE(QFileInfo::exists(leftover));
    testing::makePipe(login.entryPath());
    EXPECT_EQ(login.status(), LoginItemStatus::notRegistered);
    ASSERT_TRUE(QFile::remove(login.entryPath()));
    EXPECT_EQ(login.status(), LoginItemStatus::notRegistered);
    login.registerMainApplication();
    EXPECT_EQ(login.status(), LoginItemStatus::enabled);

    AutostartLoginItems trimmed(userFolder, {},
                                {identifier, QStringLiteral("PELLUCINE\u2000"), "/opt/p"});
    EXPECT_THROW(trimmed.registerMainApplication(), LoginItemError);
    EXPECT_EQ(AutostartEntry::fromText(readFile(login.entryPath()))->name, "PELLUCINE")
        << "the entry written before stays";
}

TEST(AutostartFoldersTest, TheFoldersFollowTheConfigurationDirectories) {
    const std::optional<QByteArray> saved = qEnvironmentVariableIsSet("XDG_CONFIG_DIRS")
                                                ? std::optional(qgetenv("XDG_CONFIG_DIRS"))
                                                : std::nullopt;
    qputenv("XDG_CONFIG_DIRS", "/etc/one/:/etc/two");
    EXPECT_EQ(AutostartLoginItems::systemFolders(),
              (QStringList{"/etc/one/autostart", "/etc/two/autostart"}));
    qunsetenv("XDG_CONFIG_DIRS");
    EXPECT_EQ(AutostartLoginItems::systemFolders(), QStringList{"/etc/xdg/autostart"});
    if (saved) {
        qputenv("XDG_CONFIG_DIRS", *saved);
    }
    EXPECT_EQ(AutostartLoginItems::userFolder(AppPaths::under(QStringLiteral("/r"))),
              QStringLiteral("/r/config/autostart"));
}

}  // namespace
}  // namespace pellucine
