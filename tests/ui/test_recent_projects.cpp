// SPDX-License-Identifier: GPL-3.0-or-later
// The recent projects in "Файл", the caption after a load or save, opening a named project file,
// and the project dialogs' folders remembered between sessions.
#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <iostream>
#include <unistd.h>

#include "TestFormat.h"
#include "app/RecentProjects.h"
#include "app/SaveLoadPrjUnit.h"
#include "main/Main.h"
#include "parameters/ParametersUnit.h"
#include "signals/ElectroUnit.h"

namespace {

const QString kBaseTitle = QStringLiteral("Электромеханическая модель пъезопреобразователя");

class RecentProjectsTest : public ::testing::Test {
protected:
    void SetUp() override {
        QSettings("pepsim", "pepsim").clear();
        ASSERT_TRUE(Dir.isValid());
        CreateWindows();
    }
    void TearDown() override { QSettings("pepsim", "pepsim").clear(); }
    // A new session: the windows are built again and read what the last one remembered.
    void CreateWindows() {
        Electro.reset();
        Params.reset();
        Main.reset();
        Main = std::make_unique<TMainForm>(&TestFormat());
        Params = std::make_unique<TParametersForm>(&TestFormat());
        Electro = std::make_unique<TElectroForm>(&TestFormat());
        Main->SetWindows(Params.get(), Electro.get());
        Main->Project.Ui.Error = [this](QWidget *, const QString &t) { Errors << t; };
        Main->Project.Ui.Confirm = [](QWidget *, const QString &) { return true; };
        Main->Project.Ui.ExecDialog = [this](QFileDialog *) { return NextFile; };
        Main->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Main.get()));
    }
    QString Path(const QString &name) const { return QDir(Dir.path()).absoluteFilePath(name); }
    void SaveAs(const QString &path, const QString &comment) {
        Main->CommentEdit->setText(comment);
        NextFile = path;
        Main->SaveProjectMenuClick();
    }
    // The texts of the shown recent entries, top to bottom.
    QStringList MenuEntries() const {
        QStringList texts;
        for (QAction *a : Main->RecentProjectActions)
            if (a->isVisible())
                texts << a->text();
        return texts;
    }
    // Opens "Файл" with a click on the menu bar, as a user does.
    void OpenFileMenu() {
        QMenuBar *bar = Main->menuBar();
        QTest::mouseClick(bar, Qt::LeftButton, {},
                          bar->actionGeometry(Main->FileMenu->menuAction()).center());
        ASSERT_TRUE(QTest::qWaitFor([&] { return Main->FileMenu->isVisible(); }));
    }

    QTemporaryDir Dir;
    std::unique_ptr<TMainForm> Main;
    std::unique_ptr<TParametersForm> Params;
    std::unique_ptr<TElectroForm> Electro;
    QStringList Errors;
    QString NextFile;
};

} // namespace

TEST_F(RecentProjectsTest, SettingsStayOutOfTheUsersHome) {
    const QString file = QSettings("pepsim", "pepsim").fileName();
    EXPECT_FALSE(file.startsWith(QDir::homePath() + '/')) << file.toStdString();
}

