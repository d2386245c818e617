// A slow link on loopback: a TCP proxy from 127.0.0.1 (a free port, printed on the
// first line of stdout) to 127.0.0.1:TARGET-PORT that delays every byte by the
// latency in both directions and paces the server's answers at the rate. With
// --hold-after N it stops each connection's server-to-client stream after its
// first N bytes, makes the file given by --held, and goes on once the file given
// by --release exists. Each connection's totals go to stderr as it ends.
//
//   slow-link TARGET-PORT [--rate BYTES/S] [--latency MS]
//             [--hold-after N --held FILE --release FILE]
//
// A rate of 0 (the default) means unpaced. It runs until it is ended by a signal.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

struct Settings {
    int target = 0;
    double rate = 0;  // bytes a second; 0: unpaced
    std::chrono::milliseconds latency{0};
    long long holdAfter = -1;
    std::string held, release;
};

// A socket descriptor closed with its owner.
class Socket {
public:
    explicit Socket(int fd) : fd_(fd) {}
    ~Socket() {
        if (fd_ >= 0)
            close(fd_);
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    [[nodiscard]] int Fd() const { return fd_; }

private:
    int fd_;
};

struct Chunk {
    Clock::time_point read;
    std::vector<char> bytes;  // empty: the sender closed its side
};

// The bytes read from one side and not yet written to the other.
class Pipe {
public:
    void Put(Chunk chunk) {
        std::unique_lock lock(mutex_);
        // Bounded, so that a paced stream pushes back on its sender as a link would.
        roomy_.wait(lock, [&] { return queued_ < kMaxQueued; });
        queued_ += chunk.bytes.size();
        chunks_.push_back(std::move(chunk));
        filled_.notify_one();
    }
    Chunk Take() {
        std::unique_lock lock(mutex_);
        filled_.wait(lock, [&] { return !chunks_.empty(); });
        Chunk chunk = std::move(chunks_.front());
        chunks_.pop_front();
        queued_ -= chunk.bytes.size();
        roomy_.notify_one();
        return chunk;
    }

private:
    static constexpr std::size_t kMaxQueued = 4 << 20;
    std::mutex mutex_;
    std::condition_variable filled_, roomy_;
    std::deque<Chunk> chunks_;
    std::size_t queued_ = 0;
};

bool Exists(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0;
}

bool WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t wrote = send(fd, data, size, MSG_NOSIGNAL);
        if (wrote <= 0)
            return false;
        data += wrote;
        size -= static_cast<std::size_t>(wrote);
    }
    return true;
}

void Read(int from, Pipe& pipe) {
    std::vector<char> buffer(64 << 10);
    for (;;) {
        const ssize_t got = recv(from, buffer.data(), buffer.size(), 0);
        const auto size = static_cast<std::size_t>(got > 0 ? got : 0);
        pipe.Put({Clock::now(), std::vector<char>(buffer.begin(), buffer.begin() + size)});
        if (size == 0)
            return;
    }
}

// Writes what the pipe brings, each byte no earlier than the latency after it was
// read, at most at the rate; returns the bytes written.
long long Write(Pipe& pipe, int to, const Settings& s, bool answers) {
    long long written = 0;
    auto due = Clock::now();
    // Paced in slices of 5 ms of the rate.
    const std::size_t slice =
        s.rate > 0 ? std::max<std::size_t>(1, static_cast<std::size_t>(s.rate / 200)) : 1 << 20;
    for (;;) {
        Chunk chunk = pipe.Take();
        if (chunk.bytes.empty())
            break;
        // Behind the rate, the backlog is sent at once; idle, pacing starts anew.
        due = std::max(due, chunk.read + s.latency);
        std::this_thread::sleep_until(chunk.read + s.latency);
        for (std::size_t at = 0; at < chunk.bytes.size();) {
            std::size_t n = std::min(slice, chunk.bytes.size() - at);
            if (answers && s.holdAfter >= written &&
                written + static_cast<long long>(n) > s.holdAfter && !Exists(s.release)) {
                n = static_cast<std::size_t>(s.holdAfter - written);
                if (n == 0) {
                    std::ofstream(s.held) << written << "\n";
                    while (!Exists(s.release))
                        std::this_thread::sleep_for(10ms);
                    due = Clock::now();
                    continue;
                }
            }
            if (!WriteAll(to, chunk.bytes.data() + at, n))
                return written;
            at += n;
            written += static_cast<long long>(n);
            if (s.rate > 0) {
                due += std::chrono::duration_cast<Clock::duration>(
                    std::chrono::duration<double>(static_cast<double>(n) / s.rate));
                std::this_thread::sleep_until(due);
            }
        }
    }
    shutdown(to, SHUT_WR);
    return written;
}

