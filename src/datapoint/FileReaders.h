#pragma once

#include "platform/TextSearch.h"

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace quill {

// A few threads that look for a text in files while one thread lists
// them: the lister adds files and gets each answer back on its own thread,
// in the order it added the files, whichever reader finishes first. At
// most `window` files wait or are read at a time, so memory does not grow
// with the tree; an add waits while the window is full.
class FileReaders {
public:
    using Answer = std::function<void(bool contains)>;

    // Readers stop reading between two blocks once stop is set; the files
    // still waiting are then answered "no" without being opened.
    FileReaders(const TextSearch& text, const std::atomic<bool>& stop, std::size_t readers, std::size_t window);
    ~FileReaders();
    FileReaders(const FileReaders&) = delete;
    FileReaders& operator=(const FileReaders&) = delete;

    // Gives a file to the readers: its name in a folder open for reading,
    // which must stay open until the file is answered. The answers already
    // there are passed to answered first, and while the window is full it
    // waits for the oldest. Readers are woken for a handful of files at a
    // time, since a small file takes less time to read than a thread to
    // wake.
    void add(int folder, std::string name, const Answer& answered);
    // Wakes readers for the files added so far: for before the lister may
    // have to wait itself (listing a folder on a slow share).
    void flush();
    // Waits for every answer, passing each to answered in order.
    void finish(const Answer& answered);
    // Waits for the oldest answer and passes it, and those after it that
    // are there, to answered. False when no file was waiting.
    bool answerOldest(const Answer& answered);

    // More readers than the machine has cores: on a network share a read
    // mostly waits for the server.
    static std::size_t defaultReaders();

private:
    enum class State { Free, Waiting, Answered };
    struct Slot {
        int folder = -1;
        std::string name;
        State state = State::Free;
        bool contains = false;
    };

    void read(TextSearch text);
    // Under the lock: takes the answers in order from the oldest as far as
    // they are there.
    void takeAnswers(std::vector<bool>& answers);
    // Under the lock: whether to wake a reader, when at least `waiting`
    // files wait for one. One is woken at a time, and wakes the next if
    // there is more to do, so that a reader is not woken for every file.
    bool shouldWake(std::size_t waiting);

    const std::atomic<bool>& stop_;
    const std::size_t readers_;
    std::vector<Slot> slots_; // a ring: added at end_, read from next_, answered from oldest_
    std::size_t oldest_ = 0;
    std::size_t next_ = 0;
    std::size_t end_ = 0;
    bool closing_ = false;
    std::size_t idle_ = 0;     // readers waiting for work
    bool wakePending_ = false; // one of them is being woken
    std::mutex lock_;
    std::condition_variable work_;     // readers: a file was added, or closing
    std::condition_variable answered_; // the lister: the oldest file is answered
    std::vector<std::thread> threads_;
};

} // namespace quill
