// End-to-end tests of the kelvane command: options, exit statuses, output streams and files,
// run on small scripts in a temporary folder.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>

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

    // Runs the command in the test's folder with the given arguments (no shell quoting needed).
    CliResult RunKelvane(std::initializer_list<std::string> args) const {
        std::string command = "cd '" + m_folder.string() + "' && '" KELVANE_CLI_PATH "'";
        for (const std::string& arg : args) command += " '" + arg + "'";
        command += " >stdout.txt 2>stderr.txt </dev/null";
        int raw = std::system(command.c_str());
        CliResult r;
        r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        r.out = Read(m_folder / "stdout.txt");
        r.err = Read(m_folder / "stderr.txt");
        fs::remove(m_folder / "stdout.txt");
        fs::remove(m_folder / "stderr.txt");
        return r;
    }

    fs::path m_folder;
};

TEST_F(Cli, HelpPrintsUsageOnStandardOutput) {
    CliResult r = RunKelvane({"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("Usage: kelvane [options] SCRIPT...", 0), 0u) << r.out;
    EXPECT_NE(r.out.find("--output"), std::string::npos);
    EXPECT_NE(r.out.find("Exit status:\n  0  every script ran to its end"), std::string::npos) << r.out;
    EXPECT_EQ(r.err, "");
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
    EXPECT_EQ(r.err, "empty.kvs:5: makeChart: error 9: Subscript out of range\n");
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
                        "jpg, jpeg or gif\n");
    CliResult resumed = RunKelvane({"resumed.kvs"});
    EXPECT_EQ(resumed.status, 0);
    EXPECT_EQ(resumed.err, "resumed.kvs:2: makeChart: Unexpected error Saving BMP file\n"
                           "resumed.kvs:3: makeChart: nothing written to 'c.tiff': the name does not end in bmp, "
                           "jpg, jpeg or gif\n");
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

}  // namespace
