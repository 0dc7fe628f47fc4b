// A small HTTP server on 127.0.0.1 for the download tests: one thread, one
// connection at a time, each request answered by the handler of its path.
// With TLS it presents a certificate it made itself, either self-signed or
// signed by its own test authority. Nothing ever leaves the machine.
#pragma once

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct LoopbackRequest {
    std::string method;
    std::string target;
    std::map<std::string, std::string> headers; // names in lower case
};

// One request and its connection, as a handler sees it.
class LoopbackExchange {
public:
    const LoopbackRequest& request() const { return request_; }
    // Sends the bytes as they are; false once the client has gone.
    bool send(const std::string& bytes);
    // Keeps the connection open, sending nothing, until done() holds (true),
    // or the client hangs up or the server stops (false).
    bool hold(const std::function<bool()>& done = nullptr);
    // As a proxy answering CONNECT: opens a connection to port on
    // 127.0.0.1, says so to the client, and passes bytes both ways until
    // either side hangs up or the server stops. False if the connection
    // cannot be made (the client then gets a 502). Plain servers only.
    bool tunnel_to(int port);

private:
    friend class LoopbackServer;
    LoopbackExchange(int fd, void* ssl, int wake_fd) : fd_(fd), ssl_(ssl), wake_fd_(wake_fd) {}

    LoopbackRequest request_;
    int fd_;
    void* ssl_;
    int wake_fd_;
};

class LoopbackServer {
public:
    using Handler = std::function<void(LoopbackExchange&)>;
    enum class Tls { none, self_signed, test_authority };

    explicit LoopbackServer(Tls tls = Tls::none);
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    int port() const { return port_; }
    // "http://127.0.0.1:<port>" (or https) followed by target.
    std::string url(const std::string& target) const;
    // With Tls::test_authority: the authority's certificate, PEM.
    const std::string& authority_pem() const { return authority_pem_; }

    // Answers requests for target; unknown targets get a 404.
    void on(const std::string& target, Handler handler);
    std::vector<LoopbackRequest> requests() const;
    // Connections whose TLS handshake failed (the client refused us).
    int refused_handshakes() const { return refused_handshakes_; }

    // Ready-made answers. The body goes out whole, with its length, and the
    // connection closes.
    static Handler reply(int status, const std::string& body,
                         const std::string& extra_headers = "");
    static Handler redirect(int status, const std::string& location);
    // Announces the whole body's length but sends only its first `sent`
    // bytes, then closes.
    static Handler cut_short(const std::string& body, std::size_t sent);
    // Sends the first `sent` bytes of a body of announced length, then
    // nothing, keeping the connection open until the client gives up.
    static Handler stall_after(const std::string& body, std::size_t sent);
    // Reads the request and answers nothing at all.
    static Handler stall();
    // A proxy's answer to "CONNECT 127.0.0.1:PORT": the tunnel to that port
    // (never to another host).
    static Handler tunnel();
    // The body in chunks of `chunk` bytes with no length announced.
    static Handler chunked(const std::string& body, std::size_t chunk);

private:
    void run();
    void serve(int fd);
    void set_up_tls(Tls tls);

    int listen_fd_ = -1;
    int wake_[2] = {-1, -1}; // written to stop the thread
    int port_ = 0;
    bool tls_ = false;
    void* ssl_ctx_ = nullptr;
    std::string authority_pem_;

    mutable std::mutex mutex_;
    std::map<std::string, Handler> handlers_;
    std::vector<LoopbackRequest> requests_;
    std::atomic<int> refused_handshakes_{0};
    std::thread thread_;
};

// A well-formed HTTP/1.1 head: status line, the given headers, a
// Content-Length when length >= 0, "Connection: close", blank line.
std::string http_head(int status, long long length, const std::string& extra_headers = "");
