// pngdecode [--repeat N] INPUT [OUTPUT.bmp]
// Loads INPUT as a picture (the class chosen by its extension) N times and prints one line:
// "ok WIDTH HEIGHT PIXELFORMAT[ transparent=RRGGBB]" or "error CLASSNAME: MESSAGE".

#include <cstdio>
#include <string>
#include <string_view>

#include "framework/core/streams.h"
#include "framework/core/text.h"
#include "graphics/bitmap.h"
#include "graphics/picture.h"
#include "tools/pngdecode/picture_report.h"

namespace {

int Usage() {
    std::fputs("usage: pngdecode [--repeat N] INPUT [OUTPUT.bmp]\n", stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace pogoda;
    int repeat = 1;
    int next = 1;
    if (next < argc && std::string_view(argv[next]) == "--repeat") {
        if (next + 1 >= argc || !TryStrToInt(argv[next + 1], repeat) || repeat < 1) {
            return Usage();
        }
        next += 2;
    }
    if (argc - next < 1 || argc - next > 2) {
        return Usage();
    }
    const std::string input = argv[next];
    const std::string output = argc - next == 2 ? argv[next + 1] : "";
    try {
        TPicture picture;
        for (int i = 0; i < repeat; ++i) {
            picture.LoadPictureFile(input);
        }
        const std::string line = DescribePicture(picture);
        const auto* bitmap = dynamic_cast<const TBitmap*>(picture.Graphic());
        if (!output.empty() && bitmap != nullptr && !bitmap->Empty()) {
            TFileStream file(output, fmCreate);
            bitmap->SaveStream(file);
        }
        std::printf("%s\n", line.c_str());
        return 0;
    } catch (const Exception& e) {
        std::printf("%s\n", DescribeError(e).c_str());
        return 1;
    }
}
