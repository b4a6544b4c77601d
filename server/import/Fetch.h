#pragma once
// Fetching a feed over HTTP(S) with libcurl, within bounds: only http and
// https (also after redirects), a bounded number of redirects, a time limit
// for connecting and for the whole transfer (all redirects together), and a
// size cap that holds for the decompressed body too (a gzip bomb stops at
// the cap). Blocking: run it on a worker thread, never on the event loop.
//
// Redirects are followed here, one request at a time, so the caller learns
// the final address (relative links in the feed resolve against it) and
// whether every step was permanent (301, 308: the stored address should
// follow). The validators of the last fetch make the request conditional;
// an unchanged feed then costs one 304 without a body.

#include <atomic>
#include <cstddef>
#include <string>

namespace qserver::import {

struct FetchLimits {
    int timeoutSeconds = 30;  // whole transfer
    int connectTimeoutSeconds = 10;
    int maxRedirects = 5;
    std::size_t maxBytes = 10 * 1024 * 1024;
    const std::atomic<bool> *cancel = nullptr;  // set: the transfer ends early (shutdown)
};

struct Validators {
    std::string etag;  // ETag of the last whole answer, sent as If-None-Match
    std::string lastModified;  // its Last-Modified, sent as If-Modified-Since
};

struct FetchResult {
    bool ok = false;
    bool notModified = false;  // 304: the feed is as it was at the last fetch; no body
    std::string body;
    std::string error;  // Dutch, for the job log
    std::string finalUrl;  // where the answer came from, after redirects
    std::string movedTo;  // not empty: every redirect was permanent, the feed lives here now
    std::string charset;  // of the Content-Type header, lower case, "" when none
    Validators validators;  // of this answer ("" when it gave none)
};

// Call once from the main thread before any fetch.
void initFetch();

FetchResult fetch(const std::string &url, const FetchLimits &limits, const Validators &known = Validators());

// The charset parameter of a Content-Type value, lower case ("" when none).
std::string charsetOf(const std::string &contentType);

}  // namespace qserver::import
