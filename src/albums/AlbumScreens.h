#pragma once

// How the album screens open one another: the photo upload, and album create and edit.

#include "platform/Values.h"

#include <memory>
#include <string>

namespace platform {
class ViewController;
}

namespace albums {

// The Apps tab's "班级相册": for a user in a class, presents the class album as the root of a
// new navigation controller; for one in no class, the join-a-class alert instead.
void presentClassAlbum(platform::ViewController& from);

// Pushes the photo upload screen onto `from`'s stack, aimed at the album given (all empty:
// the user chooses one).
void openUploadScreen(platform::ViewController& from, const std::string& albumName, const std::string& albumId,
                      const std::string& fieldId, const std::string& forumId);
// Pushes the album create screen; `marker` "upNewAlbum" when the chooser opens it.
void openCreateAlbumScreen(platform::ViewController& from, const std::string& marker);
// Pushes the create screen for a group album.
void openGroupCreateAlbumScreen(platform::ViewController& from, const std::string& forumId, const std::string& fieldId);
// Pushes the album edit screen on the album's own record (changed in place by a group edit).
void openEditAlbumScreen(platform::ViewController& from, std::shared_ptr<platform::Json> album,
                         const std::string& forumId, const std::string& fieldId);

}  // namespace albums
