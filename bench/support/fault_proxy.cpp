#include "support/fault_proxy.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <list>
#include <utility>
#include <vector>

#include "support/proxy_sockets.h"

namespace bench {
namespace {

using Clock = std::chrono::steady_clock;

struct Pair {
    explicit Pair(TlsPassage tls) : greeting(tls) {}
    int id = 0;
    int client = -1, server = -1;
    std::string fromClient;  // bytes of a packet not whole yet
    std::string toServer, toClient;
    GreetingRewriter greeting;  // the server's bytes pass through it
    bool commandSeen = false;   // the log-in is over
    bool encrypted = false;     // the client asked for TLS (the server offered it: TlsPassage::Pass)
    // A stall: the statement held back, and until when.
    bool holding = false;
    std::string held;
    StatementKind heldKind = StatementKind::Other;
    Clock::time_point heldUntil;
    bool cutOnAnswer = false, cutAtCommit = false;
    bool holdsLocks = false;
    bool dead = false;

    ~Pair() {
        if (client >= 0) close(client);
        if (server >= 0) close(server);
    }
};

}  // namespace

class FaultProxy::Loop {
public:
    Loop(int listenFd, std::string serverHost, int serverPort, TlsPassage tls, FaultPolicy policy,
         const std::atomic<bool>& faultsOn)
        : listen_(listenFd), serverHost_(std::move(serverHost)), serverPort_(serverPort), tls_(tls),
          policy_(std::move(policy)), faultsOn_(faultsOn) {
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
    ProxyCounts Counts() const {
        std::lock_guard lock(countsMutex_);
        return counts_;
    }

private:
    template <typename F>
    void Count(F&& change) {
        std::lock_guard lock(countsMutex_);
        change(counts_);
    }
    int NextTimeoutMs() const;
    void Accept();
    void ReleaseStalls();
    void ServiceClient(Pair& p, short revents);
    void ServiceServer(Pair& p, short revents);
    void HandlePackets(Pair& p);
    void Forward(Pair& p, const std::string& bytes, StatementKind kind);
    void Decide(Pair& p, MySqlPacket packet, std::string_view sql);

    int listen_;
    int wake_[2] = {-1, -1};
    std::string serverHost_;
    int serverPort_;
    TlsPassage tls_;
    FaultPolicy policy_;
    const std::atomic<bool>& faultsOn_;
    std::list<std::unique_ptr<Pair>> pairs_;
    int nextId_ = 1;
    mutable std::mutex countsMutex_;
    ProxyCounts counts_;
};

int FaultProxy::Loop::NextTimeoutMs() const {
    int timeout = -1;
    const Clock::time_point now = Clock::now();
    for (const auto& p : pairs_) {
        if (!p->holding) continue;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(p->heldUntil - now).count();
        const int ms = static_cast<int>(std::max<long long>(0, left)) + 1;
        timeout = timeout < 0 ? ms : std::min(timeout, ms);
    }
    return timeout;
}

void FaultProxy::Loop::Run() {
    std::vector<pollfd> fds;
    std::vector<std::pair<Pair*, bool>> owners;  // (pair, is the client side)
    for (;;) {
        ReleaseStalls();
        std::erase_if(pairs_, [](const auto& p) { return p->dead; });
        fds = {{wake_[0], POLLIN, 0}, {listen_, POLLIN, 0}};
        owners.assign(2, {nullptr, false});
        for (const auto& p : pairs_) {
            if (p->holding) continue;  // a stalled connection moves in neither direction
            fds.push_back({p->client, static_cast<short>(POLLIN | (p->toClient.empty() ? 0 : POLLOUT)), 0});
            owners.emplace_back(p.get(), true);
            fds.push_back({p->server, static_cast<short>(POLLIN | (p->toServer.empty() ? 0 : POLLOUT)), 0});
            owners.emplace_back(p.get(), false);
        }
        if (poll(fds.data(), fds.size(), NextTimeoutMs()) < 0 && errno != EINTR) return;
        if (fds[0].revents) return;
        if (fds[1].revents & POLLIN) Accept();
        for (std::size_t i = 2; i < fds.size(); ++i) {
            Pair& p = *owners[i].first;
            if (p.dead || fds[i].revents == 0) continue;
            if (owners[i].second) ServiceClient(p, fds[i].revents);
            else ServiceServer(p, fds[i].revents);
        }
    }
}

void FaultProxy::Loop::Accept() {
    const int client = accept4(listen_, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0) return;
    Tune(client);
    auto p = std::make_unique<Pair>(tls_);
    p->id = nextId_++;
    p->client = client;
    p->server = ConnectTo(serverHost_, serverPort_);
    const bool refused = p->server < 0;
    Count([&](ProxyCounts& c) {
        ++c.connections;
        c.refused += refused ? 1 : 0;
    });
    if (!refused) pairs_.push_back(std::move(p));  // a refused client is closed at once
}

void FaultProxy::Loop::ReleaseStalls() {
    const Clock::time_point now = Clock::now();
    for (const auto& p : pairs_) {
        if (!p->holding || now < p->heldUntil) continue;
        p->holding = false;
        Forward(*p, p->held, p->heldKind);
        p->held.clear();
        HandlePackets(*p);
        if (!Flush(p->server, p->toServer)) p->dead = true;
    }
}

void FaultProxy::Loop::ServiceClient(Pair& p, short revents) {
    if ((revents & POLLOUT) && !Flush(p.client, p.toClient)) p.dead = true;
    if (!p.dead && (revents & (POLLIN | POLLHUP | POLLERR))) {
        if (!ReadInto(p.client, p.fromClient)) p.dead = true;
        else HandlePackets(p);
    }
    if (!p.dead && !p.holding && !Flush(p.server, p.toServer)) p.dead = true;
}

void FaultProxy::Loop::ServiceServer(Pair& p, short revents) {
    if ((revents & POLLOUT) && !Flush(p.server, p.toServer)) p.dead = true;
    if (p.dead || !(revents & (POLLIN | POLLHUP | POLLERR))) return;
    std::string answer;
    const bool open = ReadInto(p.server, answer);
    answer = p.greeting.Pass(std::move(answer), !open);
    if (p.cutOnAnswer && !answer.empty()) {
        const bool commit = p.cutAtCommit;
        Count([&](ProxyCounts& c) {
            ++c.answersDropped;
            c.commitAnswersDropped += commit ? 1 : 0;
        });
        p.dead = true;
        return;
    }
    p.toClient += answer;
    // Whatever the server said last (an error before it closed) still goes out.
    if (!Flush(p.client, p.toClient) || !open) p.dead = true;
}

void FaultProxy::Loop::HandlePackets(Pair& p) {
    while (!p.dead && !p.holding) {
        if (p.encrypted) {
            // TLS records, no packets: they go on as they come, unread.
            p.toServer += std::exchange(p.fromClient, {});
            return;
        }
        std::optional<MySqlPacket> packet = TakePacket(p.fromClient);
        if (!packet) return;
        if (!p.commandSeen && IsTlsRequest(*packet)) p.encrypted = true;
        p.commandSeen = p.commandSeen || packet->sequence == 0;
        const std::optional<std::string_view> sql = QueryText(*packet);
        if (sql && policy_ && faultsOn_) Decide(p, std::move(*packet), *sql);
        else Forward(p, packet->bytes, sql ? KindOf(*sql) : StatementKind::Other);
    }
}

void FaultProxy::Loop::Forward(Pair& p, const std::string& bytes, StatementKind kind) {
    p.toServer += bytes;
    if (kind == StatementKind::LockingRead) p.holdsLocks = true;
    if (kind == StatementKind::Commit || kind == StatementKind::Rollback) p.holdsLocks = false;
}

void FaultProxy::Loop::Decide(Pair& p, MySqlPacket packet, std::string_view sql) {
    const StatementSeen seen{sql, KindOf(sql), p.holdsLocks, p.id};
    const FaultAction a = policy_(seen);
    switch (a.kind) {
        case FaultAction::Kind::Forward:
            Forward(p, packet.bytes, seen.kind);
            break;
        case FaultAction::Kind::CutBefore:
            Count([](ProxyCounts& c) { ++c.cutBefore; });
            p.dead = true;
            break;
        case FaultAction::Kind::CutAfter:
            Forward(p, packet.bytes, seen.kind);
            p.cutOnAnswer = true;
            p.cutAtCommit = seen.kind == StatementKind::Commit;
            break;
        case FaultAction::Kind::Stall:
            p.holding = true;
            p.held = std::move(packet.bytes);
            p.heldKind = seen.kind;
            p.heldUntil = Clock::now() + a.stall;
            Count([&](ProxyCounts& c) {
                ++c.stalls;
                c.longestStallMs = std::max<long long>(c.longestStallMs, a.stall.count());
            });
            break;
    }
}

FaultProxy::FaultProxy(std::string listenHost, int listenPort, std::string serverHost, int serverPort,
                       TlsPassage tls)
    : listenHost_(std::move(listenHost)), serverHost_(std::move(serverHost)),
      listenPort_(listenPort), serverPort_(serverPort), tls_(tls) {}

FaultProxy::~FaultProxy() { Stop(); }

bool FaultProxy::Start(FaultPolicy policy, std::string* error) {
    const int fd = ListenOn(listenHost_, listenPort_, error);
    if (fd < 0) return false;
    loop_ = std::make_unique<Loop>(fd, serverHost_, serverPort_, tls_, std::move(policy), faultsOn_);
    thread_ = std::thread([this] { loop_->Run(); });
    return true;
}

void FaultProxy::Stop() {
    if (!thread_.joinable()) return;
    loop_->Wake();
    thread_.join();
    lastCounts_ = loop_->Counts();
    loop_.reset();
}

ProxyCounts FaultProxy::Counts() const { return loop_ ? loop_->Counts() : lastCounts_; }

}  // namespace bench
