#include "common/loopback_server.h"

#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

namespace {

const char* reason_phrase(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 204:
        return "No Content";
    case 301:
        return "Moved Permanently";
    case 302:
        return "Found";
    case 403:
        return "Forbidden";
    case 404:
        return "Not Found";
    case 500:
        return "Internal Server Error";
    case 502:
        return "Bad Gateway";
    default:
        return "Status";
    }
}

void add_extension(X509* cert, X509* issuer, int nid, const char* value) {
    X509V3_CTX ctx;
    X509V3_set_ctx_nodb(&ctx);
    X509V3_set_ctx(&ctx, issuer, cert, nullptr, nullptr, 0);
    X509_EXTENSION* ext = X509V3_EXT_conf_nid(nullptr, &ctx, nid, value);
    if (ext) {
        X509_add_ext(cert, ext, -1);
        X509_EXTENSION_free(ext);
    }
}

// A certificate for key, valid from an hour ago for a day; signed by
// issuer_key, and self-signed when issuer is null.
X509* make_certificate(EVP_PKEY* key, const char* common_name, X509* issuer, EVP_PKEY* issuer_key,
                       bool authority) {
    static long serial = 1;
    X509* cert = X509_new();
    X509_set_version(cert, 2);
    ASN1_INTEGER_set(X509_get_serialNumber(cert), serial++);
    X509_gmtime_adj(X509_getm_notBefore(cert), -3600);
    X509_gmtime_adj(X509_getm_notAfter(cert), 86400);
    X509_set_pubkey(cert, key);
    X509_NAME* name = X509_get_subject_name(cert);
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                               reinterpret_cast<const unsigned char*>(common_name), -1, -1, 0);
    X509* signer = issuer ? issuer : cert;
    X509_set_issuer_name(cert, X509_get_subject_name(signer));
    add_extension(cert, signer, NID_subject_key_identifier, "hash");
    if (authority) {
        add_extension(cert, signer, NID_basic_constraints, "critical,CA:TRUE");
        add_extension(cert, signer, NID_key_usage, "critical,keyCertSign,cRLSign");
    } else {
        add_extension(cert, signer, NID_basic_constraints, "CA:FALSE");
        add_extension(cert, signer, NID_subject_alt_name, "IP:127.0.0.1");
        add_extension(cert, signer, NID_ext_key_usage, "serverAuth");
    }
    if (issuer)
        add_extension(cert, signer, NID_authority_key_identifier, "keyid");
    X509_sign(cert, issuer_key, EVP_sha256());
    return cert;
}

std::string to_pem(X509* cert) {
    BIO* mem = BIO_new(BIO_s_mem());
    PEM_write_bio_X509(mem, cert);
    char* data = nullptr;
    const long size = BIO_get_mem_data(mem, &data);
    std::string pem(data, static_cast<std::size_t>(size));
    BIO_free(mem);
    return pem;
}

std::string lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return "";
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

} // namespace

std::string http_head(int status, long long length, const std::string& extra_headers) {
    std::string head = "HTTP/1.1 " + std::to_string(status) + " " + reason_phrase(status) + "\r\n";
    head += "Content-Type: text/plain\r\n";
    head += extra_headers;
    if (length >= 0)
        head += "Content-Length: " + std::to_string(length) + "\r\n";
    head += "Connection: close\r\n\r\n";
    return head;
}

