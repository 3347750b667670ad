#include "graphics/unsupported_formats.h"

#include "framework/core/exceptions.h"
#include "framework/core/text.h"

namespace pogoda {

POGODA_DEFINE_GRAPHIC_CLASS(TUnsupportedGraphic, TGraphic)
POGODA_DEFINE_GRAPHIC_CLASS(TMetafile, TUnsupportedGraphic)
POGODA_DEFINE_GRAPHIC_CLASS(TIconGraphic, TUnsupportedGraphic)

void TUnsupportedGraphic::LoadStream(TStream&) {
    throw EInvalidGraphic(Format("%s images are not supported", FormatName()));
}

void TUnsupportedGraphic::SaveStream(TStream&) const {
    throw EInvalidGraphic(Format("%s images are not supported", FormatName()));
}

void TUnsupportedGraphic::AssignTo(TPersistent* dest) const {
    // Being always empty, one is copied onto another of the same class by doing nothing.
    auto* graphic = dynamic_cast<TUnsupportedGraphic*>(dest);
    if (graphic == nullptr || &graphic->GraphicClass() != &GraphicClass()) {
        TGraphic::AssignTo(dest);
    }
}

}  // namespace pogoda
