// Times LoadDocument (with the decoding of the first body, which the window shows at once)
// and SaveDocument on one outline file. Usage: outline_bench FILE [RUNS]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/document.h"
#include "core/outline_reader.h"
#include "core/outline_save.h"

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FILE [RUNS]\n", argv[0]);
        return 2;
    }
    const std::string path = argv[1];
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 7;
    const std::string savePath = path + ".saved";

    std::vector<double> loads;
    std::vector<double> saves;
    std::size_t firstBody = 0;
    for (int run = 0; run < runs; ++run) {
        mossleaf::Document doc;
        const auto loadStart = Clock::now();
        const mossleaf::LoadOutcome loaded = mossleaf::LoadDocument(doc, path);
        firstBody = doc.bodyOf("S1").size();
        loads.push_back(secondsSince(loadStart));
        if (loaded.status != mossleaf::LoadOutcome::Status::Loaded) {
            std::fprintf(stderr, "load failed: %s\n", loaded.reason.c_str());
            return 1;
        }

        const auto saveStart = Clock::now();
        const mossleaf::SaveOutcome saved = mossleaf::SaveDocument(doc, savePath);
        saves.push_back(secondsSince(saveStart));
        if (saved.status != mossleaf::SaveOutcome::Status::Saved) {
            std::fprintf(stderr, "save failed: %s\n", saved.reason.c_str());
            return 1;
        }
    }
    std::printf("runs %d, first body %zu characters\n", runs, firstBody);
    std::printf("load median %.3f s (min %.3f, max %.3f)\n", median(loads),
                *std::min_element(loads.begin(), loads.end()),
                *std::max_element(loads.begin(), loads.end()));
    std::printf("save median %.3f s (min %.3f, max %.3f)\n", median(saves),
                *std::min_element(saves.begin(), saves.end()),
                *std::max_element(saves.begin(), saves.end()));
    return 0;
}
