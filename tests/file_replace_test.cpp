// Replacing a picture file: what the new file keeps of the old one (permissions, owner, group;
// not other hard links), names as long as the folder allows, a writer killed midway, and a file
// in a folder that allows no replacement.
#include <gtest/gtest.h>
#include <fcntl.h>

#include <climits>
#include <iostream>

#include "file_output_support.h"
#include "file_write_support.h"

namespace kelvane {
namespace {

using test::contentsOf;
using test::entryOf;
using test::putText;
using test::writeText;

class FileReplace : public test::TempFolderTest {};

TEST_F(FileReplace, AReplacedFileKeepsItsPermissionsOwnerAndGroup) {
    struct Case {
        mode_t mode;
        uid_t owner;
        gid_t group;
    };
    std::vector<Case> cases = {{0600, geteuid(), getegid()}, {0640, geteuid(), getegid()},
                               {0444, geteuid(), getegid()}, {0604, geteuid(), getegid()}};
    if (test::isRoot())
        cases.push_back({0600, test::kNobody, test::kNobody});
    else
        std::cout << "[   NOTE   ] a file of another owner needs root: not tested\n";
    for (size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(testing::Message() << std::oct << c.mode << " " << std::dec << c.owner);
        const std::string path = dir + "/chart" + std::to_string(i) + ".bmp";
        putText(path, "old");
        ASSERT_EQ(::chown(path.c_str(), c.owner, c.group), 0);
        ASSERT_EQ(::chmod(path.c_str(), c.mode), 0);
        EXPECT_EQ(writeText(path, "new"), "");
        const struct stat now = entryOf(path);
        EXPECT_EQ(contentsOf(path), "new");
        EXPECT_EQ(now.st_mode & 07777, c.mode);
        EXPECT_EQ(now.st_uid, c.owner);
        EXPECT_EQ(now.st_gid, c.group);
    }
}

TEST_F(FileReplace, ANewFileGetsThePermissionsTheUserAllowsNewFiles) {
    const mode_t previous = ::umask(027);
    const std::string error = writeText(dir + "/new.bmp", "new");
    ::umask(previous);
    EXPECT_EQ(error, "");
    EXPECT_EQ(entryOf(dir + "/new.bmp").st_mode & 07777, 0640u);
}

// Replacing makes a new file under the name given, as deleting and writing the file did; other
// names of the old file keep the old bytes (a backup made of hard links stays a backup).
TEST_F(FileReplace, OtherHardLinksToTheOldFileKeepTheOldBytes) {
    putText(dir + "/chart.bmp", "old");
    ASSERT_EQ(::link((dir + "/chart.bmp").c_str(), (dir + "/backup.bmp").c_str()), 0);
    EXPECT_EQ(writeText(dir + "/chart.bmp", "new"), "");
    EXPECT_EQ(contentsOf(dir + "/chart.bmp"), "new");
    EXPECT_EQ(contentsOf(dir + "/backup.bmp"), "old");
    EXPECT_EQ(entryOf(dir + "/backup.bmp").st_nlink, 1u);
}

TEST_F(FileReplace, NamesAsLongAsTheFolderAllowsAreWrittenAndReplaced) {
    const long longest = ::pathconf(dir.c_str(), _PC_NAME_MAX);
    ASSERT_GT(longest, 30);
    // 22 bytes short of the longest is where a temporary name made from the file's name stopped.
    for (const long length : {longest - 22, longest - 21, longest}) {
        SCOPED_TRACE(length);
        const std::string path = dir + "/" + std::string(size_t(length) - 4, 'n') + ".gif";
        EXPECT_EQ(writeText(path, "first"), "");
        EXPECT_EQ(writeText(path, "second"), "");
        EXPECT_EQ(contentsOf(path), "second");
        std::filesystem::remove(path);
    }
    EXPECT_NE(writeText(dir + "/" + std::string(size_t(longest) + 1, 'n'), "x"), "");
    EXPECT_EQ(test::entriesIn(dir), 0);
}

// On a file system without unnamed files the new file is made under a temporary name, which
// fits beside the longest name and is gone after a failed write as after a good one.
TEST_F(FileReplace, WithoutUnnamedFilesATemporaryNameIsUsedAndRemoved) {
    const long longest = ::pathconf(dir.c_str(), _PC_NAME_MAX);
    const std::string path = dir + "/" + std::string(size_t(longest) - 4, 'n') + ".gif";
    putText(path, "old");
    ASSERT_EQ(::chmod(path.c_str(), 0600), 0);
    const int result = test::withoutUnnamedFiles([&] {
        if (::open(dir.c_str(), O_TMPFILE | O_WRONLY, 0600) >= 0 || errno != EOPNOTSUPP) return 1;
        std::string failed;
        test::underFileSizeLimit(2, [&] { failed = writeText(path, "longer than the limit"); });
        if (failed.empty() || contentsOf(path) != "old") return 2;
        if (writeText(path, "new") != "" || writeText(dir + "/new.bmp", "fresh") != "") return 3;
        return 0;
    });
    ASSERT_EQ(result, 0);
    EXPECT_EQ(contentsOf(path), "new");
    EXPECT_EQ(entryOf(path).st_mode & 07777, 0600u);
    EXPECT_EQ(contentsOf(dir + "/new.bmp"), "fresh");
    EXPECT_EQ(test::entriesIn(dir), 2) << "no temporary file is left";
}

// The writer is ended by the signal of its file size limit in the middle of writing.
TEST_F(FileReplace, AWriterKilledMidwayLeavesTheOldFileAndNothingElse) {
    const int probe = ::open(dir.c_str(), O_TMPFILE | O_WRONLY, 0600);
    if (probe < 0)
        GTEST_SKIP() << "this file system has no unnamed files: a writer killed midway leaves its "
                        "temporary file behind";
    ::close(probe);
    putText(dir + "/keep.bmp", "precious");
    for (const char* name : {"/keep.bmp", "/new.bmp"}) {
        SCOPED_TRACE(name);
        const pid_t child = fork();
        if (child == 0) {
            ::signal(SIGXFSZ, SIG_DFL);
            const rlimit small{4096, 4096};
            ::setrlimit(RLIMIT_FSIZE, &small);
            writeText(dir + name, std::string(100000, 'x'));
            _exit(0);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ) << status;
        EXPECT_EQ(contentsOf(dir + "/keep.bmp"), "precious");
        EXPECT_EQ(test::entriesIn(dir), 1);
    }
}

// Written in place instead, as the owner of the file allows, with the all-or-nothing promise
// kept for failed writes: a size limit that stops the claim for a longer file, and one that
// stops the writing of a shorter file partway.
TEST_F(FileReplace, AFileInAFolderThatAllowsNoReplacementIsWrittenInPlace) {
    struct Case {
        const char* what;
        mode_t folderMode;
        bool needsRoot;  // the file must belong to someone else than the writer
    };
    const Case cases[] = {
        {"folder not writable", 0555, false},
        {"sticky folder, file of another user", 01777, true},
    };
    ::chmod(dir.c_str(), 0755);  // so that the writer may enter when it is not root
    const std::string old = "precious old bytes";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.needsRoot && !test::isRoot()) {
            std::cout << "[   NOTE   ] " << c.what << " needs root: not tested\n";
            continue;
        }
        const std::string folder = dir + "/" + std::to_string(c.folderMode);
        const std::string path = folder + "/chart.bmp";
        std::filesystem::create_directory(folder);
        putText(path, old);
        ASSERT_EQ(::chmod(path.c_str(), 0666), 0);
        ASSERT_EQ(::chmod(folder.c_str(), c.folderMode), 0);
        const ino_t inode = entryOf(path).st_ino;
        auto writes = [&](const std::string& name, const std::string& text, rlim_t limit) {
            return test::withoutRoot([&] {
                std::string error;
                test::underFileSizeLimit(limit, [&] { error = writeText(name, text); });
                return error.empty() ? 0 : 1;
            });
        };

        EXPECT_EQ(writes(path, std::string(100, 'L'), 50), 1);
        EXPECT_EQ(contentsOf(path), old);
        EXPECT_EQ(writes(path, "short new", 4), 1);
        EXPECT_EQ(contentsOf(path), old);
        for (const std::string text : {"new", "a longer text than the old bytes were"}) {
            EXPECT_EQ(writes(path, text, RLIM_INFINITY), 0);
            EXPECT_EQ(contentsOf(path), text);
        }
        EXPECT_EQ(entryOf(path).st_ino, inode) << "the same file";
        EXPECT_EQ(entryOf(path).st_mode & 07777, 0666u);
        if (c.folderMode == 0555) {
            EXPECT_EQ(writes(folder + "/new.bmp", "x", RLIM_INFINITY), 1);
        }
        EXPECT_EQ(test::entriesIn(folder), 1);
        ::chmod(folder.c_str(), 0755);
    }
}

}  // namespace
}  // namespace kelvane
