#pragma once

// The metafile and icon formats are registered so that the registry is complete, but this
// program never reads them: they are empty graphics whose loading raises EInvalidGraphic
// "%s images are not supported".

#include "graphics/graphic.h"

namespace pogoda {

class TUnsupportedGraphic : public TGraphic {
    POGODA_GRAPHIC_CLASS(TUnsupportedGraphic)
public:
    bool Empty() const override { return true; }
    int Width() const override { return 0; }
    int Height() const override { return 0; }
    void SetWidth(int) override {}
    void SetHeight(int) override {}
    void DrawInto(TCanvas&, const TRect&) override {}
    void LoadStream(TStream& stream) override;
    void SaveStream(TStream& stream) const override;

protected:
    void AssignTo(TPersistent* dest) const override;
    virtual const char* FormatName() const { return "Unknown"; }
};

class TMetafile : public TUnsupportedGraphic {
    POGODA_GRAPHIC_CLASS(TMetafile)
protected:
    const char* FormatName() const override { return "Metafile"; }
};

// Named TIconGraphic so as not to clash with the window framework's icon class.
class TIconGraphic : public TUnsupportedGraphic {
    POGODA_GRAPHIC_CLASS(TIconGraphic)
protected:
    const char* FormatName() const override { return "Icon"; }
};

}  // namespace pogoda
