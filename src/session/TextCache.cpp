#include "session/TextCache.h"

#include "platform/AtomicFile.h"
#include "platform/Cp1250.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/Result.h"
#include "platform/TextUtil.h"
#include "session/LogonContext.h"
#include "session/Session.h"

namespace quill {
namespace {

// A cache of 150 short texts is small; a file far larger is not one.
constexpr std::size_t kMaxCacheBytes = 4 * 1024 * 1024;
constexpr int kWriteTries = 5;

} // namespace

bool loadTextCache(Session& session) {
    TextCache& cache = session.textCache;
    const std::string directory = ownResourceDirectory(session);
    fs::createDirectories(directory);
    cache.file = path::join(directory, "TextCache.txt");
    cache.positions.clear();
    cache.addedSinceSave = 0;
    if (!fs::exists(cache.file))
        ignoreOutcome(replaceFile(cache.file, ""));
    const fs::ReadResult read = fs::readFile(cache.file, kMaxCacheBytes);
    if (read.ok()) {
        for (std::string_view line : text::splitLines(read.content))
            cache.positions.emplace_back(line);
    }
    cache.positions.emplace_back();
    return true;
}

bool addToTextCache(Session& session, std::string_view text) {
    if (text.empty())
        return false;
    TextCache& cache = session.textCache;
    if (cache.positions.size() >= TextCache::kMaxPositions)
        return true;
    const std::string wanted = cp1250::upper(text);
    for (std::string& entry : cache.positions) {
        if (cp1250::upper(entry) == wanted) {
            entry = std::string(text);
            return true;
        }
    }
    cache.positions.emplace_back(text);
    if (++cache.addedSinceSave > TextCache::kSaveAfter)
        saveTextCache(session);
    return true;
}

bool saveTextCache(Session& session) {
    TextCache& cache = session.textCache;
    session.ui.setCursor(CursorShape::Starting);
    cache.addedSinceSave = 0;
    if (cache.file.empty())
        cache.file = path::join(ownResourceDirectory(session), "TextCache.txt");
    fs::createDirectories(path::directory(cache.file));
    std::string content;
    for (const std::string& entry : cache.positions) {
        // A text with a line break would come back as two.
        if (!entry.empty() && !text::containsLineBreak(entry))
            content += entry + "\r\n";
    }
    bool written = false;
    for (int attempt = 0; attempt < kWriteTries && !written; ++attempt)
        written = replaceFile(cache.file, content).ok();
    session.ui.setCursor(CursorShape::Default);
    return written;
}

} // namespace quill
