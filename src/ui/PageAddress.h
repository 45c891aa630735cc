#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <utility>

namespace quill::ui {

// One field of a submitted form as the page holds it.
using FormField = std::pair<QString, QString>;

// The page pane's side of formats/PageAddress.h: the same encodings on the
// pane's Qt types.
QByteArray executorAddress(const QByteArray& encodedUrl);
QByteArray urlEncodedFormBody(const QList<FormField>& fields);

} // namespace quill::ui
