// sorvel_bench_score: writes one of sorvel's benchmark scores (BenchScores, seed 15, as
// sorvel_bench makes them) to a file, so that the browser page's benchmark respells the very
// files the native benchmark does. Usage: sorvel_bench_score NOTES FILE
#include <cstdio>
#include <fstream>
#include <string>

#include "bench/sorvel/BenchScores.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: sorvel_bench_score NOTES FILE\n");
        return 2;
    }
    const std::string text = BenchScores::Make(std::stoul(argv[1]), 15);
    std::ofstream out(argv[2], std::ios::binary);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    return out ? 0 : 1;
}
