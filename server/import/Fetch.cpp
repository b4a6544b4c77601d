#include "import/Fetch.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <chrono>

namespace qserver::import {

namespace {
struct Sink {
    std::string *body;
    std::size_t cap;
    bool tooBig = false;
};

// Headers of the current answer only: each redirect step starts afresh.
struct Headers {
    std::string etag, lastModified, contentType;
};

std::size_t write(char *data, std::size_t size, std::size_t n, void *user)
{
    auto *sink = static_cast<Sink *>(user);
    const std::size_t len = size * n;
    if (sink->body->size() + len > sink->cap) {
        sink->tooBig = true;
        return 0;  // libcurl ends the transfer
    }
    sink->body->append(data, len);
    return len;
}

std::string trimmed(std::string s)
{
    const auto notBlank = [](unsigned char c) { return !std::isspace(c); };
    s.erase(s.begin(), std::find_if(s.begin(), s.end(), notBlank));
    s.erase(std::find_if(s.rbegin(), s.rend(), notBlank).base(), s.end());
    return s;
}

std::size_t header(char *data, std::size_t size, std::size_t n, void *user)
{
    auto *h = static_cast<Headers *>(user);
    const std::size_t len = size * n;
    const std::string line(data, std::min<std::size_t>(len, 4096));
    const std::size_t colon = line.find(':');
    if (colon != std::string::npos) {
        std::string name = line.substr(0, colon);
        for (char &c : name)
            c = char(std::tolower(static_cast<unsigned char>(c)));
        const std::string value = trimmed(line.substr(colon + 1));
        if (value.size() <= 1000) {  // validators longer than that are nobody's
            if (name == "etag")
                h->etag = value;
            else if (name == "last-modified")
                h->lastModified = value;
            else if (name == "content-type")
                h->contentType = value;
        }
    }
    return len;
}

int progress(void *user, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    const auto *cancel = static_cast<const std::atomic<bool> *>(user);
    return cancel && *cancel ? 1 : 0;
}

bool unsafeHeaderValue(const std::string &v)
{
    return v.find_first_of("\r\n") != std::string::npos;
}
}  // namespace

void initFetch()
{
    curl_global_init(CURL_GLOBAL_DEFAULT);
}

std::string charsetOf(const std::string &contentType)
{
    std::string low = contentType;
    for (char &c : low)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    const std::size_t at = low.find("charset=");
    if (at == std::string::npos)
        return {};
    std::string v = low.substr(at + 8);
    v = v.substr(0, v.find(';'));
    v = trimmed(v);
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\''))
        v = v.substr(1, v.size() - 2);
    return trimmed(v);
}

FetchResult fetch(const std::string &url, const FetchLimits &limits, const Validators &known)
{
    FetchResult r;
    CURL *curl = curl_easy_init();
    if (!curl) {
        r.error = "kan geen verbinding opzetten (libcurl)";
        return r;
    }
    Sink sink{&r.body, limits.maxBytes};
    Headers headers;
    char errorText[CURL_ERROR_SIZE] = {0};
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, long(limits.connectTimeoutSeconds));
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);  // threads: no SIGALRM for time-outs
    curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, curl_off_t(limits.maxBytes));
    curl_easy_setopt(curl, CURLOPT_ACCEPT_ENCODING, "");
    curl_easy_setopt(curl, CURLOPT_USERAGENT, "quillon-server");
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, write);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &sink);
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, header);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &headers);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorText);
    if (limits.cancel) {
        curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, progress);
        curl_easy_setopt(curl, CURLOPT_XFERINFODATA, limits.cancel);
        curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    }
    curl_slist *conditional = nullptr;
    if (!known.etag.empty() && !unsafeHeaderValue(known.etag))
        conditional = curl_slist_append(conditional, ("If-None-Match: " + known.etag).c_str());
    if (!known.lastModified.empty() && !unsafeHeaderValue(known.lastModified))
        conditional = curl_slist_append(conditional, ("If-Modified-Since: " + known.lastModified).c_str());
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, conditional);

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(limits.timeoutSeconds);
    std::string current = url;
    bool allPermanent = true;
    int redirects = 0;
    CURLcode rc = CURLE_OK;
    long status = 0;
    while (true) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
        if (left <= 0) {
            rc = CURLE_OPERATION_TIMEDOUT;
            break;
        }
        curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, long(left));
        curl_easy_setopt(curl, CURLOPT_URL, current.c_str());
        r.body.clear();
        headers = Headers{};
        rc = curl_easy_perform(curl);
        status = 0;
        curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
        if (rc != CURLE_OK || status < 300 || status >= 400 || status == 304)
            break;
        char *next = nullptr;
        curl_easy_getinfo(curl, CURLINFO_REDIRECT_URL, &next);
        if (!next)
            break;  // a 3xx without a place to go: reported below as what it is
        if (++redirects > limits.maxRedirects) {
            rc = CURLE_TOO_MANY_REDIRECTS;
            break;
        }
        const std::string target = next;
        if (target.rfind("http://", 0) != 0 && target.rfind("https://", 0) != 0) {
            rc = CURLE_UNSUPPORTED_PROTOCOL;
            break;
        }
        allPermanent = allPermanent && (status == 301 || status == 308);
        current = target;
    }
    curl_easy_cleanup(curl);
    curl_slist_free_all(conditional);
    const std::string cap = std::to_string(limits.maxBytes);
    if (sink.tooBig || rc == CURLE_FILESIZE_EXCEEDED) {
        r.error = "te groot (meer dan " + cap + " bytes)";
    } else if (rc == CURLE_ABORTED_BY_CALLBACK) {
        r.error = "afgebroken: de server stopt";
    } else if (rc == CURLE_UNSUPPORTED_PROTOCOL) {
        r.error = "alleen http en https worden opgehaald";
    } else if (rc == CURLE_TOO_MANY_REDIRECTS) {
        r.error = "te veel doorverwijzingen (meer dan " + std::to_string(limits.maxRedirects) + ")";
    } else if (rc == CURLE_OPERATION_TIMEDOUT) {
        r.error = "geen antwoord binnen " + std::to_string(limits.timeoutSeconds) + " s";
    } else if (rc != CURLE_OK) {
        r.error = std::string("niet bereikbaar (") + (errorText[0] ? errorText : curl_easy_strerror(rc)) + ")";
    } else if (status >= 400 || (status >= 300 && status != 304)) {
        r.error = "de webserver antwoordt HTTP " + std::to_string(status);
    } else {
        r.ok = true;
        r.notModified = status == 304;
        r.finalUrl = current;
        if (redirects > 0 && allPermanent)
            r.movedTo = current;
        r.charset = charsetOf(headers.contentType);
        r.validators = {headers.etag, headers.lastModified};
        if (r.notModified)
            r.body.clear();
        return r;
    }
    r.body.clear();
    return r;
}

}  // namespace qserver::import
