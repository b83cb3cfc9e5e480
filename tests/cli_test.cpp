// End-to-end tests of the kelvane command: options, exit statuses, output streams and files,
// run on small scripts in a temporary folder.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <initializer_list>
#include <map>
#include <sstream>
#include <string>

#include "batch.h"

namespace {

namespace fs = std::filesystem;

struct CliResult {
    int status = -1;
    std::string out;
    std::string err;
};

class Cli : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        m_folder = fs::temp_directory_path() /
                   ("kelvane_cli_" + std::string(test->name()) + "_" + std::to_string(::getpid()));
        fs::remove_all(m_folder);
        fs::create_directories(m_folder);
    }
    void TearDown() override { fs::remove_all(m_folder); }

    void Write(const std::string& name, const std::string& text) const {
        std::ofstream(m_folder / name, std::ios::binary) << text;
    }
    std::string Read(const fs::path& path) const {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    // Runs the command in the test's folder with the given arguments (no shell quoting needed),
    // `input` on its standard input.
    CliResult RunKelvane(std::initializer_list<std::string> args, const std::string& input = "") const {
        Write("stdin.txt", input);
        std::string command = "cd '" + m_folder.string() + "' && '" KELVANE_CLI_PATH "'";
        for (const std::string& arg : args) command += " '" + arg + "'";
        command += " >stdout.txt 2>stderr.txt <stdin.txt";
        int raw = std::system(command.c_str());
        CliResult r;
        r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        r.out = Read(m_folder / "stdout.txt");
        r.err = Read(m_folder / "stderr.txt");
        for (const char* name : {"stdin.txt", "stdout.txt", "stderr.txt"}) fs::remove(m_folder / name);
        return r;
    }

    fs::path m_folder;
};

