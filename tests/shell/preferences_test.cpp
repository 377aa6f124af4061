// The player's preferences: kept between runs in the user's configuration, a damaged or
// unreadable file gives the defaults and is told once, an unwritable one keeps the changes for
// the run, and Qt keeps nothing of its own in the user's configuration.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include <QApplication>
#include <QSettings>
#include <QTimer>
#include <QWidget>

#include "shell/fmain.h"
#include "shell/preferences.h"
#include "shell/qt_dialogs.h"
#include "tests/shell/shell_support.h"
#include "tests/support/as_user.h"
#include "tests/support/files.h"

namespace kestro::shell {
namespace {

namespace fs = std::filesystem;
using test::qtApp;

class PreferencesFile : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { qtApp(); }

    Preferences open() {
        return Preferences(config.file(),
                           [this](const std::string& line) { notes.push_back(line); });
    }
    void write(const std::string& bytes) {
        fs::create_directories(config.file().parent_path());
        kestro::test::writeFile(config.file(), bytes);
    }

    test::TempConfig config;
    std::vector<std::string> notes;
};

TEST_F(PreferencesFile, WhatIsSetIsReadBackByTheNextRun) {
    const std::string folders[] = {"", "/home/me/saved games", "/a,b;c=d \"q\" #x",
                                   "/d\xC3\xBC/\xE2\x82\xAC", "[Game]\nPauseWhenLeft=false"};
    for (const bool pause : {false, true}) {
        for (const std::string& folder : folders) {
            {
                Preferences first = open();
                first.set(kPauseWhenLeft, pause);
                first.set(kLastFolder, folder);
            }
            const Preferences next = open();
            EXPECT_EQ(next.get(kPauseWhenLeft), pause) << folder;
            EXPECT_EQ(next.get(kLastFolder), folder);
        }
    }
    EXPECT_TRUE(notes.empty()) << notes.front();
    // Nothing but the file is left beside it: no temporary copy, no lock.
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(config.file().parent_path())) {
        names.push_back(e.path().filename().string());
    }
    EXPECT_EQ(names, std::vector<std::string>{"kestro.conf"});
}

TEST_F(PreferencesFile, NoFileGivesTheDefaultsSilently) {
    const Preferences p = open();
    EXPECT_TRUE(p.get(kPauseWhenLeft));
    EXPECT_EQ(p.get(kLastFolder), "");
    EXPECT_TRUE(notes.empty());
    EXPECT_FALSE(fs::exists(config.file())) << "reading makes no file";
}

TEST_F(PreferencesFile, AValueThatIsNoneOfItsKindIsTheDefault) {
    write("[Game]\nPauseWhenLeft=maybe\n[Files]\nLastFolder=a, b\n");
    const Preferences p = open();
    EXPECT_TRUE(p.get(kPauseWhenLeft));
    EXPECT_EQ(p.get(kLastFolder), "") << "an unquoted list is no folder";
}

// A file that would turn the preference off were it read.
const std::string kOff = "[Game]\nPauseWhenLeft=false\n";

TEST_F(PreferencesFile, ADamagedFileGivesTheDefaultsIsToldOnceAndIsLeftAsItIs) {
    struct Case {
        const char* what;
        std::function<void()> make;
    };
    const Case cases[] = {
        {"binary junk", [&] { write(kOff + std::string("\0\x01\xFF\xFE junk", 9)); }},
        {"not UTF-8", [&] { write(kOff + "LastFolder=\xC3\x28\n"); }},
        {"larger than the bound",
         [&] { write(kOff + "; " + std::string(kPreferencesLimit, 'x') + "\n"); }},
        {"a folder in its place", [&] { fs::create_directories(config.file()); }},
        {"a FIFO in its place",
         [&] {
             fs::create_directories(config.file().parent_path());
             ASSERT_EQ(::mkfifo(config.file().c_str(), 0600), 0);
         }},
    };
    for (const Case& c : cases) {
        fs::remove_all(config.folder() / "kestro");
        notes.clear();
        c.make();
        const std::string before =
            fs::is_regular_file(config.file()) ? kestro::test::readFile(config.file()) : "";
        Preferences p = open();
        EXPECT_TRUE(p.get(kPauseWhenLeft)) << c.what;
        ASSERT_EQ(notes.size(), 1u) << c.what;
        EXPECT_NE(notes[0].find(config.file().string()), std::string::npos) << notes[0];

        // The game goes on with what the player sets, and says nothing more.
        p.set(kPauseWhenLeft, false);
        p.set(kLastFolder, "/tmp");
        EXPECT_FALSE(p.get(kPauseWhenLeft)) << c.what;
        EXPECT_EQ(p.get(kLastFolder), "/tmp") << c.what;
        EXPECT_EQ(notes.size(), 1u) << c.what;
        if (fs::is_regular_file(config.file())) {
            EXPECT_EQ(kestro::test::readFile(config.file()), before) << c.what;
        }
    }
}

