#include "datapoint/WorkingCopy.h"

#include "platform/AtomicFile.h"
#include "platform/FileSystem.h"
#include "platform/FolderTree.h"
#include "platform/OwnedDirectory.h"
#include "platform/Paths.h"
#include "platform/Result.h"
#include "platform/TextUtil.h"
#include "platform/Ui.h"

namespace quill {
namespace {

constexpr std::size_t kMaxManifestBytes = 64 * 1024 * 1024;

std::string localResources(const WorkingCopyPlaces& places) {
    return path::withoutTrailingSeparator(places.settings.resourceDirectory);
}

void collectManifest(const std::string& directory, const std::string& relative, ResourceManifest& manifest) {
    const auto entries = fs::list(directory);
    if (!entries)
        return;
    for (const fs::Entry& entry : *entries) {
        const std::string rel = relative + entry.name;
        const std::string full = path::join(directory, entry.name);
        if (entry.isSymlink || entry.name == kOwnedDirectoryMark)
            continue;
        if (entry.isDirectory) {
            manifest[rel + "/"] = 0;
            collectManifest(full, rel + "/", manifest);
        } else {
            manifest[rel] = fs::modificationTime(full);
        }
    }
}

Status writeManifest(const std::string& resourceDirectory, const ResourceManifest& manifest) {
    std::string content;
    for (const auto& [rel, time] : manifest)
        content += std::to_string(time) + "\t" + rel + "\n";
    return replaceFile(resourceManifestPath(resourceDirectory), content);
}

// A manifest that could not be replaced must not stay as it was: it would
// still list names deleted since, and the next upload would delete a file
// someone else has added under such a name. Without one, the next upload
// deletes nothing, which is the safe side.
void keepManifestOrNone(const std::string& resourceDirectory, const ResourceManifest& manifest) {
    if (writeManifest(resourceDirectory, manifest))
        return;
    ignoreOutcome(fs::removeFile(resourceManifestPath(resourceDirectory)));
}

// Both ends must be there: pruning against a data point that cannot be
// reached would empty the local copy, and the user's unsent groups and
// templates with it.
bool bothEndsPresent(const WorkingCopyPlaces& places) {
    return !places.settings.resourceDirectory.empty() && !places.sharedResources.empty() &&
           fs::isDirectory(places.sharedResources);
}

SyncResult download(const WorkingCopyPlaces& places) {
    SyncResult result;
    if (!bothEndsPresent(places))
        return result;
    const std::string local = localResources(places);
    // Mirroring into a directory of others' files would overwrite them, and
    // the prune would delete the rest.
    if (!claimOwnedDirectory(local))
        return result;
    result.linksSkipped += mirrorTree(places.sharedResources, local);
    result.linksSkipped += pruneTree(local, places.sharedResources);
    ResourceManifest manifest;
    collectManifest(local, "", manifest);
    keepManifestOrNone(local, manifest);
    result.done = true;
    return result;
}

// Copies what changed here since the last download from local into shared.
void uploadChanges(const std::string& local, const std::string& shared, const std::string& relative,
                   ResourceManifest& manifest, SyncResult& result) {
    result.linksSkipped += walkTreeBeside(local, shared, [&](const SyncedFile& file) {
        const std::string rel = relative + file.relative;
        const bool differs = !file.toTime || !sameFileTime(file.fromTime, *file.toTime);
        const auto known = manifest.find(rel);
        const bool changedHere = known == manifest.end() || !sameFileTime(file.fromTime, known->second);
        if (!differs || !changedHere)
            return;
        fs::createDirectories(path::directory(file.to));
        if (fs::copyFile(file.from, file.to))
            manifest[rel] = file.fromTime;
    });
}

// Deletes from shared what was downloaded and has since been deleted here.
void pruneDeletions(const std::string& shared, const std::string& local, const std::string& relative,
                    ResourceManifest& manifest, SyncResult& result) {
    const auto entries = fs::list(shared);
    if (!entries)
        return;
    for (const fs::Entry& entry : *entries) {
        const std::string item = path::join(shared, entry.name);
        const std::string counterpart = path::join(local, entry.name);
        const std::string rel = relative + entry.name;
        if (entry.isSymlink) {
            ++result.linksSkipped;
            continue;
        }
        if (entry.isDirectory) {
            pruneDeletions(item, counterpart, rel + "/", manifest, result);
            const auto remaining = fs::list(item);
            if (!fs::isDirectory(counterpart) && manifest.count(rel + "/") && remaining && remaining->empty()) {
                ignoreOutcome(fs::removeAll(item));
                manifest.erase(rel + "/");
            }
        } else if (!fs::exists(counterpart) && manifest.count(rel)) {
            if (fs::removeFile(item))
                manifest.erase(rel);
        }
    }
}

// Writes the user's templates, file templates and own resources back.
SyncResult upload(const WorkingCopyPlaces& places) {
    SyncResult result;
    if (!bothEndsPresent(places))
        return result;
    const std::string local = localResources(places);
    const std::string shared = places.sharedResources;
    // Without a local copy, or without knowing what the last download
    // brought, every difference would look like a deletion made here. A
    // directory the program did not make is no local copy: its files would
    // end up on the share.
    if (!isOwnedDirectory(local))
        return result;
    ResourceManifest manifest = readResourceManifest(local);
    if (manifest.empty())
        return result;
    for (const char* sub : {"Templates", "FileTemplates"})
        uploadChanges(path::join(local, sub), path::join(shared, sub), std::string(sub) + "/", manifest, result);
    // The user's own subtree is written by nobody else: what changed here
    // replaces the data point's, and what was deleted here goes there too.
    const std::string own = places.ownSubtree;
    result.linksSkipped += mirrorTree(path::join(local, own), path::join(shared, own));
    for (const std::string& sub : {std::string("Templates"), std::string("FileTemplates"), own})
        pruneDeletions(path::join(shared, sub), path::join(local, sub), sub + "/", manifest, result);
    // Both ends now agree on what the local copy holds: that is what the
    // next upload compares with. Names deleted here are forgotten, so a
    // file of that name added later by someone else is never taken for one.
    ResourceManifest agreed;
    collectManifest(local, "", agreed);
    keepManifestOrNone(local, agreed);
    result.done = true;
    return result;
}

// Empty when no temporary directory is set, so that nothing relative to
// the working directory is ever touched.
std::string temporaryPath(const WorkingCopyPlaces& places, const char* name) {
    const std::string& temporary = places.settings.temporaryDirectory;
    return temporary.empty() ? std::string() : path::join(temporary, name);
}

// The attachments area is emptied only inside a temporary directory the
// program made for itself.
void emptyAttachmentsArea(const WorkingCopyPlaces& places, bool removeArea) {
    const std::string attachments = temporaryPath(places, "Attachments");
    if (attachments.empty() || !isOwnedDirectory(places.settings.temporaryDirectory))
        return;
    if (removeArea) {
        ignoreOutcome(fs::removeAll(attachments));
        return;
    }
    for (const std::string& item : listFiles(attachments))
        ignoreOutcome(fs::removeAll(item));
}

} // namespace

Status checkWorkingDirectory(std::string_view directory, std::string_view dataPoint, bool programDefault) {
    const std::string dir = path::withoutTrailingSeparator(directory);
    if (!dataPoint.empty() && (fs::isWithin(dir, dataPoint) || fs::isWithin(dataPoint, dir)))
        return Status::failure(dir + " lies in the data point or holds it");
    Status ownable = checkOwnableDirectory(dir);
    if (!ownable && programDefault && fs::isDirectory(dir) && !fs::isWithin("/", dir) &&
        !fs::isWithin(fs::homeDirectory(), dir))
        return Status::success();
    return ownable;
}

std::string resourceManifestPath(const std::string& resourceDirectory) {
    return path::withoutTrailingSeparator(resourceDirectory) + ".manifest";
}

ResourceManifest readResourceManifest(const std::string& resourceDirectory) {
    ResourceManifest manifest;
    const fs::ReadResult read = fs::readFile(resourceManifestPath(resourceDirectory), kMaxManifestBytes);
    if (!read.ok())
        return manifest;
    for (std::string_view line : text::splitLines(read.content)) {
        const std::size_t tab = line.find('\t');
        if (tab == std::string_view::npos)
            continue;
        if (const auto time = text::parseInteger(line.substr(0, tab)))
            manifest[std::string(line.substr(tab + 1))] = *time;
    }
    return manifest;
}

SyncResult prepareDataPointFolders(const WorkingCopyPlaces& places, Ui& ui) {
    SyncResult result;
    const Settings& s = places.settings;
    const bool temporaryIsNew = !fs::isDirectory(s.temporaryDirectory);
    ignoreOutcome(claimOwnedDirectory(s.temporaryDirectory));
    if (s.synchronizeResources || temporaryIsNew) {
        ui.showStartupStep(6);
        result.linksSkipped = download(places).linksSkipped;
    }
    ignoreOutcome(claimOwnedDirectory(s.resourceDirectory));
    const std::string own = path::join(s.resourceDirectory, places.ownSubtree);
    for (const std::string& directory :
         {s.temporaryDirectory, path::join(own, "Groups"), path::join(own, "Templates"),
          path::join(own, "FileTemplates"), path::join(s.resourceDirectory, "FileTemplates"),
          temporaryPath(places, "Attachments"), temporaryPath(places, "Trash")})
        fs::createDirectories(directory);
    result.done = true;
    return result;
}

SyncResult cleanUpDataPointFolders(const WorkingCopyPlaces& places) {
    SyncResult result;
    if (places.settings.synchronizeResources) {
        result.linksSkipped = upload(places).linksSkipped;
        if (const std::string trash = temporaryPath(places, "Trash"); !trash.empty())
            fs::createDirectories(trash);
    }
    emptyAttachmentsArea(places, true);
    result.done = true;
    return result;
}

SyncResult synchronizeResources(const WorkingCopyPlaces& places, SyncDirection direction) {
    if (direction == SyncDirection::Download)
        return download(places);
    SyncResult result = upload(places);
    if (result)
        emptyAttachmentsArea(places, false);
    return result;
}

} // namespace quill