TEST_F(Cli, HelpPrintsUsageOnStandardOutput) {
    CliResult r = RunKelvane({"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("Usage: kelvane [options] SCRIPT...", 0), 0u) << r.out;
    EXPECT_NE(r.out.find("--output"), std::string::npos);
    EXPECT_NE(r.out.find("-j, --jobs N"), std::string::npos);
    EXPECT_NE(r.out.find("Exit status:\n  0  every script ran to its end"), std::string::npos) << r.out;
    EXPECT_EQ(r.err, "");
}

TEST_F(Cli, ADashReadsAScriptFromStandardInputNamedStdinInMessages) {
    Write("file.kvs", "print \"from the file\"\n");
    CliResult r = RunKelvane({"file.kvs", "-"}, "print \"from stdin\"\nWidth = \"wide\"\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "from the file\nfrom stdin\n");
    EXPECT_EQ(r.err, "<stdin>:2: Width: error 13: Type mismatch\n");

    CliResult twice = RunKelvane({"-", "-"}, "print 1\n");
    EXPECT_EQ(twice.status, 2);
    EXPECT_EQ(twice.out, "");
    EXPECT_NE(twice.err.find("kelvane: standard input (-) can be read only once\n"), std::string::npos) << twice.err;

    EXPECT_NE(RunKelvane({"--help"}).out.find("A SCRIPT of - is read from standard input and named <stdin> in messages."),
              std::string::npos);
}

TEST_F(Cli, VersionPrintsTheProgramNameAndVersion) {
    CliResult r = RunKelvane({"--version"});
    EXPECT_EQ(r.status, 0);
    ASSERT_GT(r.out.size(), 9u);
    EXPECT_EQ(r.out.substr(0, 8), "kelvane ");
    EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(r.out[8]))) << r.out;
    EXPECT_EQ(r.out.back(), '\n');
}

TEST_F(Cli, UsageErrorsExitWithStatusTwo) {
    CliResult none = RunKelvane({});
    EXPECT_EQ(none.status, 2);
    EXPECT_NE(none.err.find("no script given"), std::string::npos) << none.err;

    Write("ok.kvs", "print 1\n");
    CliResult unknown = RunKelvane({"--frobnicate", "ok.kvs"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_NE(unknown.err.find("unknown option '--frobnicate'"), std::string::npos) << unknown.err;
    EXPECT_EQ(unknown.out, "");

    CliResult noFolder = RunKelvane({"ok.kvs", "-o"});
    EXPECT_EQ(noFolder.status, 2);
    EXPECT_NE(noFolder.err.find("needs a folder"), std::string::npos) << noFolder.err;

    const struct {
        std::initializer_list<std::string> args;
        const char* message;
    } badValues[] = {
        {{"-j", "0", "ok.kvs"}, "option -j needs a number from 1 to 1024, not '0'"},
        {{"-j1025", "ok.kvs"}, "option -j needs a number from 1 to 1024, not '1025'"},
        {{"--jobs=two", "ok.kvs"}, "option --jobs needs a number from 1 to 1024, not 'two'"},
        {{"ok.kvs", "--jobs"}, "option --jobs needs a number from 1 to 1024\n"},
        {{"--codepage=", "ok.kvs"}, "option --codepage needs a number, not ''"},
    };
    for (const auto& row : badValues) {
        CliResult r = RunKelvane(row.args);
        EXPECT_EQ(r.status, 2) << row.message;
        EXPECT_EQ(r.out, "") << row.message;
        EXPECT_NE(r.err.find(row.message), std::string::npos) << r.err;
    }
}

TEST_F(Cli, AnUnreadableScriptStopsTheRunBeforeAnyScriptRuns) {
    Write("ok.kvs", "print \"ran\"\n");
    fs::create_directories(m_folder / "folder.kvs");
    CliResult r = RunKelvane({"ok.kvs", "missing.kvs", "folder.kvs"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("cannot read script 'missing.kvs': no such file"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("cannot read script 'folder.kvs': it is a folder"), std::string::npos) << r.err;
}

TEST_F(Cli, BarWidthOfANewChartPrintsAsZero) {
    Write("s.kvs", "print BarWidth\n");
    CliResult r = RunKelvane({"s.kvs"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "0\n");
    EXPECT_EQ(r.err, "");
}

TEST_F(Cli, APropertyOverflowIsReportedWithThePropertyName) {
    Write("s.kvs", "Width = 10\nLineDotFlagOutlineMode = 40000\nprint \"not reached\"\n");
    CliResult r = RunKelvane({"s.kvs"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "s.kvs:2: LineDotFlagOutlineMode: error 6: Overflow\n");
    EXPECT_EQ(r.out, "");
}

TEST_F(Cli, AFailingMethodEndsItsScriptWithStatusOneButLaterScriptsStillRun) {
    Write("bad.kvs", "print \"first\"\nprint SaveBinary(Array())\nprint \"not reached\"\n");
    Write("good.kvs", "print \"second\"\n");
    CliResult r = RunKelvane({"bad.kvs", "good.kvs"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "first\nsecond\n");
    EXPECT_EQ(r.err, "bad.kvs:2: SaveBinary: error 13: Type mismatch\n");
}

TEST_F(Cli, PieScriptsTakeTheOptionalArgumentsAndReportAPieWithoutSlices) {
    Write("pie.kvs", "Width = 60\nHeight = 40\nInitChart\nAddPieData \"a\", 1, 0\nAddPieData \"b\", 2, 0, , True\n"
                     "DrawPieChart\nmakeChart \"pie.bmp\"\n");
    Write("empty.kvs", "Width = 60\nHeight = 40\nInitChart\nDrawPieChart\nmakeChart \"empty.bmp\"\n");
    CliResult r = RunKelvane({"pie.kvs", "empty.kvs"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(fs::exists(m_folder / "pie.bmp"));
    // The 60 x 40 canvas has no room for the legend of two slices (LegendWidth is still 0).
    EXPECT_EQ(r.err, "pie.kvs:7: warning: the legend extends past the right and bottom edges of the canvas; set "
                     "LegendWidth to at least 57 (it is 0); make it shorter (LegendItemHeight, LegendTitleHeight, "
                     "LegendFontSize) or the canvas taller (Height)\n"
                     "empty.kvs:5: makeChart: error 9: Subscript out of range\n");
}

TEST_F(Cli, WarningsFollowTheOutputOnStandardErrorUnlessSilenced) {
    Write("t.kvs", "InitChart\nprint \"drawn\"\nmakeChart \"t.bmp\"\n");
    CliResult warned = RunKelvane({"-o", "warned", "t.kvs"});
    EXPECT_EQ(warned.status, 0) << "warnings do not fail a script";
    EXPECT_EQ(warned.out, "drawn\n");
    EXPECT_EQ(warned.err, "t.kvs:3: warning: Width and Height were not set: the canvas is the 21 x 21 template; "
                          "set Width and Height before InitChart\n");
    CliResult silenced = RunKelvane({"--no-warnings", "-o", "silenced", "t.kvs"});
    EXPECT_EQ(silenced.status, 0);
    EXPECT_EQ(silenced.out, "drawn\n");
    EXPECT_EQ(silenced.err, "");
    EXPECT_EQ(Read(m_folder / "warned/t.bmp"), Read(m_folder / "silenced/t.bmp"));
    EXPECT_NE(RunKelvane({"--help"}).out.find("--no-warnings"), std::string::npos);
}

TEST_F(Cli, ResumeNextReportsTheFailureAndTheScriptGoesOn) {
    Write("s.kvs", "On Error Resume Next\nLineDotFlagOutlineMode = 40000\nExportToDC 0\nprint \"went on\"\n");
    CliResult r = RunKelvane({"s.kvs"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "went on\n");
    EXPECT_NE(r.err.find("s.kvs:2: LineDotFlagOutlineMode: error 6: Overflow\n"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("s.kvs:3: ExportToDC: not available in scripts"), std::string::npos) << r.err;
}

TEST_F(Cli, FailuresTheChartOnlyRecordsGiveStatusOneUnlessResumedPast) {
    // ErrorInfo messages and a picture name nothing is written for, each in a script of its own.
    Write("info.kvs", "Width = 6\nHeight = 4\nInitChart\nDrawBarChart 1, 0, 0\nmakeChart \"a.bmp\"\n");
    Write("tiff.kvs", "Width = 6\nHeight = 4\nInitChart\nmakeChart \"chart.tiff\"\n");
    Write("resumed.kvs", "On Error Resume Next\nmakeChart \"b.bmp\"\nmakeChart \"c.tiff\"\n");
    CliResult info = RunKelvane({"info.kvs"});
    EXPECT_EQ(info.status, 1);
    EXPECT_EQ(info.err, "info.kvs:4: DrawBarChart: 11:Division by zero\n");
    EXPECT_FALSE(fs::exists(m_folder / "a.bmp")) << "the script ended at the failure";
    CliResult tiff = RunKelvane({"tiff.kvs"});
    EXPECT_EQ(tiff.status, 1);
    EXPECT_EQ(tiff.err, "tiff.kvs:4: makeChart: nothing written to 'chart.tiff': the name does not end in bmp, "
                        "jpg, jpeg, gif or png\n");
    CliResult resumed = RunKelvane({"resumed.kvs"});
    EXPECT_EQ(resumed.status, 0);
    EXPECT_EQ(resumed.err, "resumed.kvs:2: makeChart: Unexpected error Saving BMP file"
                           " (InitChart was never called; call InitChart first)\n"
                           "resumed.kvs:3: makeChart: nothing written to 'c.tiff': the name does not end in bmp, "
                           "jpg, jpeg, gif or png\n");
}

TEST_F(Cli, ASyntaxErrorIsReportedWithLineAndColumnAndNothingOfThatScriptRuns) {
    Write("s.kvs", "print \"a\"\nWidth = = 3\n");
    CliResult r = RunKelvane({"s.kvs"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "s.kvs:2:9: syntax error: expected a value, found '='\n");
}

TEST_F(Cli, ScriptsWithByteOrderMarkAndCrLfLineEndsRun) {
    Write("s.kvs", "\xEF\xBB\xBF' made on another system\r\nWidth = 400\r\nprint \"ok\" ' done\r\n");
    CliResult r = RunKelvane({"s.kvs"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "ok\n");
}

TEST_F(Cli, ProgressLinesAppearOnlyForMoreThanThreeScripts) {
    for (const char* name : {"a.kvs", "b.kvs", "c.kvs", "d.kvs"}) Write(name, "' nothing\n");
    CliResult three = RunKelvane({"a.kvs", "b.kvs", "c.kvs"});
    EXPECT_EQ(three.status, 0);
    EXPECT_EQ(three.err, "");
    CliResult four = RunKelvane({"a.kvs", "b.kvs", "c.kvs", "d.kvs"});
    EXPECT_EQ(four.status, 0);
    EXPECT_EQ(four.err, "[1/4] a.kvs\n[2/4] b.kvs\n[3/4] c.kvs\n[4/4] d.kvs\n");
}

// Files of a folder by name, with their bytes.
std::map<std::string, std::string> FolderFiles(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(folder)) {
        std::ifstream in(entry.path(), std::ios::binary);
        files[entry.path().filename().string()] = std::string(std::istreambuf_iterator<char>(in), {});
    }
    return files;
}

TEST_F(Cli, ScriptsRunSideBySideGiveTheFilesAndOutputOfEachScriptRunAlone) {
    // A GIF with a picture leaves the ordered dither on for its thread; the next script's GIF
    // must not inherit it, whichever thread runs it and whatever ran there before.
    const std::string sky = (fs::path(KELVANE_TEST_DATA).parent_path().parent_path() /
                             "examples/pictures/sky.bmp").string();
    Write("picture.kvs", "Width = 60\nHeight = 40\nInitChart\nDrawImage \"" + sky +
                             "\", 0, 0, RGB(255, 255, 255), 100\nmakeChart \"picture.gif\"\nprint \"picture\"\n");
    const std::string bars = "Width = 200\nHeight = 150\nSerialBars = 2\nSerialItems = 1\nBarSpaceRate = 0.8\n"
                             "DrawBarMode = kvSingleColor\nInitChart\n"
                             "DrawBarChart 60, 6, 0\nFillColor = RGB(80, 160, 250)\nAddBarData \"a\", 35, 1, 1\n"
                             "AddBarData \"a\", 48, 2, 1\n";
    Write("plain.kvs", bars + "makeChart \"plain.bmp\"\nprint \"plain\"\nmakeChart \"plain.gif\"\n");
    Write("failing.kvs", "print \"before\"\nprint SaveBinary(Array())\n");
    Write("last.kvs", "print \"last\"\n");

    CliResult alone = RunKelvane({"-o", "alone", "plain.kvs"});
    ASSERT_EQ(alone.status, 0) << alone.err;
    std::map<std::string, std::string> reference;
    for (const char* jobs : {"1", "2", "4"}) {
        const std::string folder = std::string("jobs") + jobs;
        CliResult r = RunKelvane({"-j", jobs, "-o", folder, "picture.kvs", "plain.kvs", "failing.kvs", "last.kvs"});
        EXPECT_EQ(r.status, 1) << jobs;
        EXPECT_EQ(r.out, "picture\nplain\nbefore\nlast\n") << jobs;
        // plain.kvs warns once, at its first output, in its own place among the scripts' output.
        EXPECT_EQ(r.err, "[1/4] picture.kvs\n[2/4] plain.kvs\n"
                         "plain.kvs:12: warning: the legend extends past the right edge of the canvas; set "
                         "LegendWidth to at least 52 (it is 0)\n[3/4] failing.kvs\n"
                         "failing.kvs:2: SaveBinary: error 13: Type mismatch\n[4/4] last.kvs\n") << jobs;
        const std::map<std::string, std::string> files = FolderFiles(m_folder / folder);
        EXPECT_EQ(files.size(), 3u) << jobs;
        if (reference.empty()) reference = files;
        EXPECT_TRUE(files == reference) << "-j " << jobs << " wrote other bytes than -j 1";
        EXPECT_TRUE(files.at("plain.gif") == Read(m_folder / "alone/plain.gif")) << "-j " << jobs;
    }
}

TEST_F(Cli, TheCodePageHoldsForEveryScriptRunSideBySide) {
    // The title is placed by its width in bytes of the code page: each of its four letters is
    // two bytes in code page 936 and a question mark in 1252.
    for (const char* name : {"a", "b", "c"})
        Write(std::string(name) + ".kvs", "Width = 100\nHeight = 40\nInitChart\nDrawChartTiTle \"\xE4\xB8\xAD\xE6\x96\x87"
                                          "\xE4\xB8\xAD\xE6\x96\x87\"\nmakeChart \"" + std::string(name) + ".bmp\"\n");
    CliResult western = RunKelvane({"--codepage", "1252", "-j", "3", "-o", "western", "a.kvs", "b.kvs", "c.kvs"});
    CliResult chinese = RunKelvane({"-j", "3", "-o", "chinese", "a.kvs", "b.kvs", "c.kvs"});
    ASSERT_EQ(western.status, 0) << western.err;
    ASSERT_EQ(chinese.status, 0) << chinese.err;
    const std::string letter = Read(m_folder / "western/a.bmp");
    const std::string question = Read(m_folder / "chinese/a.bmp");
    EXPECT_TRUE(letter != question) << "the code page was not used";
    for (const char* name : {"b", "c"}) {
        EXPECT_TRUE(Read(m_folder / "western" / (std::string(name) + ".bmp")) == letter) << name;
        EXPECT_TRUE(Read(m_folder / "chinese" / (std::string(name) + ".bmp")) == question) << name;
    }
}

TEST_F(Cli, EachScriptGetsAFreshChart) {
    Write("first.kvs", "Width = 6\nHeight = 4\nInitChart\n");
    Write("second.kvs", "print SaveBinary(\"bmp\")\n");
    CliResult r = RunKelvane({"first.kvs", "second.kvs"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "\n") << "the second script's chart has no canvas";
}

TEST_F(Cli, OutputFolderIsCreatedAndReceivesRelativeFiles) {
    Write("s.kvs", "Width = 6\nHeight = 4\nInitChart\nmakeChart \"chart.bmp\"\n");
    CliResult r = RunKelvane({"-o", "out/nested", "s.kvs"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Read(m_folder / "out/nested/chart.bmp").substr(0, 2), "BM");
    EXPECT_FALSE(fs::exists(m_folder / "chart.bmp"));

    Write("t.kvs", "Width = 6\nHeight = 4\nInitChart\nsave SaveBinary(\"bmp\"), \"saved.bmp\"\n");
    CliResult longForm = RunKelvane({"--output=out2", "t.kvs"});
    EXPECT_EQ(longForm.status, 0) << longForm.err;
    EXPECT_TRUE(fs::exists(m_folder / "out2/saved.bmp"));
}

TEST_F(Cli, WithoutAnOutputFolderFilesGoToTheCurrentFolder) {
    Write("s.kvs", "Width = 6\nHeight = 4\nInitChart\nsave SaveBinary(\"bmp\"), \"here.bmp\"\n");
    CliResult r = RunKelvane({"s.kvs"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(fs::exists(m_folder / "here.bmp"));
}

TEST_F(Cli, AnOutputFolderThatCannotBeMadeIsAUsageError) {
    Write("s.kvs", "print 1\n");
    Write("file", "x");
    CliResult r = RunKelvane({"-o", "file", "s.kvs"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("cannot create output folder 'file'"), std::string::npos) << r.err;
}

TEST_F(Cli, ADoubleDashEndsTheOptions) {
    Write("-o", "print \"dash\"\n");
    CliResult r = RunKelvane({"--", "-o"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "dash\n");
}

TEST(Batch, OutputOfTasksThatFinishOutOfOrderIsShownInTaskOrderAsEachWroteIt) {
    // Task 0 cannot finish before task 1 has: the held output must still come first.
    std::promise<void> secondDone;
    std::shared_future<void> secondDoneFuture = secondDone.get_future().share();
    const kelvane::script::BatchTask task = [&](size_t i, std::ostream& out, std::ostream& err) {
        if (i == 0) secondDoneFuture.wait();
        out << "out" << i << ' ';
        err << "err" << i << ' ';
        out << "more" << i << '\n';
        if (i == 1) secondDone.set_value();
        return int(i);
    };
    std::ostringstream both;
    const kelvane::script::BatchAnnounce announce = [](size_t i, std::ostream& out, std::ostream&) {
        out << '[' << i << "] ";
    };
    const int worst = kelvane::script::RunBatch(3, 2, task, announce, both, both);
    EXPECT_EQ(worst, 2);
    EXPECT_EQ(both.str(), "[0] out0 err0 more0\n[1] out1 err1 more1\n[2] out2 err2 more2\n");
}

}  // namespace