// Runs body on the preferences file as an unprivileged user; the folders can be passed.
std::optional<std::string> asUser(const test::TempConfig& config,
                                  const std::function<std::string()>& body) {
    fs::permissions(config.folder(), fs::perms::owner_all | fs::perms::group_exec |
                                         fs::perms::others_read | fs::perms::others_exec);
    return kestro::test::runAsUser(body);
}

TEST_F(PreferencesFile, AFileTheUserCannotReadGivesTheDefaults) {
    write(kOff);
    fs::permissions(config.file().parent_path(),
                    fs::perms::owner_all | fs::perms::others_exec | fs::perms::group_exec);
    fs::permissions(config.file(), fs::perms::none);
    const auto out = asUser(config, [&] {
        std::vector<std::string> seen;
        Preferences p(config.file(), [&](const std::string& l) { seen.push_back(l); });
        return std::string(p.get(kPauseWhenLeft) ? "default" : "read") + " " +
               std::to_string(seen.size());
    });
    if (!out) {
        GTEST_SKIP() << "cannot run as an unprivileged user";
    }
    EXPECT_EQ(*out, "default 1");
}

TEST_F(PreferencesFile, AFileTheUserCannotWriteKeepsTheChangesForTheRunAndIsToldOnce) {
    write(kOff);
    fs::permissions(config.file().parent_path(),
                    fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_exec |
                        fs::perms::others_read | fs::perms::others_exec);
    fs::permissions(config.file(), fs::perms::owner_read | fs::perms::others_read);
    const auto out = asUser(config, [&] {
        std::vector<std::string> seen;
        Preferences p(config.file(), [&](const std::string& l) { seen.push_back(l); });
        std::string result = p.get(kPauseWhenLeft) ? "on" : "off";
        p.set(kPauseWhenLeft, true);
        p.set(kLastFolder, "/tmp");
        result += p.get(kPauseWhenLeft) ? " on" : " off";
        return result + " " + p.get(kLastFolder) + " " + std::to_string(seen.size());
    });
    fs::permissions(config.file().parent_path(), fs::perms::owner_all);
    if (!out) {
        GTEST_SKIP() << "cannot run as an unprivileged user";
    }
    EXPECT_EQ(*out, "off on /tmp 1");
    EXPECT_EQ(kestro::test::readFile(config.file()), kOff);
}

TEST_F(PreferencesFile, TheWindowKeepsThePausePreferenceAndTheLastFolderForTheNextRun) {
    kestro::test::TempDir games("kestro-prefs-games");
    test::TempLog log;
    test::ScriptedTrap trap;
    test::RecordingPrompt prompt;
    test::ScriptedFileDialog dialog;
    {
        fMain first(trap, prompt);
        first.setFileDialog(dialog);
        ASSERT_TRUE(first.controls().mnuPauseWhenLeft.isChecked());
        first.controls().mnuPauseWhenLeft.trigger();
        dialog.answers.push_back((games / "kept.egf").string());
        first.controls().mnuSave.trigger();
    }
    fMain next(trap, prompt);
    next.setFileDialog(dialog);
    EXPECT_FALSE(next.controls().mnuPauseWhenLeft.isChecked());
    EXPECT_FALSE(next.preferences().get(kPauseWhenLeft));
    dialog.answers.push_back(std::nullopt);
    next.controls().mnuOpen.trigger();
    EXPECT_EQ(dialog.asked, (std::vector<std::string>{"save ", "open " + games.path().string()}));
    // What stays as designed: the sliders and the size start as they always do.
    EXPECT_EQ(next.controls().SLvl.value(), 1);
    EXPECT_EQ(next.controls().SAccel.value(), 5);
    EXPECT_EQ(next.controls().SSpeed.value(), 300);
}

TEST_F(PreferencesFile, QtsFileDialogKeepsNothingInTheUsersConfiguration) {
    EXPECT_TRUE(QSettings(QSettings::UserScope, QStringLiteral("QtProject"))
                    .fileName()
                    .startsWith(QStringLiteral("/dev/null/")));
    QWidget parent;
    QtFileDialog files(&parent);
    QTimer::singleShot(0, [] {
        if (QWidget* open = QApplication::activeModalWidget()) {
            open->close();
        }
    });
    EXPECT_EQ(files.askOpenPath(config.folder().string()), std::nullopt);
    for (const fs::path& folder : {config.folder(), test::processConfig().folder()}) {
        EXPECT_FALSE(fs::exists(folder / "QtProject.conf")) << folder;
    }
}

}  // namespace
}  // namespace kestro::shell
