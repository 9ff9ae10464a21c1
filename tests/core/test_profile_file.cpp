// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "files/ProfileFile.h"
#include "text/Cp1251.h"

namespace {

std::string ReadBytes(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::string &path, const std::string &bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::vector<std::string> FolderEntries(const std::string &dir) {
    std::vector<std::string> out;
    if (DIR *d = opendir(dir.c_str())) {
        while (dirent *e = readdir(d))
            if (std::string(e->d_name) != "." && std::string(e->d_name) != "..")
                out.emplace_back(e->d_name);
        closedir(d);
    }
    return out;
}

class ProfileFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/pep_profile_XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
    }
    void TearDown() override {
        chmod(dir_.c_str(), 0755);
        (void)std::system(("chmod -R u+w " + dir_ + " && rm -rf " + dir_).c_str());
    }
    std::string Path(const std::string &name) const { return dir_ + "/" + name; }
    std::string dir_;
};

TEST(Cp1251, TableAndRoundTrip) {
    EXPECT_EQ(Cp1251ToUtf8("\xC0\xFF\xA8\xB8\xB9\x88\x98 A"), "АяЁё№€\u0098 A");
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    const std::string utf8 = Cp1251ToUtf8(all);
    EXPECT_TRUE(IsValidUtf8(utf8));
    EXPECT_TRUE(IsCp1251Representable(utf8));
    EXPECT_EQ(Utf8ToCp1251(utf8), all);
    EXPECT_EQ(Utf8ToCp1251("комментарии к проекту"), "\xEA\xEE\xEC\xEC\xE5\xED\xF2\xE0\xF0\xE8\xE8 \xEA "
                                                     "\xEF\xF0\xEE\xE5\xEA\xF2\xF3");
    EXPECT_EQ(Utf8ToCp1251("µ日😀x"), "\xB5??x");
    EXPECT_EQ(Utf8ToCp1251("a\xFF\xC3"), "a??"); // broken UTF-8 bytes
    EXPECT_FALSE(IsCp1251Representable("日"));
}

TEST(Cp1251, StrictUtf8) {
    EXPECT_TRUE(IsValidUtf8("Привет, мир 😀"));
    EXPECT_FALSE(IsValidUtf8("\xC0\x80"));         // overlong
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));     // surrogate
    EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80")); // above U+10FFFF
    EXPECT_FALSE(IsValidUtf8("\xD0"));             // cut off
    EXPECT_FALSE(IsValidUtf8("\xEA\xEE"));         // Windows-1251 "ко"
}

TEST(ProfileParse, NamesIgnoreCaseAndBlanksAroundNamesAndValues) {
    const auto p =
        ProfileFile::Parse("; comment\r\n[MainForm]\r\n  Top =  367  \r\nWidth\t=\t859\r\n"
                           "Пустой=\r\n[ ParametersForm ]\nCommentEdit= a  b \n[Раздел]\nКлюч=1\n");
    EXPECT_EQ(p.Read("mainform", "TOP"), "367");
    EXPECT_EQ(p.Read("MAINFORM", "width"), "859");
    EXPECT_EQ(p.Read("MainForm", "пустой"), "");
    EXPECT_EQ(p.Read("parametersform", "commentedit"), "a  b");
    EXPECT_EQ(p.Read("РАЗДЕЛ", "КЛЮЧ"), "1");
    EXPECT_FALSE(p.Read("MainForm", "Height"));
    EXPECT_FALSE(p.Read("ParametersForm", "Top")); // entries belong to their own section
    EXPECT_FALSE(p.Read("Other", "Top"));
    EXPECT_EQ(p.ReadString("MainForm", "Height", "565"), "565");
    EXPECT_EQ(p.Lines().front(), "; comment");
}

TEST(ProfileParse, ReadStringCutsStoredTextByCharacters) {
    const auto p = ProfileFile::Parse("[A]\nK=" + std::string(3000, 'x') + "\nR=абвгд\n");
    EXPECT_EQ(p.ReadString("A", "K", "").size(), 2047u);
    EXPECT_EQ(p.ReadString("A", "R", "", 3), "абв");
    EXPECT_EQ(p.ReadString("A", "missing", std::string(3000, 'd')).size(), 3000u); // default untouched
}

