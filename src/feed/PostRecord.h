#pragma once

// Reading a post as the service sent it (or as the cache gave it back): values may be
// texts or numbers, nested values lists and dictionaries, and keys may be missing or of
// another type. Nothing here throws, whatever the record holds.

#include "platform/Values.h"

#include <initializer_list>
#include <string>

namespace post {

using platform::Json;

// Missing, JSON null, the empty text or "<null>".
bool isBlank(const Json& value);
// The same, and "(null)" too.
bool isBlankOrNullText(const Json& value);
// The "%@" text of record[key].
std::string text(const Json& record, const std::string& key);
// record[key] when it is a list; an empty list otherwise.
const Json& listOf(const Json& record, const std::string& key);
// record[key] when it is a dictionary; an empty dictionary otherwise.
const Json& objectOf(const Json& record, const std::string& key);

// The post was written by the signed-in user (uids compared by integer value).
bool isOwn(const Json& record, const std::string& userId);
// The signed-in user praised it: "love" not blank, not "(null)" and not 0, and a likeCount
// other than "0".
bool isPraised(const Json& record);
// The Chinese key of the visibility label of an own post for the viewer's role; empty
// for a perm below 0, above 4 or the student's first entry.
std::string visibilityKey(const Json& record, const std::string& viewerRole);
// What the cell draws as the post's text: for "class_album" the title and the content as
// list items (each when not blank), otherwise the content; empty when blank.
std::string bodyText(const Json& record);

// Ids in lists and notifications: a post matches an id when its "id" reads the same as
// text, or, when both are numbers, as 64-bit integers.
bool hasId(const Json& record, const std::string& id);

// A value that may name a file or a path segment: letters, digits, "_", "-" and "." only,
// not starting with ".", at most 100 characters. Ids, types and picture names from the
// service are checked with it before they name files.
bool isPlainName(const std::string& text);

// Files of a downloaded voice in the download folder: "audio<id>" as it came (AMR) and
// "audio<id>.wav", the converted voice that plays.
std::string voiceFile(const std::string& resourceId);
std::string wavFile(const std::string& resourceId);

// The attachments of a post split by kind, in list order.
struct Attachments {
    Json pictures = Json::array();
    Json voices = Json::array();
    Json files = Json::array();
};
Attachments splitAttachments(const Json& record);

// A format with "%@" and "%d" placeholders filled in order with the texts given.
std::string fill(std::string format, std::initializer_list<std::string> arguments);

// How post markup is turned into the HTML the text view shows.
struct TextConversion {
    // Key whose presence adds the "显示更多" suffix ("more" or "sharemore"), or none.
    const char* suffixKey = nullptr;
    // True: the key's presence alone counts; false: its "%@" text must not be empty.
    bool suffixByPresence = false;
    // Size of the emoticon pictures ("[em:N:]").
    int faceSize = 16;
    // Also turn the service's face pictures ("<img src="http://…/static/images/face/N.gif"
    // class="face">") into emoticons (forwarded text).
    bool servicePictures = false;
};
// The markup with its suffix, emoticons and "</br>" lines converted.
std::string convertText(const std::string& markup, const Json& record, const TextConversion& conversion);

}  // namespace post
