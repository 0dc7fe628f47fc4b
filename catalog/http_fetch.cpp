#include "catalog/http_fetch.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <memory>
#include <string_view>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <curl/curl.h>

#include "readers/atomic_write.h"

void FetchControl::cancel() {
    cancelled_ = true;
    std::lock_guard<std::mutex> lock(mutex_);
    if (waiting_)
        curl_multi_wakeup(static_cast<CURLM*>(waiting_));
}

namespace {

// Whether text begins with prefix (given in lower case), in any case.
bool starts_with_nocase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i])
            return false;
    return true;
}

bool has_web_scheme(const std::string& url) {
    return starts_with_nocase(url, "http://") || starts_with_nocase(url, "https://");
}

std::string trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos)
        return std::string();
    return std::string(text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1));
}

std::string status_reason(long status) {
    const std::string code = "HTTP " + std::to_string(status);
    if (status == 206)
        return code + " (only part of the file)";
    return code;
}

// The folder of path, where its temporary files go.
std::string folder_of(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// libcurl wants its global set-up done once, before any transfer and not
// while another thread runs one.
bool curl_ready() {
    static const bool ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    return ready;
}

std::string reason_for(CURLcode code) {
    switch (code) {
    case CURLE_URL_MALFORMAT:
        return "malformed address";
    case CURLE_COULDNT_RESOLVE_HOST:
        return "unknown host";
    case CURLE_COULDNT_CONNECT:
        return "could not connect";
    case CURLE_COULDNT_RESOLVE_PROXY:
        return "unknown proxy host";
    case CURLE_PROXY:
        return "the proxy refused the connection";
    case CURLE_OPERATION_TIMEDOUT:
        return "timed out";
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_INVALIDCERTSTATUS:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
        return "certificate problem";
    case CURLE_SSL_CONNECT_ERROR:
        return "secure connection failed";
    case CURLE_PARTIAL_FILE:
        return "transfer cut short";
    case CURLE_GOT_NOTHING:
        return "no answer from the server";
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
        return "connection broken";
    case CURLE_TOO_MANY_REDIRECTS:
        return "too many redirects";
    case CURLE_WEIRD_SERVER_REPLY:
        return "not an HTTP answer";
    // What libcurl says when a header line passes its limit: the memory is
    // there, the server's answer is what is wrong.
    case CURLE_OUT_OF_MEMORY:
        return "the server sent a header line longer than " + size_text(CURL_MAX_HTTP_HEADER);
    default:
        return curl_easy_strerror(code);
    }
}

} // namespace

namespace fetch_detail {

// One GET through libcurl's multi interface, so that a cancel from another
// thread can wake the wait at once.
class Transfer {
public:
    Transfer(const std::string& url, const std::string& path, const FetchOptions& options,
             FetchControl* control)
        : file_(path), options_(options), control_(control),
          idle_limit_(std::chrono::seconds(options.limits.low_speed_seconds)),
          deadline_(std::chrono::seconds(options.limits.deadline_seconds)),
          secure_start_(starts_with_nocase(url, "https://")) {
        if (control_) {
            control_->received_ = 0;
            control_->announced_ = 0;
        }
    }

    FetchResult run(CURL* easy) {
        easy_ = easy;
        curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &Transfer::on_body);
        curl_easy_setopt(easy, CURLOPT_WRITEDATA, this);
        curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &Transfer::on_header);
        curl_easy_setopt(easy, CURLOPT_HEADERDATA, this);
        if (!file_.ok())
            return write_failure();
        return save_stream();
    }

