#include "CorpusManifest.h"

#include <fstream>
#include <sstream>

namespace fixtures {

bool CorpusFile::Broken() const {
    return ("," + features + ",").find(",broken,") != std::string::npos;
}

bool CorpusFile::Signed() const {
    return observations.find("digsig") != std::string::npos;
}

std::vector<CorpusFile> ReadCorpusManifest(const std::string& dir) {
    std::vector<CorpusFile> files;
    if (dir.empty())
        return files;
    std::ifstream in(dir + "/MANIFEST.tsv");
    std::string line;
    std::getline(in, line);  // the column names
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::vector<std::string> cols;
        std::stringstream s(line);
        for (std::string col; std::getline(s, col, '\t');)
            cols.push_back(col);
        if (cols.size() < 7)
            continue;
        files.push_back({cols[0], cols[6], cols.size() > 7 ? cols[7] : ""});
    }
    return files;
}

}  // namespace fixtures
