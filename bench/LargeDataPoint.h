#pragma once

#include <string>

namespace quill::bench {

struct LargeDataPointShape {
    int topFolders = 40;
    int subFoldersPerFolder = 25;      // each top folder holds this many sub-folders
    int documentsPerFolder = 12;       // in every sub-folder
    int plainDirectoriesPerFolder = 1; // directories without a folder record
    int users = 2000;                  // user records besides the sample's
    int groups = 100;                  // ANNA's groups, twenty members each
};

// Writes a data point under directory: the sample's definitions and
// DataPoint.info, and a shared tree of folders with note documents, some
// with comments and schedule companions; and many users, with groups of
// user ANNA among them. Returns its path.
std::string generateLargeDataPoint(const std::string& directory, const std::string& sampleDataPoint,
                                   const LargeDataPointShape& shape);

} // namespace quill::bench
