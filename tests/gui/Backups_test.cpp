// The backups as a user meets them in the window: made at the open and before saves that
// change something, listed on the Backup page and restored from there, refused when damaged,
// and offered again after a save that was cut short.

#include "app/BackupPage.h"
#include "app/MainWindow.h"
#include "gamedata/BackupStore.h"
#include "gamedata/SaveMarker.h"
#include "gui/UserHand.h"
#include "gui/WindowTestSupport.h"
#include "journal/Journal.h"
#include "platform/CaseInsensitivePath.h"
#include "platform/DataFolderLock.h"
#include "platform/OwnFolders.h"
#include "platform/Process.h"
#include "platform/Sha256.h"
#include "ships/Editor.h"
#include "support/ScopedVariable.h"

#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QToolButton>
#include <QUrl>
#include <filesystem>
#include <map>

namespace skarvel {
namespace {

using namespace test;
namespace fs = std::filesystem;
using Files = std::map<std::string, std::string>;

const fs::path kSourceRoot = fs::path(SKARVEL_TEST_DATA_DIR).parent_path().parent_path();
const char* const kSixFiles[] = {
    "constants.ini",       "EQUIPMENT/misc_equip.ini", "EQUIPMENT/engine_equip.ini",
    "EQUIPMENT/goods.ini", "SHIPS/shiparch.ini",       "CHARACTERS/newcharacter.ini"};

// A game in the prefix, started without questions: the demo game as laid out (misc_equip.ini
// compressed), or the test game with all six files in text form.
class BackupSession : public ::testing::Test {
protected:
    explicit BackupSession(bool demo) {
        if (demo) {
            const auto layout =
                runProgram((kSourceRoot / "tools" / "make-demo-prefix.sh").string(),
                           {env.prefix.string(), SKARVEL_BINI_PATH}, std::chrono::seconds(60));
            EXPECT_EQ(layout.exitCode, 0);
            fs::copy_file(kSourceRoot / "resources" / "resource.ini", env.program / "resource.ini");
        } else {
            copyFixture("game-mixed/game", env.installGame());
            copyFixture("game-mixed/program", env.program);
        }
        fs::copy_file(SKARVEL_BINI_PATH, env.program / "bini");
        env.silenceStart();
        laidOut = files();
    }

    fs::path data() const { return env.prefix / "drive_c/Games/Freelancer/DATA"; }
    // By their paths below the data folder as the game spells them.
    Files files() const {
        Files all;
        for (const char* name : kSixFiles) {
            const fs::path path = resolveCaseInsensitive((data() / name).string());
            all[path.lexically_relative(data()).string()] = readBytes(path);
        }
        return all;
    }
    BackupStore store() const {
        return BackupStore(userBackupsFolder(), (data().parent_path()).string() + "/");
    }

    // A start of the program, unlocked.
    std::unique_ptr<TformSkarvel> start() {
        auto window = std::make_unique<TformSkarvel>(journal, env.program.string());
        window->show();
        click(control<QPushButton>(*window, "btRead"));
        return window;
    }
    void open(TformSkarvel& window) { click(control<QToolButton>(window, "btRelload")); }
    void saveHitPoints(TformSkarvel& window, const QString& hitPoints) {
        clickShip(window, 1);
        retype(window, "edPanzerung", hitPoints);
        hand.press(QMessageBox::Yes);
        click(control<QToolButton>(window, "btSave"));
    }
    void exit(std::unique_ptr<TformSkarvel>& window) {
        hand.press(QMessageBox::Yes);
        click(control<QToolButton>(*window, "btBeenden"));
        window.reset();
    }
    QTreeWidget& backupList(TformSkarvel& window) {
        clickMenu(window, "BACKUP");
        return control<QTreeWidget>(window, "tvBackups");
    }
    // Selects the backup's row on the Backup page and presses the button.
    void onRow(TformSkarvel& window, int row, const char* button) {
        QTreeWidget& list = backupList(window);
        ASSERT_LT(row, list.topLevelItemCount());
        list.setCurrentItem(list.topLevelItem(row));
        click(control<QPushButton>(window, button));
    }