private:
    static FetchResult fail(const std::string& reason) { return FetchResult{false, reason}; }

    FetchResult write_failure() const {
        return fail("could not write the file: " + file_.reason());
    }

    // Runs the transfer, the body going to the pending file, and decides.
    FetchResult save_stream() {
        const CURLcode code = perform();
        long status = 0;
        curl_easy_getinfo(easy_, CURLINFO_RESPONSE_CODE, &status);
        if (cancelled())
            return fail("cancelled");
        if (write_failed_)
            return write_failure();
        if (downgrade_)
            return fail("refused a redirect from https:// to http://");
        if (past_deadline_)
            return fail("not finished after " + std::to_string(options_.limits.deadline_seconds) +
                        " s");
        if (refused_status_ || (code == CURLE_OK && status != 200))
            return fail(status_reason(status));
        if (!encoding_.empty())
            return fail("the answer came encoded as '" + encoding_ + "', which was not asked for");
        if (too_large_ || code == CURLE_FILESIZE_EXCEEDED)
            return fail("too large (more than " + size_text(options_.limits.max_bytes) + ")");
        if (code == CURLE_BAD_CONTENT_ENCODING)
            return fail("the answer's gzip encoding is broken");
        // A redirect elsewhere than http:// or https://, or an answer from
        // before HTTP/1.0.
        if (code == CURLE_UNSUPPORTED_PROTOCOL)
            return fail(status >= 300 && status <= 399 ? "not an http:// or https:// address"
                                                       : "not an HTTP answer");
        // libcurl reports a refused tunnel as a broken connection.
        long tunnel_status = 0;
        curl_easy_getinfo(easy_, CURLINFO_HTTP_CONNECTCODE, &tunnel_status);
        if (code != CURLE_OK && tunnel_status >= 300)
            return fail("the proxy refused the connection (HTTP " + std::to_string(tunnel_status) +
                        ")");
        if (code != CURLE_OK)
            return fail(reason_for(code));
        if (received_ == 0)
            return fail("empty answer");
        if (options_.check_body) {
            const std::string refused = options_.check_body(file_.pending_path());
            if (!refused.empty())
                return fail(refused);
        }
        if (!file_.commit())
            return write_failure();
        return FetchResult{true, ""};
    }

    CURLcode perform() {
        std::unique_ptr<CURLM, decltype(&curl_multi_cleanup)> multi(curl_multi_init(),
                                                                    &curl_multi_cleanup);
        if (!multi || curl_multi_add_handle(multi.get(), easy_) != CURLM_OK)
            return CURLE_OUT_OF_MEMORY;
        attach(multi.get());
        CURLcode result = CURLE_RECV_ERROR;
        int running = 1;
        const auto start = Clock::now();
        last_byte_ = start;
        while (!cancelled()) {
            if (curl_multi_perform(multi.get(), &running) != CURLM_OK)
                break;
            if (!running) {
                int left = 0;
                while (CURLMsg* message = curl_multi_info_read(multi.get(), &left))
                    if (message->msg == CURLMSG_DONE)
                        result = message->data.result;
                break;
            }
            const auto now = Clock::now();
            Clock::duration wait = std::chrono::seconds(1);
            if (deadline_ > Clock::duration::zero()) {
                if (now - start >= deadline_) {
                    past_deadline_ = true;
                    result = CURLE_OPERATION_TIMEDOUT;
                    break;
                }
                wait = std::min(wait, deadline_ - (now - start));
            }
            // libcurl's own low-speed check averages over several seconds, so
            // that a stall after a burst of bytes would take that much longer.
            if (idle_limit_ > Clock::duration::zero()) {
                const auto idle = now - last_byte_;
                if (idle >= idle_limit_) {
                    result = CURLE_OPERATION_TIMEDOUT;
                    break;
                }
                wait = std::min(wait, idle_limit_ - idle);
            }
            const auto wait_ms = std::chrono::duration_cast<std::chrono::milliseconds>(wait);
            if (curl_multi_poll(multi.get(), nullptr, 0, static_cast<int>(wait_ms.count()) + 1,
                                nullptr) != CURLM_OK)
                break;
        }
        attach(nullptr);
        curl_multi_remove_handle(multi.get(), easy_);
        return result;
    }

    void attach(CURLM* multi) {
        if (!control_)
            return;
        std::lock_guard<std::mutex> lock(control_->mutex_);
        control_->waiting_ = multi;
    }

    bool cancelled() const { return control_ && control_->cancelled(); }

    static size_t on_header(char* data, size_t size, size_t count, void* self) {
        return static_cast<Transfer*>(self)->header(std::string_view(data, size * count))
                   ? size * count
                   : 0;
    }

    // Each answer of a redirect chain starts with its status line; only the
    // last one's encoding matters, and a step down from https is stopped
    // before libcurl follows it.
    bool header(std::string_view line) {
        last_byte_ = Clock::now();
        if (starts_with_nocase(line, "http/")) {
            encoding_.clear();
            return true;
        }
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos)
            return true;
        const std::string_view name = line.substr(0, colon);
        const std::string value = trimmed(line.substr(colon + 1));
        if (name.size() == 16 && starts_with_nocase(name, "content-encoding")) {
            // What libcurl decodes, or nothing at all.
            if (!value.empty() && !starts_with_nocase(value, "identity") &&
                !(value.size() == 4 && starts_with_nocase(value, "gzip")))
                encoding_ = value;
        } else if (name.size() == 8 && starts_with_nocase(name, "location")) {
            const char* current = nullptr;
            curl_easy_getinfo(easy_, CURLINFO_EFFECTIVE_URL, &current);
            const bool secure = current ? starts_with_nocase(current, "https://") : secure_start_;
            if (secure && starts_with_nocase(value, "http://")) {
                downgrade_ = true;
                return false;
            }
        }
        return true;
    }

    static size_t on_body(char* data, size_t size, size_t count, void* self) {
        return static_cast<Transfer*>(self)->take(data, size * count) ? size * count : 0;
    }

    // Only the body of a 200 answer in a known encoding is kept; anything
    // else stops the transfer at its first byte.
    bool take(const char* data, std::size_t size) {
        if (cancelled())
            return false;
        if (received_ == 0) {
            long status = 0;
            curl_easy_getinfo(easy_, CURLINFO_RESPONSE_CODE, &status);
            if (status != 200) {
                refused_status_ = true;
                return false;
            }
            if (!encoding_.empty())
                return false;
            curl_off_t length = -1;
            curl_easy_getinfo(easy_, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
            if (control_ && length > 0)
                control_->announced_ = length;
        }
        last_byte_ = Clock::now();
        const std::int64_t limit = options_.limits.max_bytes;
        if (limit > 0 && static_cast<std::int64_t>(size) > limit - received_) {
            too_large_ = true;
            return false;
        }
        if (!file_.write(data, size)) {
            write_failed_ = true;
            return false;
        }
        received_ += static_cast<std::int64_t>(size);
        if (control_)
            control_->received_ = received_;
        return true;
    }

    using Clock = std::chrono::steady_clock;

    // The body goes here and replaces the local file only when all is well.
    AtomicFile file_;
    const FetchOptions& options_;
    FetchControl* control_;
    // A server that sends no byte for this long has stalled; zero: no limit.
    Clock::duration idle_limit_;
    // The whole transfer's time; zero: no limit.
    Clock::duration deadline_;
    bool secure_start_;
    Clock::time_point last_byte_;
    CURL* easy_ = nullptr;
    std::int64_t received_ = 0;
    std::string encoding_; // of the current answer, when not one we take
    bool refused_status_ = false;
    bool write_failed_ = false;
    bool too_large_ = false;
    bool downgrade_ = false;
    bool past_deadline_ = false;
};

} // namespace fetch_detail