bool LoopbackExchange::send(const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        int n;
        if (ssl_) {
            n = SSL_write(static_cast<SSL*>(ssl_), bytes.data() + done,
                          static_cast<int>(bytes.size() - done));
        } else {
            n = static_cast<int>(
                ::send(fd_, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL));
            if (n < 0 && errno == EINTR)
                continue;
        }
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool LoopbackExchange::hold(const std::function<bool()>& done) {
    for (;;) {
        if (done && done())
            return true;
        pollfd fds[2] = {{fd_, POLLIN, 0}, {wake_fd_, POLLIN, 0}};
        if (::poll(fds, 2, 10) < 0 && errno != EINTR)
            return false;
        if (fds[1].revents)
            return false;
        // The client has nothing more to say on this connection: anything
        // readable is its hang-up (or its TLS goodbye).
        if (fds[0].revents)
            return false;
    }
}

bool LoopbackExchange::tunnel_to(int port) {
    if (ssl_)
        return false;
    const int upstream = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    if (upstream < 0 ||
        ::connect(upstream, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        if (upstream >= 0)
            ::close(upstream);
        send(http_head(502, 0));
        return false;
    }
    bool open = send("HTTP/1.1 200 Connection established\r\n\r\n");
    char buffer[16384];
    while (open) {
        pollfd fds[3] = {{fd_, POLLIN, 0}, {upstream, POLLIN, 0}, {wake_fd_, POLLIN, 0}};
        if (::poll(fds, 3, 1000) < 0 && errno != EINTR)
            break;
        if (fds[2].revents)
            break;
        for (int side = 0; side < 2 && open; ++side) {
            if (!fds[side].revents)
                continue;
            const int from = side == 0 ? fd_ : upstream, to = side == 0 ? upstream : fd_;
            const ssize_t n = ::recv(from, buffer, sizeof buffer, 0);
            if (n <= 0) {
                open = false;
                break;
            }
            for (ssize_t done = 0; done < n;) {
                const ssize_t sent =
                    ::send(to, buffer + done, static_cast<std::size_t>(n - done), MSG_NOSIGNAL);
                if (sent <= 0) {
                    open = false;
                    break;
                }
                done += sent;
            }
        }
    }
    ::close(upstream);
    return true;
}

LoopbackServer::LoopbackServer(Tls tls) {
    // A client that hangs up while we write must not end the test program.
    std::signal(SIGPIPE, SIG_IGN);
    listen_fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    if (listen_fd_ < 0 || ::bind(listen_fd_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::listen(listen_fd_, 16) != 0 ||
        ::getsockname(listen_fd_, reinterpret_cast<sockaddr*>(&address), &length) != 0 ||
        ::pipe2(wake_, O_CLOEXEC) != 0)
        throw std::runtime_error(std::string("loopback server: ") + std::strerror(errno));
    port_ = ntohs(address.sin_port);
    if (tls != Tls::none)
        set_up_tls(tls);
    thread_ = std::thread(&LoopbackServer::run, this);
}

LoopbackServer::~LoopbackServer() {
    const char stop = 's';
    if (::write(wake_[1], &stop, 1) < 0) {
        // The pipe cannot be full; nothing else to do.
    }
    if (thread_.joinable())
        thread_.join();
    ::close(listen_fd_);
    ::close(wake_[0]);
    ::close(wake_[1]);
    SSL_CTX_free(static_cast<SSL_CTX*>(ssl_ctx_));
}

void LoopbackServer::set_up_tls(Tls tls) {
    tls_ = true;
    SSL_CTX* ctx = SSL_CTX_new(TLS_server_method());
    ssl_ctx_ = ctx;
    EVP_PKEY* key = EVP_EC_gen("P-256");
    X509* cert = nullptr;
    if (tls == Tls::self_signed) {
        cert = make_certificate(key, "127.0.0.1", nullptr, key, false);
    } else {
        EVP_PKEY* authority_key = EVP_EC_gen("P-256");
        X509* authority =
            make_certificate(authority_key, "Zenorb test authority", nullptr, authority_key, true);
        cert = make_certificate(key, "127.0.0.1", authority, authority_key, false);
        authority_pem_ = to_pem(authority);
        X509_free(authority);
        EVP_PKEY_free(authority_key);
    }
    if (SSL_CTX_use_certificate(ctx, cert) != 1 || SSL_CTX_use_PrivateKey(ctx, key) != 1)
        throw std::runtime_error("loopback server: no TLS identity");
    X509_free(cert);
    EVP_PKEY_free(key);
}

std::string LoopbackServer::url(const std::string& target) const {
    return std::string(tls_ ? "https" : "http") + "://127.0.0.1:" + std::to_string(port_) + target;
}

void LoopbackServer::on(const std::string& target, Handler handler) {
    std::lock_guard<std::mutex> lock(mutex_);
    handlers_[target] = std::move(handler);
}

std::vector<LoopbackRequest> LoopbackServer::requests() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
}

LoopbackServer::Handler LoopbackServer::reply(int status, const std::string& body,
                                              const std::string& extra_headers) {
    return [=](LoopbackExchange& exchange) {
        exchange.send(http_head(status, static_cast<long long>(body.size()), extra_headers) + body);
    };
}

LoopbackServer::Handler LoopbackServer::redirect(int status, const std::string& location) {
    return reply(status, "moved\n", "Location: " + location + "\r\n");
}

LoopbackServer::Handler LoopbackServer::cut_short(const std::string& body, std::size_t sent) {
    return [=](LoopbackExchange& exchange) {
        exchange.send(http_head(200, static_cast<long long>(body.size())) + body.substr(0, sent));
    };
}

LoopbackServer::Handler LoopbackServer::stall_after(const std::string& body, std::size_t sent) {
    return [=](LoopbackExchange& exchange) {
        if (exchange.send(http_head(200, static_cast<long long>(body.size())) +
                          body.substr(0, sent)))
            exchange.hold();
    };
}

LoopbackServer::Handler LoopbackServer::stall() {
    return [](LoopbackExchange& exchange) { exchange.hold(); };
}

LoopbackServer::Handler LoopbackServer::tunnel() {
    return [](LoopbackExchange& exchange) {
        const std::string& target = exchange.request().target;
        const std::string host = "127.0.0.1:";
        if (exchange.request().method != "CONNECT" || target.compare(0, host.size(), host) != 0) {
            exchange.send(http_head(403, 0));
            return;
        }
        exchange.tunnel_to(std::atoi(target.c_str() + host.size()));
    };
}

LoopbackServer::Handler LoopbackServer::chunked(const std::string& body, std::size_t chunk) {
    return [=](LoopbackExchange& exchange) {
        std::string out = http_head(200, -1, "Transfer-Encoding: chunked\r\n");
        for (std::size_t at = 0; at < body.size(); at += chunk) {
            const std::string piece = body.substr(at, chunk);
            char size[32];
            std::snprintf(size, sizeof size, "%zx\r\n", piece.size());
            out += size + piece + "\r\n";
        }
        exchange.send(out + "0\r\n\r\n");
    };
}

void LoopbackServer::run() {
    for (;;) {
        pollfd fds[2] = {{listen_fd_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (fds[1].revents)
            return;
        if (fds[0].revents & POLLIN) {
            const int fd = ::accept4(listen_fd_, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd >= 0) {
                serve(fd);
                ::close(fd);
            }
        }
    }
}

void LoopbackServer::serve(int fd) {
    // A client that connects and says nothing must not hold the server.
    timeval limit{5, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);

    SSL* ssl = nullptr;
    if (tls_) {
        ssl = SSL_new(static_cast<SSL_CTX*>(ssl_ctx_));
        SSL_set_fd(ssl, fd);
        if (SSL_accept(ssl) != 1) {
            ++refused_handshakes_;
            ERR_clear_error();
            SSL_free(ssl);
            return;
        }
    }

    std::string head;
    char buffer[4096];
    while (head.find("\r\n\r\n") == std::string::npos && head.size() < 65536) {
        const int n = ssl ? SSL_read(ssl, buffer, sizeof buffer)
                          : static_cast<int>(::recv(fd, buffer, sizeof buffer, 0));
        if (n <= 0)
            break;
        head.append(buffer, static_cast<std::size_t>(n));
    }

    LoopbackExchange exchange(fd, ssl, wake_[0]);
    LoopbackRequest& request = exchange.request_;
    std::size_t line_end = head.find("\r\n");
    const std::string first = head.substr(0, line_end);
    const std::size_t space1 = first.find(' ');
    const std::size_t space2 = first.find(' ', space1 + 1);
    if (space1 != std::string::npos && space2 != std::string::npos) {
        request.method = first.substr(0, space1);
        request.target = first.substr(space1 + 1, space2 - space1 - 1);
    }
    while (line_end != std::string::npos) {
        const std::size_t start = line_end + 2;
        line_end = head.find("\r\n", start);
        const std::string line = head.substr(start, line_end - start);
        const std::size_t colon = line.find(':');
        if (line.empty() || colon == std::string::npos)
            break;
        request.headers[lower(line.substr(0, colon))] = trim(line.substr(colon + 1));
    }

    Handler handler;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        requests_.push_back(request);
        auto found = handlers_.find(request.target);
        if (found != handlers_.end())
            handler = found->second;
    }
    if (!request.method.empty()) {
        if (handler)
            handler(exchange);
        else
            reply(404, "not here\n")(exchange);
    }
    if (ssl) {
        SSL_shutdown(ssl);
        SSL_free(ssl);
    }
}