    ShellEnvironment env;
    ModalHand hand;
    TJournal journal{env.program.string(), "DebugOut"};
    Files laidOut;
};

class TextGame : public BackupSession {
protected:
    TextGame() : BackupSession(false) {}
};
class DemoGame : public BackupSession {
protected:
    DemoGame() : BackupSession(true) {}
};

TEST_F(TextGame, OpenMakesTheFirstBackupAndOnlySavesThatChangeSomethingMakeMore) {
    auto window = start();
    open(*window);
    std::vector<Backup> backups = store().list();
    ASSERT_EQ(backups.size(), 1u);
    EXPECT_EQ(backups[0].manifest.cause, "open");
    ASSERT_EQ(backups[0].manifest.files.size(), 6u);
    for (const BackupFile& file : backups[0].manifest.files) {
        const std::string& bytes = laidOut.at(file.path); // the game's own spelling
        EXPECT_EQ(file.size, bytes.size()) << file.path;
        EXPECT_EQ(file.sha256, sha256Hex(bytes)) << file.path;
        EXPECT_EQ(store().read(backups[0], file), bytes) << file.path;
    }

    saveHitPoints(*window, "3456"); // the files still equal the open's backup
    EXPECT_EQ(store().list().size(), 1u);
    saveHitPoints(*window, "3457"); // the first save changed them
    backups = store().list();
    ASSERT_EQ(backups.size(), 2u);
    EXPECT_EQ(backups[0].manifest.cause, "save");

    // The page lists both, newest first, the first one marked as the original.
    QTreeWidget& list = backupList(*window);
    ASSERT_EQ(list.topLevelItemCount(), 2);
    EXPECT_EQ(list.topLevelItem(0)->text(1), "save");
    EXPECT_EQ(list.topLevelItem(1)->text(1), "open - original");
    EXPECT_EQ(list.topLevelItem(1)->text(2), "6");
    EXPECT_EQ(list.topLevelItem(1)->text(4), "1 differs"); // the saved shiparch.ini
    ASSERT_EQ(list.topLevelItem(1)->childCount(), 6);
    EXPECT_EQ(list.topLevelItem(1)->child(0)->text(4), "same");

    // Back up now: the files as the last save left them, then nothing new.
    hand.press(QMessageBox::Ok).press(QMessageBox::Ok);
    click(control<QPushButton>(*window, "btBackupNow"));
    EXPECT_EQ(store().list().front().manifest.cause, "manual");
    click(control<QPushButton>(*window, "btBackupNow"));
    EXPECT_TRUE(hand.shown.back().text.startsWith("The newest backup already holds"));
    EXPECT_EQ(store().list().size(), 3u);

    // The original is never deleted.
    hand.press(QMessageBox::Ok);
    onRow(*window, 2, "btBackupDelete");
    EXPECT_EQ(store().list().size(), 3u);
    exit(window);

    EXPECT_TRUE(hand.allAnswered());
    EXPECT_TRUE(hand.unexpected.empty());
}

TEST_F(DemoGame, AfterASaveTheOriginalRestoredFromTheBackupPageIsTheGameAsLaidOut) {
    auto window = start();
    open(*window);
    saveHitPoints(*window, "3456");
    exit(window);
    ASSERT_NE(files(), laidOut);

    // The next start, the set closed: the compressed file, unpacked by the open, has the
    // text of the original's, and the restore brings it back compressed.
    window = start();
    QTreeWidget& list = backupList(*window);
    QTreeWidgetItem& original = *list.topLevelItem(list.topLevelItemCount() - 1);
    for (int i = 0; i < original.childCount(); ++i) {
        const bool miscEquip =
            original.child(i)->text(0).endsWith(QStringLiteral("misc_equip.ini"));
        EXPECT_EQ(original.child(i)->text(4) == QStringLiteral("same (unpacked)"), miscEquip)
            << original.child(i)->text(0).toStdString();
    }
    hand.press(QMessageBox::Yes).press(QMessageBox::Ok);
    onRow(*window, static_cast<int>(store().list().size()) - 1, "btBackupRestore");
    EXPECT_EQ(files(), laidOut);
    EXPECT_EQ(store().list().front().manifest.cause, "restore");
    EXPECT_TRUE(hand.allAnswered());
    EXPECT_TRUE(hand.unexpected.empty());
}

TEST_F(TextGame, ABackupChangedByHandIsRefusedAndNothingIsWritten) {
    auto window = start();
    open(*window);
    saveHitPoints(*window, "3456");
    const Backup original = store().list().back();
    writeBytes(store().pathOf(original, original.manifest.files[4]), "changed by hand");
    const Files before = files();

    hand.shown.clear();
    hand.press(QMessageBox::Ok);
    onRow(*window, 0, "btBackupRestore");
    ASSERT_EQ(hand.shown.size(), 1u);
    EXPECT_EQ(hand.shown[0].icon, QMessageBox::Critical);
    EXPECT_TRUE(hand.shown[0].text.contains("is damaged")) << hand.shown[0].text.toStdString();
    EXPECT_EQ(files(), before);
    EXPECT_EQ(store().list().size(), 1u);
}

TEST_F(TextGame, ARestoreWhileAnotherCopyHasTheGameOpenWritesNothing) {
    auto window = start();
    open(*window);
    saveHitPoints(*window, "3456");
    exit(window);
    const Files before = files();
    DataFolderLock otherCopy;
    ASSERT_EQ(otherCopy.take(data().string()), DataFolderLock::Outcome::Taken);

    window = start();
    hand.press(QMessageBox::Yes).press(QMessageBox::Ok);
    onRow(*window, static_cast<int>(store().list().size()) - 1, "btBackupRestore");
    ASSERT_FALSE(hand.shown.empty());
    EXPECT_TRUE(hand.shown.back().text.contains("open in another Skarvel window"));
    EXPECT_EQ(files(), before);
    EXPECT_TRUE(hand.allAnswered());
}

TEST_F(TextGame, WithoutABackupTheOpenStopsBeforeAnyWrite) {
    // Root writes into any folder: a file where the backups go stops every user.
    const ScopedVariable data("XDG_DATA_HOME", (env.root.path() / "share").string());
    writeBytes(env.root.path() / "share" / "Skarvel", "in the way");
    auto window = start();
    hand.press(QMessageBox::Ok);
    open(*window);
    ASSERT_EQ(hand.shown.size(), 1u);
    EXPECT_EQ(hand.shown[0].icon, QMessageBox::Critical);
    EXPECT_TRUE(hand.shown[0].text.startsWith("No backup of the data files could be made"));
    EXPECT_FALSE(window->editor().dataSet().isOpen());
    EXPECT_EQ(files(), laidOut); // not numbered
}

TEST_F(TextGame, TheSelectedBackupShowsItsLineDifferencesFromTheGame) {
    auto window = start();
    open(*window);
    saveHitPoints(*window, "3456");
    saveHitPoints(*window, "3457");
    QTreeWidget& list = backupList(*window);
    const auto& diff = control<QPlainTextEdit>(*window, "memoBackupDiff");
    ASSERT_EQ(list.topLevelItemCount(), 2);
    list.setCurrentItem(list.topLevelItem(1));
    const QString text = diff.toPlainText();
    EXPECT_TRUE(text.contains(QStringLiteral("constants.ini: same\n"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("shiparch.ini: differs\n"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("\n- hit_pts = 3457"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("\n+ hit_pts = 1200"))) << text.toStdString();
    // The changed lines are marked, and only they.
    ASSERT_EQ(diff.extraSelections().size(), 2);
    for (const QTextEdit::ExtraSelection& mark : diff.extraSelections()) {
        const QString line = mark.cursor.block().text();
        EXPECT_TRUE(line.startsWith(QStringLiteral("- hit_pts")) ||
                    line.startsWith(QStringLiteral("+ hit_pts")))
            << line.toStdString();
    }
    // The newest backup, made before the second save.
    list.setCurrentItem(list.topLevelItem(0));
    EXPECT_TRUE(diff.toPlainText().contains(QStringLiteral("\n+ hit_pts = 3456")));
    EXPECT_EQ(diff.extraSelections().size(), 2);
}

TEST_F(TextGame, ASaveCutShortIsOfferedAtTheNextOpen) {
    auto window = start();
    open(*window);
    exit(window);
    // As a save killed after its first write leaves it.
    const Backup before = store().list().front();
    SaveMarker(userStateFolder(), BackupStore::gameKey(store().game())).write(before.name);
    writeBytes(data() / "constants.ini", "half saved");

    window = start();
    hand.shown.clear();
    hand.press(QMessageBox::Yes);
    open(*window);
    ASSERT_FALSE(hand.shown.empty());
    EXPECT_EQ(hand.shown[0].icon, QMessageBox::Warning);
    EXPECT_TRUE(hand.shown[0].text.contains(QString::fromStdString(before.name)));
    EXPECT_TRUE(window->editor().dataSet().isOpen());
    exit(window);
    EXPECT_EQ(readBytes(data() / "constants.ini"), laidOut.at("constants.ini"));
}

// "Open folder" hands the desktop the folder the file system names, whatever its letters.
TEST(BackupFolder, TheDesktopGetsThePathInTheFileSystemsEncoding) {
    for (const std::string folder : {"/home/user/.local/share/Skarvel/backups/",
                                     "/home/j\xc3\xbcrgen/Spiele/Gr\xc3\xb6\xc3\x9f"
                                     "e/",
                                     "/home/\xe7\x94\xa8\xe6\x88\xb7/backups/"}) {
        SCOPED_TRACE(folder);
        const QUrl url = QUrl::fromLocalFile(folderName(folder));
        EXPECT_EQ(QFile::encodeName(url.toLocalFile()).toStdString(), folder);
    }
}

} // namespace
} // namespace skarvel