int Connect(int port) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd >= 0 && connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0)
        return fd;
    if (fd >= 0)
        close(fd);
    return -1;
}

void Serve(int clientFd, const Settings& s, int number) {
    const Socket client(clientFd);
    const Socket server(Connect(s.target));
    if (server.Fd() < 0)
        return;
    const int on = 1;
    setsockopt(client.Fd(), IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    setsockopt(server.Fd(), IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    const auto begun = Clock::now();
    Pipe asks, answers;
    long long asked = 0, answered = 0;
    std::thread readAsks(Read, client.Fd(), std::ref(asks));
    std::thread readAnswers(Read, server.Fd(), std::ref(answers));
    std::thread writeAsks([&] { asked = Write(asks, server.Fd(), s, false); });
    answered = Write(answers, client.Fd(), s, true);
    // The server has closed: a client that has not stops being read.
    shutdown(client.Fd(), SHUT_RDWR);
    shutdown(server.Fd(), SHUT_RDWR);
    writeAsks.join();
    readAsks.join();
    readAnswers.join();
    std::fprintf(stderr, "connection %d: %lld bytes to the server, %lld bytes back, %.3f s\n",
                 number, asked, answered,
                 std::chrono::duration<double>(Clock::now() - begun).count());
}

bool Parse(int argc, char** argv, Settings& s) {
    if (argc < 2)
        return false;
    s.target = std::atoi(argv[1]);
    for (int i = 2; i + 1 < argc; i += 2) {
        const std::string name = argv[i], value = argv[i + 1];
        if (name == "--rate") {
            s.rate = std::atof(value.c_str());
        } else if (name == "--latency") {
            s.latency = std::chrono::milliseconds(std::atoll(value.c_str()));
        } else if (name == "--hold-after") {
            s.holdAfter = std::atoll(value.c_str());
        } else if (name == "--held") {
            s.held = value;
        } else if (name == "--release") {
            s.release = value;
        } else {
            return false;
        }
    }
    return s.target > 0 && (argc % 2) == 0 &&
           (s.holdAfter < 0 || (!s.held.empty() && !s.release.empty()));
}

}  // namespace

int main(int argc, char** argv) {
    Settings s;
    if (!Parse(argc, argv, s)) {
        std::fprintf(stderr,
                     "usage: slow-link TARGET-PORT [--rate BYTES/S] [--latency MS] "
                     "[--hold-after N --held FILE --release FILE]\n");
        return 2;
    }
    const Socket listener(socket(AF_INET, SOCK_STREAM, 0));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener.Fd() < 0 || bind(listener.Fd(), reinterpret_cast<sockaddr*>(&address), length) ||
        listen(listener.Fd(), 16) ||
        getsockname(listener.Fd(), reinterpret_cast<sockaddr*>(&address), &length)) {
        std::perror("slow-link");
        return 1;
    }
    std::printf("%d\n", ntohs(address.sin_port));
    std::fflush(stdout);
    for (int number = 1;; ++number) {
        const int client = accept(listener.Fd(), nullptr, nullptr);
        if (client < 0)
            return 1;
        std::thread(Serve, client, std::cref(s), number).detach();
    }
}
