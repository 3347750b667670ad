// Decodes arbitrary bytes as a PNG: any input must end in a picture or a clean exception.

#include <cstddef>
#include <cstdint>

#include "framework/core/exceptions.h"
#include "framework/core/streams.h"
#include "graphics/png_graphic.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    pogoda::TMemoryStream stream;
    stream.WriteBuffer(data, static_cast<int64_t>(size));
    stream.SetPosition(0);
    pogoda::TPNGGraphic graphic;
    try {
        graphic.LoadStream(stream);
    } catch (const pogoda::Exception&) {
        // Refusing the input is a valid outcome.
    }
    return 0;
}
