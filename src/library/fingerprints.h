#pragma once

#include <QList>
#include <QStringView>

namespace veltrik {

// Fingerprints of a text for finding the library documents an article shares passages with: hashes of
// every run of kFingerprintGram letters and digits (punctuation, white space and line breaks are left
// out, so that a passage is found however it is broken or punctuated), thinned by winnowing. A shared
// run of at least kGuaranteedRun letters and digits always yields a shared fingerprint.
inline constexpr int kFingerprintGram = 10;
inline constexpr int kFingerprintWindow = 20;
inline constexpr int kGuaranteedRun = kFingerprintGram + kFingerprintWindow - 1;

// The distinct fingerprints of the text, sorted.
QList<qint32> textFingerprints(QStringView text);

} // namespace veltrik