TEST_F(RecentProjectsTest, MenuListsTheLastFiveMostRecentFirst) {
    EXPECT_TRUE(MenuEntries().isEmpty());
    EXPECT_FALSE(Main->RecentProjectsSeparator->isVisible());

    for (int i = 1; i <= 6; ++i)
        SaveAs(Path(QStringLiteral("p%1.PEPmodel").arg(i)), QStringLiteral("c%1").arg(i));
    EXPECT_EQ(MenuEntries(), (QStringList{"&1 p6.PEPmodel", "&2 p5.PEPmodel", "&3 p4.PEPmodel",
                                          "&4 p3.PEPmodel", "&5 p2.PEPmodel"}));
    EXPECT_TRUE(Main->RecentProjectsSeparator->isVisible());

    // A load moves the project to the top without a second entry.
    NextFile = Path("p3.PEPmodel");
    Main->LoadProjectMenuClick();
    EXPECT_EQ(MenuEntries(), (QStringList{"&1 p3.PEPmodel", "&2 p6.PEPmodel", "&3 p5.PEPmodel",
                                          "&4 p4.PEPmodel", "&5 p2.PEPmodel"}));
    EXPECT_EQ(RecentProjects::Files(),
              (QStringList{Path("p3.PEPmodel"), Path("p6.PEPmodel"), Path("p5.PEPmodel"), Path("p4.PEPmodel"),
                           Path("p2.PEPmodel")}));
    EXPECT_EQ(Main->RecentProjectActions[0]->statusTip(), QDir::toNativeSeparators(Path("p3.PEPmodel")));

    // Cancelled, refused and failed flows leave the list alone.
    NextFile.clear();
    Main->LoadProjectMenuClick();
    Main->SaveProjectMenuClick();
    NextFile = Path("none.PEPmodel");
    Main->LoadProjectMenuClick();
    EXPECT_EQ(Errors, QStringList{QStringLiteral("Не существует Файл \n") + Path("none.PEPmodel")});
    EXPECT_EQ(MenuEntries().size(), 5);
    EXPECT_EQ(MenuEntries().first(), QStringLiteral("&1 p3.PEPmodel"));

    // The list outlives the session.
    CreateWindows();
    EXPECT_EQ(MenuEntries().first(), QStringLiteral("&1 p3.PEPmodel"));
    EXPECT_EQ(MenuEntries().size(), 5);
}

TEST_F(RecentProjectsTest, ClickingAnEntryLoadsIt) {
    SaveAs(Path("a.PEPmodel"), "project a");
    SaveAs(Path("b.PEPmodel"), "project b");
    Main->CommentEdit->setText("edited");
    Main->setWindowTitle(kBaseTitle);

    OpenFileMenu();
    QMenu *menu = Main->FileMenu;
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(Main->RecentProjectActions[1]).center());
    EXPECT_EQ(Main->CommentEdit->text(), QStringLiteral("project a"));
    EXPECT_EQ(Main->windowTitle(), Path("a.PEPmodel"));
    EXPECT_EQ(MenuEntries(), (QStringList{"&1 a.PEPmodel", "&2 b.PEPmodel"}));

    // The entry's number chooses it from the keyboard.
    OpenFileMenu();
    QTest::keyClick(menu, Qt::Key_2);
    EXPECT_EQ(Main->CommentEdit->text(), QStringLiteral("project b"));
    EXPECT_EQ(Main->windowTitle(), Path("b.PEPmodel"));
    EXPECT_TRUE(Errors.isEmpty());
}

TEST_F(RecentProjectsTest, AMissingFileShowsTheLoadErrorAndLeavesTheList) {
    SaveAs(Path("kept.PEPmodel"), "kept");
    SaveAs(Path("gone.PEPmodel"), "gone");
    ASSERT_TRUE(QFile::remove(Path("gone.PEPmodel")));
    Main->setWindowTitle(kBaseTitle);
    Main->CommentEdit->setText("edited");

    OpenFileMenu();
    QTest::keyClick(Main->FileMenu, Qt::Key_1);
    EXPECT_EQ(Errors, QStringList{QStringLiteral("Не существует Файл \n") + Path("gone.PEPmodel")});
    EXPECT_EQ(Main->windowTitle(), kBaseTitle);
    EXPECT_EQ(Main->CommentEdit->text(), QStringLiteral("edited"));
    EXPECT_EQ(MenuEntries(), QStringList{"&1 kept.PEPmodel"});
    EXPECT_EQ(RecentProjects::Files(), QStringList{Path("kept.PEPmodel")});
}

