#include "support/delay_proxy.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <deque>
#include <list>
#include <mutex>
#include <optional>
#include <vector>

#include "support/mysql_packets.h"
#include "support/proxy_sockets.h"

namespace bench {
namespace {

using Clock = std::chrono::steady_clock;

// Commands the server does not answer: the client does not wait for them.
constexpr unsigned char kComQuit = 0x01, kComStmtSendLongData = 0x18, kComStmtClose = 0x19;

// One direction of a connection: the chunks waiting for their time, in the
// order they came, then what the receiving socket has not taken yet. Chunks
// leave from the front only: one whose time came first (the delay was made
// shorter meanwhile) waits for those before it. The sender's close travels
// like a chunk: it is passed on (the write side shut) at its own time, once
// everything before it went out.
struct Direction {
    std::deque<std::pair<Clock::time_point, std::string>> waiting;
    std::string out;
    std::optional<Clock::time_point> endAt;
    bool closed = false;
};

struct Pair {
    explicit Pair(TlsPassage tls) : greeting(tls) {}
    int client = -1, server = -1;
    Direction up, down;         // client → server, server → client
    GreetingRewriter greeting;  // the server's bytes pass through it
    std::string fromClient;     // the client's bytes not read as whole packets yet
    bool commandSeen = false;
    bool encrypted = false;  // the client asked for TLS: its bytes are no packets any more
    bool serverSpokeLast = false;
    bool dead = false;

    ~Pair() {
        if (client >= 0) close(client);
        if (server >= 0) close(server);
    }
};

timespec Timespec(Clock::duration d) {
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(std::max(d, Clock::duration::zero()));
    return {static_cast<time_t>(ns.count() / 1000000000), static_cast<long>(ns.count() % 1000000000)};
}

}  // namespace

double RoundTrips(const DelayCounts& c) { return 0.5 * c.connections + c.logInPackets + c.commands; }

double RoundTripsByTurns(const DelayCounts& c) { return 0.5 * c.connections + c.turns; }

class DelayProxy::Loop {
public:
    Loop(int listenFd, std::string serverHost, int serverPort, const std::atomic<long long>& delayUs,
         const std::atomic<TlsPassage>& tls)
        : listen_(listenFd), serverHost_(std::move(serverHost)), serverPort_(serverPort), delayUs_(delayUs),
          tls_(tls) {
        if (pipe2(wake_, O_CLOEXEC) != 0) wake_[0] = wake_[1] = -1;
    }
    ~Loop() {
        pairs_.clear();
        for (int fd : {listen_, wake_[0], wake_[1]})
            if (fd >= 0) close(fd);
    }
    void Run();
    void Wake() {
        const char c = 'x';
        if (write(wake_[1], &c, 1) != 1) return;
    }
    DelayCounts Counts() const {
        std::lock_guard lock(countsMutex_);
        return counts_;
    }
    void ResetCounts() {
        std::lock_guard lock(countsMutex_);
        counts_ = {};
    }

private:
    void Accept();
    void Receive(Pair& p, bool fromClient);
    void CountTurn(Pair& p);
    void CountPackets(Pair& p);
    void Pass(Pair& p, Clock::time_point now);
    std::optional<Clock::time_point> NextDue() const;

    int listen_;
    int wake_[2] = {-1, -1};
    std::string serverHost_;
    int serverPort_;
    const std::atomic<long long>& delayUs_;
    const std::atomic<TlsPassage>& tls_;
    std::list<std::unique_ptr<Pair>> pairs_;
    mutable std::mutex countsMutex_;
    DelayCounts counts_;
};

void DelayProxy::Loop::Run() {
    std::vector<pollfd> fds;
    std::vector<std::pair<Pair*, bool>> owners;  // (pair, is the client side)
    for (;;) {
        const Clock::time_point now = Clock::now();
        for (const auto& p : pairs_) Pass(*p, now);
        std::erase_if(pairs_, [](const auto& p) { return p->dead; });
        fds = {{wake_[0], POLLIN, 0}, {listen_, POLLIN, 0}};
        owners.assign(2, {nullptr, false});
        for (const auto& p : pairs_) {
            // Read from a side until it closed; write to it while something waits for it.
            const short client = static_cast<short>((p->up.endAt ? 0 : POLLIN) | (p->down.out.empty() ? 0 : POLLOUT));
            const short server = static_cast<short>((p->down.endAt ? 0 : POLLIN) | (p->up.out.empty() ? 0 : POLLOUT));
            if (client) {
                fds.push_back({p->client, client, 0});
                owners.emplace_back(p.get(), true);
            }
            if (server) {
                fds.push_back({p->server, server, 0});
                owners.emplace_back(p.get(), false);
            }
        }
        const std::optional<Clock::time_point> due = NextDue();
        const timespec wait = due ? Timespec(*due - Clock::now()) : timespec{};
        if (ppoll(fds.data(), fds.size(), due ? &wait : nullptr, nullptr) < 0 && errno != EINTR) return;
        if (fds[0].revents) return;
        if (fds[1].revents & POLLIN) Accept();
        for (std::size_t i = 2; i < fds.size(); ++i) {
            Pair& p = *owners[i].first;
            const bool fromClient = owners[i].second;
            const bool reading = (fds[i].events & POLLIN) != 0;
            if (!p.dead && reading && (fds[i].revents & (POLLIN | POLLHUP | POLLERR))) Receive(p, fromClient);
            // A side that is only written to and fails is found by its next send.
        }
    }
}

void DelayProxy::Loop::Accept() {
    const int client = accept4(listen_, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0) return;
    Tune(client);
    auto p = std::make_unique<Pair>(tls_.load());
    p->client = client;
    p->server = ConnectTo(serverHost_, serverPort_);
    if (p->server < 0) return;  // no server: the client is closed at once
    {
        std::lock_guard lock(countsMutex_);
        ++counts_.connections;
    }
    pairs_.push_back(std::move(p));
}

void DelayProxy::Loop::Receive(Pair& p, bool fromClient) {
    Direction& d = fromClient ? p.up : p.down;
    const Clock::duration delay = std::chrono::microseconds(delayUs_.load());
    char buffer[65536];
    const ssize_t n = recv(fromClient ? p.client : p.server, buffer, sizeof buffer, 0);
    if (n > 0) {
        std::string chunk(buffer, static_cast<std::size_t>(n));
        if (fromClient) {
            CountTurn(p);
            if (!p.encrypted) {
                p.fromClient += chunk;
                CountPackets(p);
            }
        } else {
            p.serverSpokeLast = true;
            chunk = p.greeting.Pass(std::move(chunk));
        }
        if (!chunk.empty()) d.waiting.emplace_back(Clock::now() + delay, std::move(chunk));
    } else if (n == 0) {
        // A greeting the server did not finish goes on as it came.
        if (!fromClient)
            if (std::string rest = p.greeting.Pass({}, true); !rest.empty())
                d.waiting.emplace_back(Clock::now() + delay, std::move(rest));
        d.endAt = Clock::now() + delay;
    } else if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
        p.dead = true;
    }
}

