#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace quill {

class RecordFiles;
class Session;
struct LogonContext;
struct ProgramValues;
struct TypeTables;

// Whether a folder or document whose RIGHTS text is rights is shown to the
// logged-on user: always to administrators, to everybody when the text is
// empty, and otherwise only when it names the user. This is what the tree,
// the lists, find, printing and the tasks show, not a protection: the
// files stay readable to whoever may read the share.
bool rightsAdmit(const ProgramValues& program, std::string_view rights);

// Whether a file's "RIGHTS" count: only records of a type the data point
// defines carry any; a file of an unknown kind would read as the first
// type, and whatever stands on the line of its RIGHTS is nobody's rights.
bool recordCarriesRights(const TypeTables& tables, std::string_view file);

// The "RIGHTS" of the record at file; "" when it is no record of a type the
// data point defines (see recordCarriesRights) or cannot be read. A folder
// without a readable record is no folder of the tree and restricts nothing
// either.
std::string recordRights(const RecordFiles& records, const TypeTables& tables, std::string_view file);

// Whether the folder records of directory and of every folder above it,
// up to the data point (or its root or users root), admit the user.
bool foldersAdmit(Session& session, std::string_view directory);

// The "RIGHTS" of folder records, by comparable folder path.
using FolderRightsTexts = std::unordered_map<std::string, std::string>;

// Where the chain of folder records that foldersAdmit follows upwards
// ends: the data point, its root and its users root, comparable.
std::vector<std::string> rightsPlaces(const LogonContext& context);
// The directory whose folder record counts next above directory (whose
// comparable form is given); empty where the chain ends.
std::string rightsParent(const std::string& directory, const std::string& comparable,
                         const std::vector<std::string>& places);

// While one lives, foldersAdmit reads each folder record once and answers
// from what it read: a walk over many documents in few folders otherwise
// reads the same records again and again. For one operation at a time; a
// cache made while another lives leaves that one in charge.
class FolderRightsCache {
public:
    explicit FolderRightsCache(Session& session);
    // Starting from the "RIGHTS" of folder records already read (by
    // comparable folder path), which are not read again.
    FolderRightsCache(Session& session, FolderRightsTexts texts);
    ~FolderRightsCache();
    FolderRightsCache(const FolderRightsCache&) = delete;
    FolderRightsCache& operator=(const FolderRightsCache&) = delete;

private:
    Session& session_;
    bool owner_ = false;
};

// Whether the document or folder at path is shown to the user: a
// document's own RIGHTS and the folders it lies in must admit the user.
bool isVisibleToUser(Session& session, std::string_view path);

} // namespace quill
