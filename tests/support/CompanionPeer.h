#pragma once
// A stand-in for the companion program's local socket: a Unix-domain listener on its own
// thread that reads one request line per connection, records it and answers with the bytes
// set for it (or stalls, holding the connection open without a word, until the client goes).
// Stops and removes its socket when the object goes.
#include <atomic>
#include <chrono>
#include <deque>
#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tavora::test {

class CompanionPeer {
public:
    explicit CompanionPeer(std::filesystem::path socketPath);
    ~CompanionPeer();
    CompanionPeer(const CompanionPeer&) = delete;
    CompanionPeer& operator=(const CompanionPeer&) = delete;

    bool listening() const { return m_fd >= 0; }
    const std::filesystem::path& path() const { return m_path; }

    // What the next connections get: exactly these bytes, then the connection is closed.
    void answer(std::string bytes);
    // Connections whose request line is `request` get these bytes after `delay`.
    void answerFor(const std::string& request, std::string bytes, std::chrono::milliseconds delay = {});
    // The next connection gets these bytes (before anything set above); one per call, in turn.
    void answerNext(std::string bytes);
    // The next connections get nothing at all while the client waits.
    void stall();
    // The request lines received so far (without their "\n").
    std::vector<std::string> requests() const;

private:
    void serve();
    void handle(int client);
    bool waitOrStop(std::chrono::milliseconds delay) const;

    std::filesystem::path m_path;
    int m_fd = -1;
    std::atomic<bool> m_stop{false};
    mutable std::mutex m_mutex;
    std::string m_reply;
    struct Scripted {
        std::string bytes;
        std::chrono::milliseconds delay;
    };
    std::map<std::string, Scripted> m_scripted;
    std::deque<std::string> m_queued;
    bool m_stall = false;
    std::vector<std::string> m_requests;
    std::thread m_thread;
};

} // namespace tavora::test
