// Writes the seed inputs of every fuzz target: lf_fuzz_seeds OUT_DIR [CORPUS_DIR]
// creates OUT_DIR/<target>/ with the synthetic seeds and those derived from the corpus.

#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "Seeds.h"
#include "Targets.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUT_DIR [CORPUS_DIR]\n", argv[0]);
        return 2;
    }
    const std::string out = argv[1];
    const std::string corpus = argc > 2 ? argv[2] : "";
    ::mkdir(out.c_str(), 0755);
    for (const lf_fuzz::Target& t : lf_fuzz::AllTargets()) {
        const std::string dir = out + "/" + t.name;
        ::mkdir(dir.c_str(), 0755);
        auto seeds = lf_fuzz::SyntheticSeeds(t.name);
        for (auto& s : lf_fuzz::CorpusSeeds(t.name, corpus))
            seeds.push_back({"corpus-" + s.name, std::move(s.bytes)});
        for (const auto& s : seeds) {
            std::ofstream f(dir + "/" + s.name, std::ios::binary | std::ios::trunc);
            f.write(s.bytes.data(), static_cast<std::streamsize>(s.bytes.size()));
            if (!f) {
                std::fprintf(stderr, "cannot write %s/%s\n", dir.c_str(), s.name.c_str());
                return 1;
            }
        }
        std::printf("%-16s %zu seeds\n", t.name.c_str(), seeds.size());
    }
    return 0;
}
