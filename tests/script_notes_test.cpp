// The notes a script's failure messages carry: the file an output could not write and the
// system's reason, and which line's call ended the canvas an output needed.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "bmp_file.h"
#include "interpreter.h"

namespace kelvane::script {
namespace {

namespace fs = std::filesystem;

class ScriptNotes : public ::testing::Test {
protected:
    void SetUp() override { m_folder = test::tempDir(); }
    void TearDown() override { fs::remove_all(m_folder); }

    // The script's messages on standard error; files go to the test's folder.
    std::string ErrorsOf(const std::string& text) const {
        cChart chart;
        std::ostringstream out, err;
        RunScript(text, chart, RunOptions{"s.kvs", m_folder}, out, err);
        return err.str();
    }
    std::string InFolder(const std::string& name) const { return (fs::path(m_folder) / name).string(); }

    std::string m_folder;
};

constexpr std::string_view kCanvas = "On Error Resume Next\nWidth = 8\nHeight = 6\nInitChart\n";

TEST_F(ScriptNotes, AFileAnOutputCannotWriteIsNamedWithTheSystemsReason) {
    std::ofstream(InFolder("plain")) << "a file, not a folder";
    const struct {
        const char* name;
        const char* reason;
    } kinds[] = {
        {"no/such/folder/chart.", "No such file or directory"},
        {"plain/chart.", "Not a directory"},
    };
    for (const auto& kind : kinds) {
        const std::string stem = InFolder(kind.name);
        const std::string reason = kind.reason;
        const struct {
            const char* extension;
            std::string message;
        } formats[] = {
            {"bmp", "Unexpected error Saving BMP file ('" + stem + "bmp': " + reason + ")"},
            {"png", "Unexpected error Saving PNG file: " + reason + " ('" + stem + "png')"},
            {"jpg", "error 75: Path/File access error ('" + stem + "jpg': " + reason + ")"},
            {"gif", "error 75: Path/File access error ('" + stem + "gif': " + reason + ")"},
        };
        for (const auto& format : formats) {
            SCOPED_TRACE(stem + format.extension);
            EXPECT_EQ(ErrorsOf(std::string(kCanvas) + "makeChart \"" + kind.name + format.extension + "\"\n"),
                      "s.kvs:5: makeChart: " + format.message + "\n");
        }
    }
}

TEST_F(ScriptNotes, AnOutputWithoutCanvasNamesTheLineAndCallThatEndedIt) {
    const std::string again = "; call InitChart for a new one)\n";
    const struct {
        const char* ending;  // on line 5
        std::string note;
    } ends[] = {
        {"save SaveBinary(\"bmp\"), \"a.bmp\"", "(the canvas was handed over by SaveBinary(\"bmp\") on line 5" + again},
        {"save SaveBinary(\"gif\"), \"a.gif\"", "(the canvas was handed over by SaveBinary(\"gif\") on line 5" + again},
        {"makeChart \"a.jpg\"", "(the canvas was released by makeChart(\"" + InFolder("a.jpg") + "\") on line 5" + again},
        {"makeChart \"a.gif\"", "(the canvas was handed over by makeChart(\"" + InFolder("a.gif") + "\") on line 5" + again},
        {"Destroy", "(the canvas was released by Destroy on line 5" + again},
    };
    for (const auto& end : ends) {
        SCOPED_TRACE(end.ending);
        const std::string script = std::string(kCanvas) + end.ending + "\nprint 1\n";
        EXPECT_EQ(ErrorsOf(script + "makeChart \"b.png\"\n"),
                  "s.kvs:7: makeChart: Unexpected error Saving PNG file: the chart has no canvas " + end.note);
        EXPECT_EQ(ErrorsOf(script + "save SaveBinary(\"bmp\"), \"b.bmp\"\n"),
                  "s.kvs:7: save: nothing written to '" + InFolder("b.bmp") + "': SaveBinary(\"bmp\") made no picture " +
                      end.note);
    }
}

TEST_F(ScriptNotes, AnOutputBeforeAnyCanvasSaysToCallInitChart) {
    EXPECT_EQ(ErrorsOf("makeChart \"a.bmp\"\n"),
              "s.kvs:1: makeChart: Unexpected error Saving BMP file (InitChart was never called; call InitChart first)\n");
    EXPECT_EQ(ErrorsOf("On Error Resume Next\nWidth = -1\nInitChart\nmakeChart \"a.jpg\"\n"),
              "s.kvs:3: InitChart: Canvas could not be created\n"
              "s.kvs:4: makeChart: Unexpected error Saving JPEG: the chart has no canvas"
              " (InitChart on line 3 could not create the canvas; check Width and Height)\n");
}

TEST_F(ScriptNotes, OnlyTheFirstMessageOfAnOutputCarriesTheNote) {
    EXPECT_EQ(ErrorsOf(std::string(kCanvas) + "Destroy\nmakeChart \"b.gif\"\n"),
              "s.kvs:6: makeChart: Unexpected error Createing Gif DIB"
              " (the canvas was released by Destroy on line 5; call InitChart for a new one)\n"
              "s.kvs:6: makeChart: 0Unexpected error savig GIF image\n");
}

}  // namespace
}  // namespace kelvane::script