TEST_F(RecentProjectsTest, AFileThatCannotBeReadStaysListed) {
    SaveAs(Path("broken.PEPmodel"), "x");
    QFile f(Path("broken.PEPmodel"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write("[ParametersForm]\r\nElectro_R_QNSuperSpin=abc\r\n");
    f.close();
    Main->setWindowTitle(kBaseTitle);

    Main->RecentProjectActions[0]->trigger();
    EXPECT_EQ(Errors, QStringList{"'abc' is not a valid floating point value"});
    EXPECT_EQ(Main->windowTitle(), kBaseTitle);
    EXPECT_EQ(MenuEntries(), QStringList{"&1 broken.PEPmodel"});
}

TEST_F(RecentProjectsTest, EqualNamesInDifferentFoldersShowTheirPaths) {
    ASSERT_TRUE(QDir(Dir.path()).mkpath("one"));
    ASSERT_TRUE(QDir(Dir.path()).mkpath("two"));
    SaveAs(Path("one/model.PEPmodel"), "1");
    SaveAs(Path("two/model.PEPmodel"), "2");
    SaveAs(Path("R&D.PEPmodel"), "3");
    EXPECT_EQ(MenuEntries(),
              (QStringList{"&1 R&&D.PEPmodel", "&2 " + QDir::toNativeSeparators(Path("two/model.PEPmodel")),
                           "&3 " + QDir::toNativeSeparators(Path("one/model.PEPmodel"))}));
}

TEST_F(RecentProjectsTest, CaptionIsTheProjectPathAfterALoadOrSave) {
    EXPECT_EQ(Main->windowTitle(), kBaseTitle);
    SaveAs(Path("saved.PEPmodel"), "s");
    EXPECT_EQ(Main->windowTitle(), Path("saved.PEPmodel"));
    Main->setWindowTitle(kBaseTitle);
    NextFile = Path("saved.PEPmodel");
    Main->LoadProjectMenuClick();
    EXPECT_EQ(Main->windowTitle(), Path("saved.PEPmodel"));
}

TEST_F(RecentProjectsTest, OpenProjectFileLoadsLikeTheMenu) {
    ASSERT_TRUE(QDir(Dir.path()).mkpath("projects"));
    SaveAs(Path("projects/named.PEPmodel"), "named");
    QSettings("pepsim", "pepsim").clear();
    CreateWindows();
    const QString appDir = QDir(QCoreApplication::applicationDirPath()).absolutePath();
    ASSERT_EQ(Main->OpenProjectDialog->directory().absolutePath(), appDir);

    // A relative name is taken from the current folder, as a command line gives it.
    const QString current = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(Path("projects")));
    const bool loaded = Main->OpenProjectFile("named.PEPmodel");
    QDir::setCurrent(current);
    EXPECT_TRUE(loaded);
    EXPECT_EQ(Main->CommentEdit->text(), QStringLiteral("named"));
    EXPECT_EQ(Main->windowTitle(), Path("projects/named.PEPmodel"));
    EXPECT_EQ(RecentProjects::Files(), QStringList{Path("projects/named.PEPmodel")});
    EXPECT_EQ(Main->OpenProjectDialog->directory().absolutePath(), Path("projects"));
    EXPECT_TRUE(Errors.isEmpty());

    Main->setWindowTitle(kBaseTitle);
    EXPECT_FALSE(Main->OpenProjectFile(Path("absent.PEPmodel")));
    EXPECT_EQ(Errors, QStringList{QStringLiteral("Не существует Файл \n") + Path("absent.PEPmodel")});
    EXPECT_EQ(Main->windowTitle(), kBaseTitle);
    EXPECT_EQ(RecentProjects::Files(), QStringList{Path("projects/named.PEPmodel")});
}

TEST_F(RecentProjectsTest, EachDialogStartsWhereItWasLastUsed) {
    const QString appDir = QDir(QCoreApplication::applicationDirPath()).absolutePath();
    EXPECT_EQ(Main->OpenProjectDialog->directory().absolutePath(), appDir);
    EXPECT_EQ(Main->SaveProjectDialog->directory().absolutePath(), appDir);

    ASSERT_TRUE(QDir(Dir.path()).mkpath("saves"));
    ASSERT_TRUE(QDir(Dir.path()).mkpath("loads"));
    SaveAs(Path("saves/s.PEPmodel"), "s");
    SaveAs(Path("loads/l.PEPmodel"), "l");
    NextFile = Path("loads/l.PEPmodel");
    Main->LoadProjectMenuClick();

    CreateWindows();
    EXPECT_EQ(Main->SaveProjectDialog->directory().absolutePath(), Path("loads"));
    EXPECT_EQ(Main->OpenProjectDialog->directory().absolutePath(), Path("loads"));

    // A cancel keeps the remembered folder.
    NextFile.clear();
    Main->LoadProjectMenuClick();
    CreateWindows();
    EXPECT_EQ(Main->OpenProjectDialog->directory().absolutePath(), Path("loads"));

    // A remembered folder that has gone leaves the dialog in the program's folder.
    ASSERT_TRUE(QDir(Path("loads")).removeRecursively());
    CreateWindows();
    EXPECT_EQ(Main->OpenProjectDialog->directory().absolutePath(), appDir);
    EXPECT_EQ(Main->SaveProjectDialog->directory().absolutePath(), appDir);
}

// A project named by a relative path with "." and ".." (as typed on the command line) is listed, shown
// in "Файл" and captioned by its clean absolute path, and a second spelling of it is the same entry.
TEST_F(RecentProjectsTest, APathIsRememberedAbsoluteAndClean) {
    ASSERT_TRUE(QDir(Dir.path()).mkdir("a"));
    QFile file(Path("b.PEPmodel"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[MainForm]\r\nCommentEdit=relative\r\n");
    file.close();
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(Dir.path()));
    const bool opened = Main->OpenProjectFile(QStringLiteral("./a/../b.PEPmodel"));
    const bool openedAgain = Main->OpenProjectFile(QStringLiteral("a/../a/./../b.PEPmodel"));
    QDir::setCurrent(before);

    EXPECT_TRUE(opened);
    EXPECT_TRUE(openedAgain);
    EXPECT_TRUE(Errors.isEmpty());
    EXPECT_EQ(Main->CommentEdit->text(), QStringLiteral("relative"));
    EXPECT_EQ(RecentProjects::Files(), QStringList{Path("b.PEPmodel")});
    EXPECT_EQ(Main->windowTitle(), Path("b.PEPmodel"));
    OpenFileMenu();
    EXPECT_EQ(MenuEntries(), QStringList{"&1 b.PEPmodel"});
    EXPECT_EQ(Main->RecentProjectActions[0]->statusTip(), QDir::toNativeSeparators(Path("b.PEPmodel")));
    Main->FileMenu->close();
}

// A file that cannot be read or holds no section of a project gets an error box naming it, through
// the command line's open and through the load dialog: nothing is loaded, the caption stays, and the
// file does not join the recent list.
TEST_F(RecentProjectsTest, AFileThatIsNoProjectIsRefused) {
    const auto write = [this](const QString &name, const QByteArray &bytes) {
        QFile f(Path(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return Path(name);
    };
    const QString notProject =
        QStringLiteral(" не является проектом: в нем нет разделов MainForm, ParametersForm и ElectroForm.");
    QList<std::pair<QString, QString>> cases = {
        {write("empty.PEPmodel", {}), QStringLiteral("Файл %1") + notProject},
        {write("picture.PEPmodel", QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)),
         QStringLiteral("Файл %1") + notProject},
    };
    // Root reads a file without read permission; a file of the kernel then stands in for it.
    QString unreadable = QStringLiteral("/proc/sys/vm/drop_caches");
    if (geteuid() != 0) {
        unreadable = write("locked.PEPmodel", "[MainForm]\r\n");
        QFile::setPermissions(unreadable, {});
    }
    if (QFile probe(unreadable); QFileInfo(unreadable).isFile() && !probe.open(QIODevice::ReadOnly))
        cases.append({unreadable, QStringLiteral("Не удалось прочитать файл %1")});
    else if (geteuid() == 0)
        std::cout << "skipped the unreadable file: " << unreadable.toStdString() << " can be read here\n";
    else
        ADD_FAILURE() << "a file of mode 000 could be read";

    Main->CommentEdit->setText(QStringLiteral("kept"));
    const QString caption = Main->windowTitle();
    for (const auto &[path, message] : cases) {
        for (const bool dialog : {false, true}) {
            // The dialog adds ".PEPmodel" to a name without extension (the kernel's file).
            if (dialog && QFileInfo(path).suffix().isEmpty())
                continue;
            Errors.clear();
            if (dialog) {
                NextFile = path;
                Main->LoadProjectMenuClick();
            } else {
                EXPECT_FALSE(Main->OpenProjectFile(path));
            }
            EXPECT_EQ(Errors, QStringList{message.arg(path)}) << path.toStdString();
            EXPECT_EQ(Main->CommentEdit->text(), QStringLiteral("kept"));
            EXPECT_EQ(Main->windowTitle(), caption);
            EXPECT_TRUE(RecentProjects::Files().isEmpty());
            EXPECT_TRUE(MenuEntries().isEmpty());
        }
    }
}
