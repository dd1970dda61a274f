// Start-up from main() to the first painted frame, each sample a fresh process with
// a cold QApplication: the editor on the demo world against a bare window holding
// the same widgets, whose drop-down lists take their entries when first opened.
#pragma once

#include <string>

namespace editor_bench {

// What one sample starts: the editor, or the bare window of the census file.
enum class Side { Ours, Bare };

// Where a sample's clocks stood when its main() began.
struct SampleStart {
    double wallSeconds;
    double cpuSeconds;
    static SampleStart now();
};

// The sample's part, run in a fresh process: builds the side's window, shows it until
// painted, and prints the wall and CPU microseconds from start to the painted frame.
// Returns the process's exit status.
int runStartupSample(Side side, const std::string& censusFile, SampleStart start, int argc, char** argv);

// Runs samples of each side alternately as child processes of program (this
// benchmark) in the current folder, and prints their medians and ratios. With
// instructions, one sample a side runs under callgrind and its instruction count
// from main() to the painted frame is set beside the other's instead; offscreen
// only, since on a display callgrind counts far too little of either side.
// With WBTRV32_SERVER set, the editor's samples on the server take turns with
// samples of the editor on the same world in files, and their ratio is printed
// too. False when a sample failed.
bool compareStartups(const std::string& program, const std::string& censusFile, int samples, bool instructions);

}  // namespace editor_bench
