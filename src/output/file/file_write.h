// Writes a whole file or nothing: the bytes go to a new file in the target's folder, which
// replaces the target only once everything was written and flushed.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>

namespace kelvane {

// Empty when the file now holds exactly the given parts, in order; otherwise the reason it
// could not be written. On failure an existing file of that name is left as it was.
//
// A name that is a symbolic link writes the file the link points to, except for a link that
// another user left in a sticky folder everyone may write to (such as /tmp), which is refused
// with "Permission denied" unless it belongs to the folder's owner. An existing file must be
// a regular file: a device, a pipe or a socket of that name is refused and left alone. The new
// file takes over the permissions of the file it replaces (less set-user-ID and set-group-ID),
// its access control list and `user.` extended attributes, and its owner and group as far as
// this process may set them; other hard links to the old file keep the old bytes. It is made
// without a name and linked in once complete where the file system allows that, else under a
// short temporary name beside the target (so a process killed midway can leave that behind).
// An existing file in a folder that allows no replacement (not writable, or sticky and the
// file someone else's) is overwritten in place instead; a failed write there puts the old bytes
// back.
//
// When `opened` is given it tells whether the failure came from the writing rather than from
// the name or the folder: it is true once a file was created or opened for writing, and for an
// existing target that is not a regular file.
std::string writeFileReplacing(const std::string& path,
                               std::initializer_list<std::span<const uint8_t>> parts,
                               bool* opened = nullptr);

}  // namespace kelvane
