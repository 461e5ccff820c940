// A local cache of downloaded URLs under $XDG_CACHE_HOME/vexoworks/urlcache
// (default ~/.cache/...), filled through libcurl. An entry is used while its
// last-modified time is not later than its last-access time.
#pragma once

#include <string>

namespace lumo::net {

// The folder of the cache; $LUMO_URL_CACHE overrides it (tests use this).
std::string CacheDirectory();
// The cached file of the URL when its entry is usable, else empty.
std::string LookupCached(const std::string& url);
// Downloads the URL into the cache and returns the cached file; empty when
// the download fails (a server error, a refused connection): nothing is
// cached then.
std::string Download(const std::string& url);

} // namespace lumo::net
