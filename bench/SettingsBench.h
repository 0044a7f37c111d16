// SettingsBench: the settings files measured. Loading and saving the shared settings file at a
// few sizes (other plug-ins' pairs, this plug-in's options and a working list), and loading and
// saving a pitch-list file, each repeated; prints the table and how the cost grows.
#pragma once

#include <string>
#include <vector>

#include "bench/BenchOptions.h"

class SettingsBench {
  public:
    struct Cell {
        std::string file;  // "shared" or "pitch list"
        int pairs = 0;
        int rows = 0;  // working-list rows, or rows of all pitch sets
        int sets = 0;
        int runs = 0;
        double loadWall = 0;  // medians
        double saveWall = 0;
        double loadCpu = 0;  // means
        double saveCpu = 0;
    };

    static std::vector<Cell> Measure(const BenchOptions& options);
    static void Print(const std::vector<Cell>& cells);
};
