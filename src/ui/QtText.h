#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace quill::ui {

// The library speaks code page 1250; Qt speaks UTF-16.
QString toQt(std::string_view cp1250Text);
std::string fromQt(const QString& text);

} // namespace quill::ui
