// The update check's HTTP layer: plain GET requests to the download server,
// the same for the version file, the change log and the archive. Only https
// is spoken, redirects are not followed, certificate verification stays on,
// proxies named by the environment are ignored (every request goes
// straight to the server), and a connection that cannot be made or a
// transfer that stalls is given up within a bound.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// What a request into memory brought back. A request that failed on the
// network (no connection, name not resolved, TLS refused, stalled, longer
// than 30 s in all or a body above 1 MiB) still counts as made, with
// status 0 and no body.
struct HttpReply {
  long status = 0;
  std::string body;  // the bytes as received
};

// GET `url` into memory. False when no request could be made at all.
bool HttpGetText(const std::string& url, HttpReply& reply);

// Takes each piece of a streamed body as it arrives; false stops the
// transfer, which then counts as failed.
using HttpSink = bool (*)(const char* data, std::size_t size, void* context);

// Bounds of a streamed transfer: a longer body or a longer transfer is cut
// and counts as failed.
struct StreamLimits {
  std::uint64_t maxBytes;
  long maxSeconds;
};

// GET `url`, handing the body to `sink`. True when the transfer ended
// without a transport error within `limits`, whatever the HTTP status.
bool HttpGetStreamed(const std::string& url, StreamLimits limits, HttpSink sink, void* context);

// A PEM file whose CAs the following requests trust instead of the
// system's store; empty for the system's store. Verification itself is
// never switched off.
void SetHttpCaFile(const std::string& path);
