// Builds a sample IDE folder's two libraries from the row lists in samples/:
//   make_sample_libraries IDE_DIR public.rows private.rows
#include "sample_libraries.h"

#include <iostream>

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: make_sample_libraries IDE_DIR public.rows private.rows\n";
        return 2;
    }
    std::string error;
    if (!orv::samples::makeSampleLibraries(argv[1], argv[2], argv[3], error)) {
        std::cerr << "make_sample_libraries: " << error << '\n';
        return 1;
    }
    return 0;
}
