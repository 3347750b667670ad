#include "graphics/file_formats.h"

#include <algorithm>

#include "framework/core/text.h"
#include "graphics/bitmap.h"
#include "graphics/graphic.h"
#include "graphics/jpeg_image.h"
#include "graphics/png_graphic.h"
#include "graphics/unsupported_formats.h"

namespace pogoda {

TFileFormatsList::TFileFormatsList() {
    RegisterFormat("wmf", "Metafiles", TMetafile::ClassRef());
    RegisterFormat("emf", "Enhanced Metafiles", TMetafile::ClassRef());
    RegisterFormat("ico", "Icons", TIconGraphic::ClassRef());
    RegisterFormat("bmp", "Bitmaps", TBitmap::ClassRef());
}

void TFileFormatsList::RegisterFormat(std::string_view extension, std::string_view description,
                                      const TGraphicClass& graphicClass) {
    m_formats.push_back({&graphicClass, AnsiLowerCase(extension), std::string(description), 0});
}

const TGraphicClass* TFileFormatsList::FindClassForExtension(std::string_view extension) const {
    const std::string wanted = AnsiLowerCase(extension);
    for (auto it = m_formats.rbegin(); it != m_formats.rend(); ++it) {
        if (it->Extension == wanted) {
            return it->GraphicClass;
        }
    }
    return nullptr;
}

const TGraphicClass* TFileFormatsList::FindClassByName(std::string_view className) const {
    for (auto it = m_formats.rbegin(); it != m_formats.rend(); ++it) {
        if (className == it->GraphicClass->Name) {
            return it->GraphicClass;
        }
    }
    return nullptr;
}

void TFileFormatsList::RemoveFormatsOfClass(const TGraphicClass& graphicClass) {
    std::erase_if(m_formats, [&](const TFileFormat& format) {
        return format.GraphicClass->InheritsFrom(graphicClass);
    });
}

TFileFormatsList& GetFileFormats() {
    // The format units' start-up, in the order the program runs it.
    static TFileFormatsList formats = [] {
        TFileFormatsList list;
        RegisterJPEGFormats(list);
        RegisterPNGFormat(list);
        return list;
    }();
    return formats;
}

}  // namespace pogoda
