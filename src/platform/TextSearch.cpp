#include "platform/TextSearch.h"

#include "platform/Cp1250.h"
#include "platform/FileSystem.h"

#include <algorithm>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

namespace quill {

namespace {

constexpr std::size_t kBlock = 256 * 1024;

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

} // namespace

TextSearch::TextSearch(std::string_view cp1250Text) {
    if (cp1250Text.find_first_of("\r\n") == std::string_view::npos)
        needle_ = cp1250::upper(cp1250Text);
}

bool TextSearch::fileContains(const std::string& path, const std::atomic<bool>* stop) {
    if (needle_.empty())
        return false;
    // O_NONBLOCK: a named pipe in the tree must not hang the search.
    const Descriptor file(::open(fs::native(path).c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
    struct stat st {};
    if (file.get() < 0 || ::fstat(file.get(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    const std::size_t keep = needle_.size() - 1;
    buffer_.resize(keep + kBlock);
    const std::boyer_moore_horspool_searcher searcher(needle_.begin(), needle_.end());
    std::size_t kept = 0;
    for (;;) {
        if (stop && *stop)
            return false;
        const ssize_t got = ::read(file.get(), buffer_.data() + kept, kBlock);
        if (got <= 0)
            return false;
        char* begin = buffer_.data();
        char* end = begin + kept + static_cast<std::size_t>(got);
        for (char* c = begin + kept; c != end; ++c)
            *c = static_cast<char>(cp1250::upper(static_cast<unsigned char>(*c)));
        if (std::search(begin, end, searcher) != end)
            return true;
        // The end of this block may hold the start of a match.
        kept = std::min(keep, static_cast<std::size_t>(end - begin));
        std::copy(end - kept, end, begin);
    }
}

} // namespace quill
