#pragma once

#include "engine/endpoints.h"

#include <QString>

#include <optional>

namespace veltrik {

// The search engine chosen in the engine menu.
enum class SearchEngine {
    WebSearch,   // 百度引擎, and whenever no other engine carries the mark
    Wenku,       // 百度文库
    NoQueryForm, // 中国知网 and 龙源期刊: they have no query address
};

// The query sent for a list row: without its row-number prefix, spaces trimmed, then brackets, quotes,
// commas, colons, ellipses, "！" and "。" turned into spaces (each replacement a single pass, in order).
// "；", "？" and full-width spaces stay.
QString buildQuery(const QString &rowText);

// A query that is not sent: empty, a single U+E003, or a single space.
bool isEmptyQuery(const QString &query);

// The request address for the engine; none for an engine without a query form. The query goes into the
// address percent-encoded as UTF-8, so that "&", "#", "%", "+" and "=" in a piece stay part of the query.
std::optional<QString> composeSearchUrl(SearchEngine engine, const Endpoints &endpoints, const QString &query);

} // namespace veltrik