TEST(ProfileParse, WriteReplacesInPlaceAppendsAndCreates) {
    auto p = ProfileFile::Parse("[A]\nx=1\ny=2\n\n[B]\nz=3\n");
    p.Write("a", "X", "10");
    p.Write("A", "new", "n");
    p.Write("C", "k", "line1\r\nline2");
    const std::vector<std::string> expected = {"[A]", "X=10", "y=2", "new=n",         "",
                                               "[B]", "z=3",  "[C]", "k=line1  line2"};
    EXPECT_EQ(p.Lines(), expected);
    EXPECT_EQ(p.Read("c", "K"), "line1  line2");
    p.EraseSection("a");
    const std::vector<std::string> erased = {"[B]", "z=3", "[C]", "k=line1  line2"};
    EXPECT_EQ(p.Lines(), erased);
    EXPECT_FALSE(p.HasSection("A"));
    EXPECT_EQ(p.ToBytes(), "[B]\r\nz=3\r\n[C]\r\nk=line1  line2\r\n");
}

TEST_F(ProfileFileTest, MissingFileReadsEmpty) {
    const auto p = ProfileFile::Load(Path("absent.PEPmodel"));
    EXPECT_TRUE(p.Lines().empty());
    EXPECT_EQ(p.ReadString("MainForm", "Top", "7"), "7");
}

TEST_F(ProfileFileTest, CyrillicIsStoredAsWindows1251AndReadBack) {
    ProfileFile p;
    p.Write("MainForm", "CommentEdit", "комментарии к проекту");
    p.Write("MainForm", "DeltaT_QNSuperSpin", "0,2");
    p.Save(Path("p.PEPmodel"));
    const std::string bytes = ReadBytes(Path("p.PEPmodel"));
    EXPECT_EQ(bytes, "[MainForm]\r\nCommentEdit=\xEA\xEE\xEC\xEC\xE5\xED\xF2\xE0\xF0\xE8\xE8 \xEA "
                     "\xEF\xF0\xEE\xE5\xEA\xF2\xF3\r\nDeltaT_QNSuperSpin=0,2\r\n");
    EXPECT_EQ(ProfileFile::Load(Path("p.PEPmodel")).Read("MAINFORM", "commentedit"), "комментарии к проекту");
}

TEST_F(ProfileFileTest, Utf8FileIsReadAsUtf8) {
    WriteBytes(Path("u.PEPmodel"), "\xEF\xBB\xBF[MainForm]\nCommentEdit=Проект №1\n");
    EXPECT_EQ(ProfileFile::Load(Path("u.PEPmodel")).Read("MainForm", "CommentEdit"), "Проект №1");
    WriteBytes(Path("w.PEPmodel"), "[MainForm]\r\nCommentEdit=\xCF\xF0\xEE\xE5\xEA\xF2 \xB9\x31\r\n");
    EXPECT_EQ(ProfileFile::Load(Path("w.PEPmodel")).Read("MainForm", "CommentEdit"), "Проект №1");
}

TEST_F(ProfileFileTest, TextWithoutWindows1251CharactersIsSavedAsUtf8NotLost) {
    ProfileFile p;
    p.Write("MainForm", "CommentEdit", "датчик 日本 😀");
    p.Save(Path("x.PEPmodel"));
    EXPECT_EQ(ReadBytes(Path("x.PEPmodel")), "[MainForm]\r\nCommentEdit=датчик 日本 😀\r\n");
    EXPECT_EQ(ProfileFile::Load(Path("x.PEPmodel")).Read("MainForm", "CommentEdit"), "датчик 日本 😀");
}

TEST(ProfileParse, Windows1251BytesThatLookLikeUtf8AreWrittenAsUtf8) {
    ProfileFile p;
    p.Write("A", "k", "Р°"); // D0 B0 in Windows-1251 is "а" in UTF-8
    EXPECT_EQ(p.ToBytes(), "[A]\r\nk=Р°\r\n");
    EXPECT_EQ(ProfileFile::Parse(p.ToBytes()).Read("A", "k"), "Р°");
    p.Write("A", "k", "Ре"); // D0 E5: not UTF-8, stays Windows-1251
    EXPECT_EQ(p.ToBytes(), "[A]\r\nk=\xD0\xE5\r\n");
}