// Counted as the client's bytes arrive, before they are held back: the
// counts of an action are complete once the client has its last answer.
void DelayProxy::Loop::CountTurn(Pair& p) {
    if (!p.serverSpokeLast) return;
    p.serverSpokeLast = false;
    std::lock_guard lock(countsMutex_);
    ++counts_.turns;
}

// Plain connections only: after the client's SSL request its bytes are TLS
// records, and only its turns are counted.
void DelayProxy::Loop::CountPackets(Pair& p) {
    int logIn = 0, commands = 0;
    while (std::optional<MySqlPacket> packet = TakePacket(p.fromClient)) {
        const std::string_view payload = packet->Payload();
        if (!p.commandSeen && IsTlsRequest(*packet)) {
            p.encrypted = true;
            p.fromClient.clear();
            std::lock_guard lock(countsMutex_);
            ++counts_.encrypted;
            break;
        }
        if (packet->sequence == 0) {
            p.commandSeen = true;
            const unsigned char command = payload.empty() ? 0 : static_cast<unsigned char>(payload[0]);
            if (command != kComQuit && command != kComStmtClose && command != kComStmtSendLongData) ++commands;
        } else if (!p.commandSeen) {
            ++logIn;  // the log-in answer, and any further step the server asks for
        }
    }
    if (logIn == 0 && commands == 0) return;
    std::lock_guard lock(countsMutex_);
    counts_.logInPackets += logIn;
    counts_.commands += commands;
}

void DelayProxy::Loop::Pass(Pair& p, Clock::time_point now) {
    for (auto [d, to] : {std::pair{&p.up, p.server}, std::pair{&p.down, p.client}}) {
        while (!d->waiting.empty() && d->waiting.front().first <= now) {
            d->out += d->waiting.front().second;
            d->waiting.pop_front();
        }
        if (!Flush(to, d->out)) {
            p.dead = true;
            return;
        }
        if (d->endAt && !d->closed && d->waiting.empty() && d->out.empty() && *d->endAt <= now) {
            shutdown(to, SHUT_WR);
            d->closed = true;
        }
    }
    if (p.up.closed && p.down.closed) p.dead = true;
}

std::optional<Clock::time_point> DelayProxy::Loop::NextDue() const {
    std::optional<Clock::time_point> next;
    const auto consider = [&next](Clock::time_point t) { next = next ? std::min(*next, t) : t; };
    for (const auto& p : pairs_) {
        for (const Direction* d : {&p->up, &p->down}) {
            if (!d->waiting.empty()) consider(d->waiting.front().first);
            else if (d->endAt && !d->closed && d->out.empty()) consider(*d->endAt);
        }
    }
    return next;
}

DelayProxy::DelayProxy(std::string listenHost, int listenPort, std::string serverHost, int serverPort,
                       TlsPassage tls)
    : listenHost_(std::move(listenHost)), serverHost_(std::move(serverHost)),
      listenPort_(listenPort), serverPort_(serverPort), tls_(tls) {}

DelayProxy::~DelayProxy() { Stop(); }

bool DelayProxy::Start(std::string* error) {
    const int fd = ListenOn(listenHost_, listenPort_, error);
    if (fd < 0) return false;
    loop_ = std::make_unique<Loop>(fd, serverHost_, serverPort_, delayUs_, tls_);
    thread_ = std::thread([this] { loop_->Run(); });
    return true;
}

void DelayProxy::Stop() {
    if (!thread_.joinable()) return;
    loop_->Wake();
    thread_.join();
    loop_.reset();
}

DelayCounts DelayProxy::Counts() const { return loop_ ? loop_->Counts() : DelayCounts{}; }

void DelayProxy::ResetCounts() {
    if (loop_) loop_->ResetCounts();
}

}  // namespace bench
