#include "platform/TextSearch.h"

#include "platform/Cp1250.h"
#include "platform/FileSystem.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quill {

namespace {

constexpr std::size_t kBlock = 256 * 1024;
// O_NONBLOCK: a named pipe in the tree must not hang the search.
constexpr int kOpenFlags = O_NOFOLLOW | O_NONBLOCK;

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

unsigned char capital(char c) {
    return cp1250::upper(static_cast<unsigned char>(c));
}

} // namespace

TextSearch::TextSearch(std::string_view cp1250Text) {
    if (cp1250Text.find_first_of("\r\n") == std::string_view::npos)
        needle_ = cp1250::upper(cp1250Text);
    // Horspool's table, over capitals: every byte whose capital is not
    // among the needle's first letters lets the needle move its length.
    const std::size_t length = needle_.size();
    skip_.fill(length);
    std::array<std::size_t, 256> byCapital{};
    byCapital.fill(length);
    for (std::size_t i = 0; i + 1 < length; ++i)
        byCapital[static_cast<unsigned char>(needle_[i])] = length - 1 - i;
    for (std::size_t byte = 0; byte < 256; ++byte)
        skip_[byte] = byCapital[cp1250::upper(static_cast<unsigned char>(byte))];
}

std::size_t TextSearch::find(std::string_view bytes) const {
    const std::size_t length = needle_.size();
    if (length == 0 || bytes.size() < length)
        return std::string_view::npos;
    const char* text = bytes.data();
    const char* needle = needle_.data();
    const std::size_t last = length - 1;
    const auto lastLetter = static_cast<unsigned char>(needle[last]);
    for (std::size_t at = 0; at + length <= bytes.size();) {
        const char tail = text[at + last];
        if (capital(tail) == lastLetter) {
            std::size_t i = last;
            while (i > 0 && capital(text[at + i - 1]) == static_cast<unsigned char>(needle[i - 1]))
                --i;
            if (i == 0)
                return at;
        }
        at += skip_[static_cast<unsigned char>(tail)];
    }
    return std::string_view::npos;
}

bool TextSearch::fileContains(const std::string& path, const std::atomic<bool>* stop) {
    if (needle_.empty())
        return false;
    return openFileContains(fs::openForReading(path, kOpenFlags), stop);
}

bool TextSearch::fileContains(int folder, std::string_view name, const std::atomic<bool>* stop) {
    if (needle_.empty())
        return false;
    return openFileContains(::openat(folder, cp1250::toUtf8(name).c_str(), O_RDONLY | O_CLOEXEC | kOpenFlags), stop);
}

bool TextSearch::openFileContains(int fd, const std::atomic<bool>* stop) {
    const Descriptor file(fd);
    struct stat st {};
    if (file.get() < 0 || ::fstat(file.get(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    const std::size_t keep = needle_.size() - 1;
    buffer_.resize(keep + kBlock);
    // Once the size the file had when opened is read, the read that would
    // only say "end of file" is left out: most files of a tree fit one
    // block, and that call is a round trip on a network share.
    const auto size = static_cast<std::size_t>(std::max<off_t>(st.st_size, 0));
    std::size_t total = 0;
    std::size_t kept = 0;
    for (;;) {
        if (stop && *stop)
            return false;
        const ssize_t got = ::read(file.get(), buffer_.data() + kept, kBlock);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        total += static_cast<std::size_t>(got);
        const std::size_t filled = kept + static_cast<std::size_t>(got);
        if (find(std::string_view(buffer_.data(), filled)) != std::string_view::npos)
            return true;
        if (total >= size && static_cast<std::size_t>(got) < kBlock)
            return false;
        // The end of this block may hold the start of a match.
        kept = std::min(keep, filled);
        std::copy(buffer_.data() + filled - kept, buffer_.data() + filled, buffer_.data());
    }
}

} // namespace quill