FetchResult fetch_url(const std::string& url, const std::string& path, const FetchOptions& options,
                      FetchControl* control) {
    // Checked here: libcurl would guess a scheme for a bare host name.
    if (!has_web_scheme(url))
        return FetchResult{false, "not an http:// or https:// address"};
    if (!curl_ready())
        return FetchResult{false, "no network library"};

    std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> easy(curl_easy_init(), &curl_easy_cleanup);
    std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)> headers(
        curl_slist_append(nullptr, "Accept: text/*"), &curl_slist_free_all);
    if (!easy || !headers)
        return FetchResult{false, "out of memory"};

    CURL* e = easy.get();
    const FetchLimits& limits = options.limits;
    curl_easy_setopt(e, CURLOPT_URL, url.c_str());
    curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(e, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(e, CURLOPT_MAXREDIRS, limits.max_redirects);
    // The server has refused clients without a browser-like agent.
    curl_easy_setopt(e, CURLOPT_USERAGENT, "Mozilla");
    curl_easy_setopt(e, CURLOPT_HTTPHEADER, headers.get());
    // libcurl decodes what it asked for; anything else is refused.
    curl_easy_setopt(e, CURLOPT_ACCEPT_ENCODING, "gzip");
    // Refused as soon as the server announces more.
    if (limits.max_bytes > 0)
        curl_easy_setopt(e, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits.max_bytes));
    curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS, limits.connect_timeout_ms);
    curl_easy_setopt(e, CURLOPT_LOW_SPEED_LIMIT, limits.low_speed_bytes);
    curl_easy_setopt(e, CURLOPT_LOW_SPEED_TIME, limits.low_speed_seconds);
    curl_easy_setopt(e, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(e, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!options.ca_file.empty()) {
        curl_easy_setopt(e, CURLOPT_CAINFO, options.ca_file.c_str());
        curl_easy_setopt(e, CURLOPT_CAPATH, nullptr);
    }
    // No proxy set here: libcurl then takes http_proxy, https_proxy (or
    // HTTPS_PROXY), all_proxy and no_proxy from the environment as curl's
    // own tools do, and ignores HTTP_PROXY, which a web server's CGI
    // environment could set from a request's "Proxy:" header.
    // Time-outs without SIGALRM, which would hit whatever thread runs.
    curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);

    // A download killed half-way left its temporary file; the next one into
    // the folder clears what is surely nobody's any more.
    remove_stale_temporaries(folder_of(path));

    fetch_detail::Transfer transfer(url, path, options, control);
    return transfer.run(e);
}

std::string size_text(std::int64_t bytes) {
    if (bytes >= (1 << 20) && bytes % (1 << 20) == 0)
        return std::to_string(bytes >> 20) + " MiB";
    if (bytes >= 1024 && bytes % 1024 == 0)
        return std::to_string(bytes >> 10) + " KiB";
    return std::to_string(bytes) + " bytes";
}
