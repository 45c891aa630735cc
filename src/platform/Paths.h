#pragma once

#include <string>
#include <string_view>

// Paths inside the library are code page 1250 strings. Data written on other
// machines joins directories with a backslash; here '/' is the separator and
// a '\' that comes from data is read as one too.
namespace quill::path {

bool isSeparator(char c);

// Turns every '\' into '/'.
std::string normalize(std::string_view path);

// dir + name, with a separator inserted only when dir does not end in one.
std::string join(std::string_view dir, std::string_view name);

std::string withTrailingSeparator(std::string_view path);
std::string withoutTrailingSeparator(std::string_view path);
// The form in which two spellings of the same folder are equal: '/'
// separators, none at the end, upper-cased, since names are compared in
// any case.
std::string comparableFolder(std::string_view path);

// The part after the last separator.
std::string fileName(std::string_view path);
// The part in front of the last separator, without it ("" for a bare name).
std::string directory(std::string_view path);
// The extension of the file name part, from its last '.' on ("" when none).
std::string extension(std::string_view path);
// The path without the extension of its file name part.
std::string withoutExtension(std::string_view path);
std::string changeExtension(std::string_view path, std::string_view newExtension);

// True for a name that is safe to join to a directory: not empty, no
// separator, not "." or "..".
bool isPlainFileName(std::string_view name);

} // namespace quill::path
