// What a replaced picture keeps of the old file beyond its permissions and owner: its access
// control list and the user's extended attributes, but no file capabilities and no set-user-ID
// or set-group-ID bits; whether the new file was made without a name or under a temporary one.
#include <gtest/gtest.h>
#include <sys/xattr.h>

#include <cstdint>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "file_output_support.h"
#include "file_write_support.h"

namespace kelvane {
namespace {

using test::entryOf;

// The two ways a replacement is made: a file without a name, or one under a temporary name on a
// file system that has no unnamed files.
struct Way {
    const char* what;
    bool unnamed;
};
constexpr Way kWays[] = {{"unnamed file", true}, {"temporary name", false}};

// Replaces `path` with `text` the given way; true when that worked.
bool replace(const std::string& path, const std::string& text, const Way& way) {
    auto write = [&] { return test::writeText(path, text).empty() ? 0 : 1; };
    return (way.unnamed ? write() : test::withoutUnnamedFiles(write)) == 0;
}

// The value of an extended attribute, or nothing when the file has none of that name.
std::optional<std::string> attributeOf(const std::string& path, const char* name) {
    char value[4096];
    const ssize_t size = ::lgetxattr(path.c_str(), name, value, sizeof value);
    if (size < 0) return std::nullopt;
    return std::string(value, size_t(size));
}

// Little-endian bytes, as the system keeps access lists and capabilities.
void appendLittleEndian(std::string& bytes, uint32_t value, int width) {
    for (int i = 0; i < width; ++i) bytes.push_back(char((value >> (8 * i)) & 0xFF));
}

// An access control list letting the user nobody read a file of mode 0640 that only its owner
// and group could read otherwise: a version, then entries of tag, permissions and id.
std::string accessListLettingNobodyRead() {
    constexpr uint32_t kNoId = 0xFFFFFFFF;
    const struct {
        uint16_t tag, permissions;
        uint32_t id;
    } entries[] = {{0x01, 6, kNoId}, {0x02, 4, test::kNobody}, {0x04, 4, kNoId}, {0x10, 4, kNoId}, {0x20, 0, kNoId}};
    std::string bytes;
    appendLittleEndian(bytes, 2, 4);
    for (const auto& entry : entries) {
        appendLittleEndian(bytes, entry.tag, 2);
        appendLittleEndian(bytes, entry.permissions, 2);
        appendLittleEndian(bytes, entry.id, 4);
    }
    return bytes;
}

// File capabilities granting the right to bind low ports to whoever runs the file.
std::string capabilityToBindLowPorts() {
    constexpr uint32_t kRevision2 = 0x02000000, kEffective = 1, kBindService = 1u << 10;
    std::string bytes;
    for (const uint32_t word : {kRevision2 | kEffective, kBindService, 0u, 0u, 0u}) appendLittleEndian(bytes, word, 4);
    return bytes;
}

class FileAttributes : public test::TempFolderTest {};

TEST_F(FileAttributes, AReplacedFileKeepsItsAccessListAndUserAttributesButNoCapabilities) {
    struct Attribute {
        const char* name;
        std::string value;
        bool kept;
        bool needsRoot;
    };
    const Attribute attributes[] = {
        {"user.note", "drawn for the weekly report", true, false},
        {"user.empty", "", true, false},
        {"system.posix_acl_access", accessListLettingNobodyRead(), true, false},
        {"security.capability", capabilityToBindLowPorts(), false, true},
    };
    int index = 0;
    for (const Way& way : kWays) {
        for (const Attribute& attribute : attributes) {
            SCOPED_TRACE(std::string(way.what) + ", " + attribute.name);
            if (attribute.needsRoot && !test::isRoot()) {
                std::cout << "[   NOTE   ] " << attribute.name << " can only be set by root: not tested\n";
                continue;
            }
            const std::string path = dir + "/chart" + std::to_string(index++) + ".png";
            test::putText(path, "old");
            ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
            if (::setxattr(path.c_str(), attribute.name, attribute.value.data(), attribute.value.size(), 0) != 0) {
                if (errno == ENOTSUP)
                    GTEST_SKIP() << "the file system of " << dir << " holds no " << attribute.name
                                 << " attributes: set TMPDIR to a folder on one that does (ext4, or tmpfs "
                                    "on Linux 6.6 or later)";
                FAIL() << "could not set " << attribute.name << ": " << std::strerror(errno);
            }
            ASSERT_TRUE(replace(path, "new", way));
            EXPECT_EQ(test::contentsOf(path), "new");
            if (attribute.kept)
                EXPECT_EQ(attributeOf(path, attribute.name), attribute.value);
            else
                EXPECT_EQ(attributeOf(path, attribute.name), std::nullopt);
            EXPECT_EQ(entryOf(path).st_mode & 07777, 0640u);
        }
    }
}

// A picture is never a program: the bits that would run it with its owner's or group's rights
// are dropped, the rest of the permissions kept.
TEST_F(FileAttributes, APictureNeverTakesTheSetUserOrSetGroupIdBits) {
    struct Case {
        mode_t old, picture;
        uid_t owner;
    };
    std::vector<Case> cases = {{04755, 0755, geteuid()}, {02750, 0750, geteuid()}, {06711, 0711, geteuid()},
                               {0755, 0755, geteuid()}};
    if (test::isRoot()) cases.push_back({04755, 0755, test::kNobody});
    int index = 0;
    for (const Way& way : kWays) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << way.what << " " << std::oct << c.old << " " << std::dec << c.owner);
            const std::string path = dir + "/chart" + std::to_string(index++) + ".gif";
            test::putText(path, "old");
            ASSERT_EQ(::chown(path.c_str(), c.owner, uid_t(-1)), 0);
            ASSERT_EQ(::chmod(path.c_str(), c.old), 0);
            ASSERT_TRUE(replace(path, "new", way));
            EXPECT_EQ(entryOf(path).st_mode & 07777, c.picture);
            EXPECT_EQ(entryOf(path).st_uid, c.owner);
        }
    }
}

}  // namespace
}  // namespace kelvane
