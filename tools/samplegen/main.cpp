// samplegen FOLDER: writes every sample model of the project into FOLDER (samples/ in the
// source tree holds their committed output).

#include <iostream>
#include <string>

#include "tools/samplegen/Samples.h"

namespace {

struct Generator {
    const char* what;
    bool (*write)(const std::string& folder, std::string* reason);
};

const Generator Generators[] = {
    {"vertex model (flag.qv1, flag.bmp)", &qx::samples::writeVertexSample},
    {"skeletal mesh (figure.qm1, figure-shirt.bmp, figure-*.qm2)", &qx::samples::writeSkeletalSample},
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: samplegen FOLDER\n";
        return 2;
    }
    int status = 0;
    for (const Generator& generator : Generators) {
        std::string reason;
        if (!generator.write(argv[1], &reason)) {
            std::cerr << "samplegen: " << generator.what << ": " << reason << '\n';
            status = 1;
        }
    }
    return status;
}
