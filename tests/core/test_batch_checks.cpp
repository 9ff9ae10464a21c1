// SPDX-License-Identifier: GPL-3.0-or-later
// What the batch run and the project files check before anything is computed or overwritten: the
// arguments, a file that is not a project, the output folder, the language of the messages, and the
// atomic write of result files.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/resource.h>
#include <unistd.h>

#include "files/AtomicFile.h"
#include "files/DataFiles.h"
#include "files/ProjectFile.h"
#include "run/BatchRun.h"
#include "text/CoreTexts.h"

namespace {

namespace fs = std::filesystem;

const FormatSettings kPoint{U'.', U' '};

std::string ReadText(const fs::path &p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void WriteText(const fs::path &p, const std::string &text) {
    std::ofstream(p, std::ios::binary) << text;
}

std::vector<std::string> Names(const fs::path &folder) {
    std::vector<std::string> names;
    for (const auto &entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class BatchChecks : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("pep_checks_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        WriteText(dir / "task.PEPmodel", "[MainForm]\r\nDeltaX_QNSuperSpin=50\r\n");
        options.Project = (dir / "task.PEPmodel").string();
        options.UntilMicroseconds = 0.1;
        options.OutDir = (dir / "out").string();
    }
    void TearDown() override { fs::remove_all(dir); }
    int Run(std::string &messages, const BatchLanguage &language = {}) {
        std::ostringstream err;
        const int status = RunBatch(options, kPoint, err, false, language);
        messages = err.str();
        return status;
    }
    fs::path dir;
    BatchOptions options;
};

// A translation that marks every text it is given, to show which texts pass through it.
const BatchLanguage kMarked{[](const char *text) { return "B[" + std::string(text) + "]"; },
                            [](const std::string &text) { return "C[" + text + "]"; }};

} // namespace

TEST(BatchArguments, SetWithoutAValueNamesTheField) {
    for (const char *set : {"Protector_L_QNSuperSpin=", "Protector_L_QNSuperSpin= \t"}) {
        BatchOptions o;
        EXPECT_EQ(ParseBatchArguments({"--batch", "p", "--until", "1", "--set", set}, o),
                  "Аргумент --set " + std::string(set) + " не задает значение поля Protector_L_QNSuperSpin.");
    }
}

TEST(BatchArguments, MessagesAndHelpGoThroughTheTranslation) {
    BatchOptions o;
    EXPECT_EQ(ParseBatchArguments({"--batch", "p", "--until", "1", "--set", "A="}, o, kMarked),
              "B[Аргумент --set A= не задает значение поля A.]");
    EXPECT_EQ(ParseBatchArguments({"--batch", "p", "--until", "1", "--from"}, o, kMarked),
              "B[После --from нужно время в микросекундах.]");
    EXPECT_EQ(BatchHelpText(kMarked), "B[" + BatchHelpText() + "]");
    EXPECT_EQ(BatchHelpHint(kMarked), "B[Справка: pepsim --help]");
}

TEST(CoreTexts, ArgTextReplacesEachMarkOnce) {
    EXPECT_EQ(ArgText("%1: %2 из %3", {"a", "b", "c"}), "a: b из c");
    EXPECT_EQ(ArgText("%2 после %1", {"x", "y"}), "y после x");
    EXPECT_EQ(ArgText("%1 и %2", {"%2", "z"}), "%2 и z"); // an argument is not read again
    EXPECT_EQ(ArgText("100 %  %1", {"5"}), "100 %  5");
}

TEST_F(BatchChecks, FilesThatAreNoProjectAreRefusedBeforeTheRun) {
    const std::string png("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
    const std::pair<std::string, std::string> cases[] = {
        {"empty.PEPmodel", ""},
        {"picture.PEPmodel", png},
        {"notes.PEPmodel", "[Notes]\r\nDeltaX_QNSuperSpin=50\r\n"},
    };
    for (const auto &[name, bytes] : cases) {
        WriteText(dir / name, bytes);
        options.Project = (dir / name).string();
        std::string messages;
        EXPECT_EQ(Run(messages), kBatchBadArguments) << name;
        EXPECT_EQ(messages, "Файл " + options.Project +
                                " не является проектом: в нем нет разделов MainForm, ParametersForm и "
                                "ElectroForm.\n");
        EXPECT_FALSE(fs::exists(dir / "out")) << name;
    }
    // Any one section of a window makes a project; the letter case of its name does not matter.
    WriteText(dir / "electro.PEPmodel", "[electroform]\r\n");
    EXPECT_EQ(LoadProjectProfile((dir / "electro.PEPmodel").string()).Lines().size(), 1u);
}

TEST_F(BatchChecks, AFileThatCannotBeReadIsRefused) {
    // A folder opens but fails its read, whoever runs the test (root reads a file of mode 000).
    try {
        LoadProjectProfile(dir.string());
        FAIL() << "a folder was read as a project";
    } catch (const ProjectFileError &e) {
        EXPECT_EQ(std::string(e.what()), "Не удалось прочитать файл " + dir.string());
    }
    EXPECT_THROW(LoadProjectProfile((dir / "missing.PEPmodel").string()), ProjectFileError);
    if (::geteuid() != 0) {
        fs::permissions(dir / "task.PEPmodel", fs::perms::none);
        std::string messages;
        EXPECT_EQ(Run(messages), kBatchBadArguments);
        EXPECT_EQ(messages, "Не удалось прочитать файл " + options.Project + "\n");
    }
}

TEST_F(BatchChecks, AnOutputFolderThatCannotBeWrittenIsFoundBeforeTheRun) {
    std::string messages;
    // A folder below a file cannot be made, whoever runs the test.
    options.OutDir = (dir / "task.PEPmodel" / "out").string();
    EXPECT_EQ(Run(messages), kBatchBadArguments);
    EXPECT_EQ(messages, "Не удалось создать папку " + options.OutDir + "\n");

    // A folder that exists but takes no file: a folder without write permission, or for root (who
    // writes there anyway) the kernel's /proc.
    options.OutDir = (dir / "locked").string();
    fs::create_directories(options.OutDir);
    fs::permissions(options.OutDir, fs::perms::owner_read | fs::perms::owner_exec);
    if (::geteuid() == 0)
        options.OutDir = "/proc";
    EXPECT_EQ(Run(messages), kBatchBadArguments);
    EXPECT_EQ(messages, "В папку " + options.OutDir + " нельзя записать файлы.\n");
    EXPECT_FALSE(fs::exists(fs::path(options.OutDir) / "summary.json"));
    fs::permissions(dir / "locked", fs::perms::owner_all);
    EXPECT_TRUE(Names(dir / "locked").empty()); // no probe left behind

    // A writable folder keeps no trace of the probe either.
    options.OutDir = (dir / "out").string();
    ASSERT_EQ(Run(messages), kBatchCompleted) << messages;
    EXPECT_EQ(Names(dir / "out"), (std::vector<std::string>{"impedance.csv", "signals.csv", "spectrum_db.csv",
                                                            "summary.csv", "summary.json"}));
}

TEST_F(BatchChecks, EveryMessageOfARunGoesThroughTheTranslation) {
    std::string messages;
    options.OutDir = (dir / "task.PEPmodel" / "out").string();
    EXPECT_EQ(Run(messages, kMarked), kBatchBadArguments);
    EXPECT_EQ(messages, "B[Не удалось создать папку " + options.OutDir + "]\n");

    WriteText(dir / "empty.PEPmodel", "");
    options.Project = (dir / "empty.PEPmodel").string();
    EXPECT_EQ(Run(messages, kMarked), kBatchBadArguments);
    EXPECT_EQ(messages,
              "C[Файл " + options.Project +
                  " не является проектом: в нем нет разделов MainForm, ParametersForm и ElectroForm.]\n");

    WriteText(dir / "refused.PEPmodel", "[ParametersForm]\r\nSpep_QNSuperSpin=0\r\n");
    options.Project = (dir / "refused.PEPmodel").string();
    options.OutDir = (dir / "out").string();
    EXPECT_EQ(Run(messages, kMarked), kBatchRefused);
    EXPECT_EQ(messages, "B[Задача не создана.]\nC[Площадь пъезопластины должна быть больше нуля.]\n");

    options.Project = (dir / "task.PEPmodel").string();
    EXPECT_EQ(Run(messages, kMarked), kBatchCompleted);
    // The outcome and the line's pattern are translated each.
    EXPECT_EQ(messages.rfind("B[B[Расчет выполнен]: 500 шагов, 0.100 мкс за ", 0), 0u) << messages;
}

// A write that fails after the temporary file was begun (here: the process may write no file larger
// than 4 KiB) leaves the previous file whole and no temporary file beside it. Written in place, the
// target would be cut short.
TEST_F(BatchChecks, AFailedWriteKeepsThePreviousFile) {
    const fs::path target = dir / "summary.json";
    const std::string previous = "{\"steps\": 1}\n";
    WriteText(target, previous);
    const std::string large(64 * 1024, 'x');

    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto savedSignal = std::signal(SIGXFSZ, SIG_IGN); // the write fails instead of ending the process
    struct rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = WriteFileAtomically(target.string(), large);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, savedSignal);

    EXPECT_FALSE(written);
    EXPECT_EQ(ReadText(target), previous);
    EXPECT_EQ(Names(dir), (std::vector<std::string>{"summary.json", "task.PEPmodel"}));

    // Without the limit the same write replaces the file.
    EXPECT_TRUE(WriteFileAtomically(target.string(), large));
    EXPECT_EQ(ReadText(target), large);
    EXPECT_EQ(Names(dir), (std::vector<std::string>{"summary.json", "task.PEPmodel"}));
}

// Two batch runs writing into one folder at once: a write never touches another writer's temporary
// (here one left where a fixed temporary name would be), and leaves no temporary of its own.
TEST_F(BatchChecks, AWriteLeavesAnotherWritersTemporaryAlone) {
    const fs::path target = dir / "signals.csv";
    const fs::path others = dir / "signals.csv.part";
    WriteText(others, "another run's rows");
    EXPECT_TRUE(WriteFileAtomically(target.string(), "t_us\n"));
    EXPECT_EQ(ReadText(target), "t_us\n");
    EXPECT_EQ(ReadText(others), "another run's rows");
    EXPECT_EQ(Names(dir), (std::vector<std::string>{"signals.csv", "signals.csv.part", "task.PEPmodel"}));
}

// A result file reached through a symbolic link is replaced where the link points, and keeps its
// permission bits; the link stays a link.
TEST_F(BatchChecks, AWriteFollowsALinkAndKeepsTheMode) {
    const fs::path target = dir / "kept.csv";
    WriteText(target, "old");
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink(target, dir / "link.csv");
    EXPECT_TRUE(WriteFileAtomically((dir / "link.csv").string(), "new\n"));
    EXPECT_TRUE(fs::is_symlink(dir / "link.csv"));
    EXPECT_EQ(ReadText(target), "new\n");
    EXPECT_EQ(fs::status(target).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(Names(dir), (std::vector<std::string>{"kept.csv", "link.csv", "task.PEPmodel"}));
}
