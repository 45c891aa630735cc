#pragma once

#include "platform/Status.h"

#include <string>
#include <string_view>

namespace quill {

class Session;

// The name an added image is stored under: ".bmp" added when it has no
// extension. Refused (with the reason) for a name that cannot be a file
// name or that an image of the data point has already, in its Bitmaps or
// among the main tree's pictures.
Status checkNewImageName(Session& session, std::string& name);

// Stores a picture, already encoded as a bitmap, under its checked name in
// the data point's shared Bitmaps and in the local copy's.
Status storeResourceImage(Session& session, const std::string& name, std::string_view bitmap);

// Whether the picture belongs to the main tree, whose pictures stay.
bool isMainTreeImage(const Session& session, std::string_view name);

// Deletes an added image from the shared Bitmaps and the local copy's.
// Refused for the main tree's pictures and names that are no plain file
// name; only regular files are removed, never what a link points to.
Status deleteResourceImage(Session& session, std::string_view name);

} // namespace quill
