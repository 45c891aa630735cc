#pragma once

#include "platform/Status.h"

#include <string>

namespace quill {

// The size and make-up of a generated data point, for trying the program
// and measuring it on trees as large as real shares.
struct GeneratorShape {
    int folders = 100;    // folders in the shared tree, top folder not counted
    int depth = 3;        // levels of folders below the top folder
    int documents = 1000; // notes spread evenly over the folders
    int commentsPercent = 25;
    int attachmentsPercent = 10;
    int schedulesPercent = 15;
    int users = 0;     // user records besides the sample's
    unsigned seed = 1; // the same seed writes the same tree
};

// Writes a data point into target, which must not exist or be empty, so
// that nothing of anybody's is ever overwritten: the definitions, users and
// resources of sampleDataPoint, then a shared tree of the given shape.
Status generateDataPoint(const std::string& target, const std::string& sampleDataPoint, const GeneratorShape& shape);

} // namespace quill
