// Links that another user left in a sticky folder everyone may write to (as /tmp is): the writer
// follows them only as Linux does when fs.protected_symlinks is set, whatever that setting is on
// the machine. The links are planted by a child process that has become `nobody`, which needs root.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "file_output_support.h"
#include "file_write_support.h"
#include "format_report.h"

namespace kelvane {
namespace {

using test::contentsOf;
using test::entriesIn;
using test::entryOf;
using test::kNobody;

constexpr uid_t kRoot = 0;

class StickyLink : public test::TempFolderTest {
protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        if (!test::isRoot()) GTEST_SKIP() << "links of another user can only be planted by root";
        ASSERT_EQ(::chmod(dir.c_str(), 0755), 0);  // so that nobody may enter
        secret = dir + "/secret";
        // Root's private folder, where the planted links point.
        ASSERT_EQ(::mkdir(secret.c_str(), 0700), 0);
        test::putText(secret + "/private.bmp", "root's own");
        ASSERT_EQ(::chmod((secret + "/private.bmp").c_str(), 0600), 0);
    }

    // A new folder below the test's folder with the given permissions and owner.
    std::string makeFolder(const std::string& name, mode_t mode, uid_t owner) {
        const std::string folder = dir + "/" + name;
        EXPECT_EQ(::mkdir(folder.c_str(), 0700), 0);
        EXPECT_EQ(::chown(folder.c_str(), owner, owner), 0);
        EXPECT_EQ(::chmod(folder.c_str(), mode), 0);
        return folder;
    }

    // Makes the link `name` to `target`, owned by `owner`: nobody's is made by a process that
    // has become nobody.
    static bool plantLink(const std::string& target, const std::string& name, uid_t owner) {
        auto plant = [&] { return ::symlink(target.c_str(), name.c_str()) == 0 ? 0 : 1; };
        const int result = owner == kRoot ? plant() : test::withoutRoot(plant);
        return result == 0 && entryOf(name).st_uid == owner;
    }

    std::string secret;
};

TEST_F(StickyLink, ALinkOfAnotherUserInAStickyFolderOpenToAllIsNotFollowed) {
    struct Case {
        const char* what;
        mode_t folderMode;
        uid_t folderOwner, linkOwner;
        bool followed;
    };
    const Case cases[] = {
        {"nobody's link in root's sticky folder", 01777, kRoot, kNobody, false},
        {"root's own link in root's sticky folder", 01777, kRoot, kRoot, true},
        {"nobody's link in a folder open to all, not sticky", 0777, kRoot, kNobody, true},
        {"nobody's link in nobody's sticky folder", 01777, kNobody, kNobody, true},
    };
    // Each link of a case points into the secret folder: at a file there, at a name not made yet,
    // and at the folder itself, written below.
    struct Link {
        const char* name;
        const char* target;   // below the secret folder
        const char* written;  // the name written, below the case's folder
    };
    const Link links[] = {
        {"existing.bmp", "/private.bmp", "existing.bmp"},
        {"new.bmp", "/made.bmp", "new.bmp"},
        {"folder", "", "folder/through.bmp"},
    };
    int index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string folder = makeFolder("case" + std::to_string(index++), c.folderMode, c.folderOwner);
        for (const Link& link : links)
            ASSERT_TRUE(plantLink(secret + link.target, folder + "/" + link.name, c.linkOwner));
        for (const Link& link : links) {
            SCOPED_TRACE(link.written);
            bool opened = true;
            EXPECT_EQ(test::writeText(folder + "/" + link.written, c.what, &opened),
                      c.followed ? "" : std::strerror(EACCES));
            EXPECT_EQ(opened, c.followed);
        }
        const std::string privateBytes = contentsOf(secret + "/private.bmp");
        EXPECT_EQ(privateBytes, c.followed ? c.what : "root's own");
        EXPECT_EQ(entriesIn(secret), c.followed ? 3 : 1) << "the files made through the links";
        EXPECT_EQ(entriesIn(folder), 3) << "the links and nothing else";
        for (const Link& link : links) EXPECT_TRUE(S_ISLNK(entryOf(folder + "/" + link.name).st_mode));
        // Put the secret folder back as it was for the next case.
        std::filesystem::remove(secret + "/made.bmp");
        std::filesystem::remove(secret + "/through.bmp");
        test::putText(secret + "/private.bmp", "root's own");
    }
}

// Each format reports the refused link as it reports a file it cannot write, and writes nothing.
TEST_F(StickyLink, EachFormatReportsARefusedLinkAsAFileItCannotWrite) {
    const std::string folder = makeFolder("tmp", 01777, kRoot);
    for (const test::FormatReport& format : test::kFormats) {
        SCOPED_TRACE(format.extension);
        const std::string path = folder + "/chart." + format.extension;
        ASSERT_TRUE(plantLink(secret + "/private.bmp", path, kNobody));
        cChart chart;
        EXPECT_EQ(test::makeChartOfNewCanvas(chart, path), format.raised);
        const std::string reason = std::strerror(EACCES);
        EXPECT_EQ(chart.ErrorInfo(), format.errorInfo(reason));
        ASSERT_TRUE(chart.lastFileFailure());
        EXPECT_EQ(chart.lastFileFailure()->reason, reason);
        EXPECT_EQ(contentsOf(secret + "/private.bmp"), "root's own");
    }
    EXPECT_EQ(entriesIn(secret), 1);
    EXPECT_EQ(entriesIn(folder), 4);
}

}  // namespace
}  // namespace kelvane
