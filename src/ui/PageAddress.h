#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <utility>

namespace quill::ui {

// One field of a submitted form as the page holds it.
using FormField = std::pair<QString, QString>;

// An address as the command executor reads it. Chromium hands over a
// lower-case scheme and the rest percent-encoded as UTF-8; this undoes both
// and gives cp1250 bytes, so that "COMMAND:" prefixes match as written in
// the page. Escapes that are not UTF-8 are taken as cp1250 bytes.
QByteArray executorAddress(const QByteArray& encodedUrl);

// The application/x-www-form-urlencoded body a browser posts for these
// fields from a cp1250 page: line breaks as CR LF, blanks as '+', letters
// the code page lacks as "&#N;" character references.
QByteArray urlEncodedFormBody(const QList<FormField>& fields);

} // namespace quill::ui
