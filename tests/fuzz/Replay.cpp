// Runs every input of a checked-in corpus through its target once: the ordinary build's guard
// against regressions on known inputs. Usage: tender_fuzz_replay TARGET CORPUS_DIR
#include "FuzzTarget.h"
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <vector>

int main(int argc, char** argv)
{
    auto target = argc == 3 ? tender::fuzz::target(argv[1]) : nullptr;
    if (!target) {
        std::cerr << "usage: tender_fuzz_replay TARGET CORPUS_DIR (with a known TARGET)\n";
        return 2;
    }
    std::vector<std::filesystem::path> inputs{std::filesystem::directory_iterator(argv[2]), {}};
    std::sort(inputs.begin(), inputs.end());
    for (const auto& path : inputs) {
        std::ifstream file(path, std::ios::binary);
        std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
        std::cout << path.filename().string() << std::endl;
        target(bytes);
    }
    std::cout << inputs.size() << " inputs of " << argv[1] << " ran without a finding\n";
    return inputs.empty() ? 1 : 0;
}
