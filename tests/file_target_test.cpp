// What a picture file's name may stand for: a folder, a device or a pipe is refused and left as
// it was, by every format in its own way; a symbolic link is written through to its target.
#include <gtest/gtest.h>

#include <iostream>
#include <vector>

#include "error_raised.h"
#include "file_output_support.h"
#include "file_write_support.h"
#include "kelvane/cChart.h"

namespace kelvane {
namespace {

using test::entryOf;

class FileTarget : public test::TempFolderTest {
protected:
    // A fresh folder for one case of a table.
    std::string caseFolder(int index) {
        const std::string folder = dir + "/case" + std::to_string(index);
        std::filesystem::create_directory(folder);
        return folder;
    }
};

bool canMake(const test::SpecialEntry& entry) {
    if (!entry.needsRoot || test::isRoot()) return true;
    std::cout << "[   NOTE   ] a " << entry.what << " can only be made by root: not tested\n";
    return false;
}

TEST_F(FileTarget, FoldersDevicesAndPipesAreRefusedAndLeftAlone) {
    int index = 0;
    for (const test::SpecialEntry& entry : test::kSpecialEntries) {
        SCOPED_TRACE(entry.what);
        if (!canMake(entry)) continue;
        const std::string folder = caseFolder(index++);
        const std::string path = folder + "/chart.bmp";
        ASSERT_TRUE(entry.make(path));
        const struct stat before = entryOf(path);
        ASSERT_EQ(::symlink("chart.bmp", (folder + "/link.bmp").c_str()), 0);

        for (const char* name : {"/chart.bmp", "/link.bmp"}) {
            SCOPED_TRACE(name);
            bool opened = false;
            EXPECT_NE(test::writeText(folder + name, "new", &opened), "");
            // A folder cannot be opened for writing; a device or a pipe could, and is refused.
            EXPECT_EQ(opened, entry.type != S_IFDIR);
        }
        const struct stat after = entryOf(path);
        EXPECT_EQ(after.st_mode, before.st_mode);
        EXPECT_EQ(after.st_ino, before.st_ino);
        EXPECT_EQ(after.st_rdev, before.st_rdev);
        EXPECT_TRUE(S_ISLNK(entryOf(folder + "/link.bmp").st_mode));
        EXPECT_EQ(test::entriesIn(folder), 2) << "nothing else is made";
    }
}

// Each format reports a refused name as it reports a write that failed.
TEST_F(FileTarget, EachFormatReportsARefusedNameAsAFailedWrite) {
    struct Format {
        const char* name;
        int32_t raised;
        const char* errorInfo;
    };
    const Format formats[] = {
        {"chart.bmp", 0, "Unexpected error Saving BMP file\r\n"},
        {"chart.jpg", 75, ""},
        {"chart.gif", 0, "57Device I/O errorUnexpected error savig GIF image\r\n"},
    };
    int index = 0;
    for (const test::SpecialEntry& entry : test::kSpecialEntries) {
        if (entry.type == S_IFDIR || !canMake(entry)) continue;
        for (const Format& format : formats) {
            SCOPED_TRACE(std::string(entry.what) + " named " + format.name);
            const std::string path = caseFolder(index++) + "/" + format.name;
            ASSERT_TRUE(entry.make(path));
            cChart chart;
            chart.Width(40);
            chart.Height(30);
            chart.InitChart();
            EXPECT_EQ(test::errorRaisedBy([&] { chart.makeChart(path); }), format.raised);
            EXPECT_EQ(chart.ErrorInfo(), format.errorInfo);
            EXPECT_EQ(entryOf(path).st_mode & S_IFMT, entry.type);
        }
    }
}

TEST_F(FileTarget, ALinkIsWrittenThroughToTheFileItPointsTo) {
    struct Link {
        const char* name;
        const char* target;  // a target starting with '/' is taken below the case's folder
    };
    struct Case {
        const char* what;
        std::vector<Link> links;
        const char* written;  // the file that then holds the bytes; null when the name is refused
        bool writtenExists;
    };
    const Case cases[] = {
        {"relative link", {{"chart.gif", "real.gif"}}, "real.gif", true},
        {"absolute link", {{"chart.gif", "/real.gif"}}, "real.gif", true},
        {"link to a link", {{"chart.gif", "middle.gif"}, {"middle.gif", "real.gif"}}, "real.gif", true},
        {"link into a subfolder", {{"chart.gif", "sub/real.gif"}}, "sub/real.gif", true},
        {"link out of a subfolder", {{"sub/chart.gif", "../real.gif"}}, "real.gif", true},
        {"link to a file not made yet", {{"chart.gif", "real.gif"}}, "real.gif", false},
        {"links in a circle", {{"chart.gif", "other.gif"}, {"other.gif", "chart.gif"}}, nullptr, false},
    };
    int index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string folder = caseFolder(index++);
        std::filesystem::create_directory(folder + "/sub");
        if (c.written && c.writtenExists) test::putText(folder + "/" + c.written, "old bytes");
        for (const Link& link : c.links) {
            const std::string target = link.target[0] == '/' ? folder + link.target : link.target;
            ASSERT_EQ(::symlink(target.c_str(), (folder + "/" + link.name).c_str()), 0);
        }
        const std::string error = test::writeText(folder + "/" + c.links[0].name, "new bytes");
        if (c.written) {
            EXPECT_EQ(error, "");
            EXPECT_EQ(test::contentsOf(folder + "/" + c.written), "new bytes");
        } else {
            EXPECT_NE(error, "");
        }
        for (const Link& link : c.links) EXPECT_TRUE(S_ISLNK(entryOf(folder + "/" + link.name).st_mode));
        EXPECT_EQ(test::entriesIn(folder) + test::entriesIn(folder + "/sub"),
                  int(c.links.size()) + (c.written ? 2 : 1))
            << "the links, the file written and the subfolder, and nothing else";
    }
}

}  // namespace
}  // namespace kelvane