TEST_F(ProfileFileTest, RewritingKeepsOtherSectionsAndLines) {
    const std::string original = "[Extra]\r\n; note\r\nKey = value \r\n\r\n[MainForm]\r\nTop=1\r\nOld=x\r\n";
    WriteBytes(Path("e.PEPmodel"), original);
    auto p = ProfileFile::Load(Path("e.PEPmodel"));
    p.EraseSection("MainForm");
    p.Write("MainForm", "Top", "367");
    p.Write("ParametersForm", "Top", "10");
    p.Save(Path("e.PEPmodel"));
    EXPECT_EQ(
        ReadBytes(Path("e.PEPmodel")),
        "[Extra]\r\n; note\r\nKey = value \r\n\r\n[MainForm]\r\nTop=367\r\n[ParametersForm]\r\nTop=10\r\n");
    EXPECT_EQ(ProfileFile::Load(Path("e.PEPmodel")).Read("extra", "key"), "value");
}

TEST_F(ProfileFileTest, ReadOnlyFileRefusesAndKeepsItsContent) {
    const std::string path = Path("ro.PEPmodel");
    WriteBytes(path, "[MainForm]\r\nTop=1\r\n");
    ASSERT_EQ(chmod(path.c_str(), 0444), 0);
    ProfileFile p;
    p.Write("MainForm", "Top", "2");
    try {
        p.Save(path);
        FAIL() << "saved over a read-only file";
    } catch (const ProfileWriteError &e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + path);
        EXPECT_EQ(e.Path(), path);
    }
    EXPECT_EQ(ReadBytes(path), "[MainForm]\r\nTop=1\r\n");
    EXPECT_EQ(FolderEntries(dir_), std::vector<std::string>{"ro.PEPmodel"}); // no temporary left behind
}

TEST_F(ProfileFileTest, ReadOnlyOrMissingFolderRefuses) {
    ProfileFile p;
    p.Write("A", "k", "v");
    EXPECT_THROW(p.Save(Path("missing/p.PEPmodel")), ProfileWriteError);
    ASSERT_EQ(mkdir(Path("ro").c_str(), 0555), 0);
    EXPECT_THROW(p.Save(Path("ro/p.PEPmodel")), ProfileWriteError);
    EXPECT_TRUE(FolderEntries(Path("ro")).empty());
    EXPECT_THROW(p.Save(dir_), ProfileWriteError); // a folder is not a file
}

TEST_F(ProfileFileTest, SaveKeepsModeAndFollowsLinks) {
    const std::string path = Path("m.PEPmodel");
    WriteBytes(path, "old");
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    ASSERT_EQ(symlink(path.c_str(), Path("link.PEPmodel").c_str()), 0);
    ProfileFile p;
    p.Write("A", "k", "v");
    p.Save(Path("link.PEPmodel"));
    struct stat st {};
    ASSERT_EQ(lstat(Path("link.PEPmodel").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(ReadBytes(path), "[A]\r\nk=v\r\n");
}

} // namespace

// A save that fails after the temporary file was begun (here: the process may write no file larger
// than 4 KiB) throws, and leaves the previous project whole with no temporary file beside it.
TEST_F(ProfileFileTest, AFailedWriteKeepsThePreviousProject) {
    const std::string path = Path("big.PEPmodel");
    WriteBytes(path, "[MainForm]\r\nTop=1\r\n");
    ProfileFile p;
    p.Write("MainForm", "CommentEdit", std::string(64 * 1024, 'x'));

    struct rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto savedSignal = std::signal(SIGXFSZ, SIG_IGN); // the write fails instead of ending the process
    struct rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    std::string what;
    try {
        p.Save(path);
    } catch (const ProfileWriteError &e) {
        what = e.what();
    }
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, savedSignal);

    EXPECT_EQ(what, "Unable to write to " + path);
    EXPECT_EQ(ReadBytes(path), "[MainForm]\r\nTop=1\r\n");
    EXPECT_EQ(FolderEntries(dir_), std::vector<std::string>{"big.PEPmodel"});
}
