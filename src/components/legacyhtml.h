#pragma once

#include <QString>

namespace veltrik {

// Rewrites HTML as serialised by Chromium into the quoting the result scoring expects: an attribute value
// that contains a double quote and no single quote is written between single quotes with its characters
// unescaped, so that data-tools="{&quot;title&quot;:...}" becomes data-tools='{"title":...}'. Every other
// byte of the input is kept. The contents of raw-text elements (script, style, ...) and comments are
// copied untouched.
QString toLegacyAttributeQuoting(const QString &html);

} // namespace veltrik
