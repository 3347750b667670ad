#include "graphics/graphic.h"

#include "framework/core/exceptions.h"
#include "framework/core/streams.h"
#include "graphics/palette.h"

namespace pogoda {

bool TGraphicClass::InheritsFrom(const TGraphicClass& other) const {
    for (const TGraphicClass* c = this; c != nullptr; c = c->Base) {
        if (c == &other) {
            return true;
        }
    }
    return false;
}

const TGraphicClass& TGraphic::ClassRef() {
    static const TGraphicClass ref{"TGraphic", nullptr, nullptr};
    return ref;
}

std::unique_ptr<TGraphic> CreateGraphic(const TGraphicClass& graphicClass) {
    if (graphicClass.Create == nullptr) {
        throw EInvalidGraphicOperation(std::string("Cannot create an instance of ") +
                                       graphicClass.Name);
    }
    return graphicClass.Create();
}

void TGraphic::NotifyChanged(TObject* sender) {
    m_modified = true;
    OnChange(sender);
}

bool TGraphic::Equals(const TGraphic& other) const {
    if (&GraphicClass() != &other.GraphicClass()) {
        return false;
    }
    if (Empty() || other.Empty()) {
        return Empty() && other.Empty();
    }
    TMemoryStream mine;
    TMemoryStream theirs;
    WriteStoredData(mine);
    other.WriteStoredData(theirs);
    return mine.Size() == theirs.Size() &&
           std::equal(mine.Memory(), mine.Memory() + mine.Size(), theirs.Memory());
}

void TGraphic::SetPalette(const TPalette&) {}

void TGraphic::SetTransparent(bool value) {
    if (value != m_transparent) {
        m_transparent = value;
        NotifyChanged(this);
    }
}

void TGraphic::LoadFile(const std::string& path) {
    TFileStream file(path, fmOpenRead | fmShareDenyWrite);
    LoadStream(file);
}

void TGraphic::SaveFile(const std::string& path) const {
    TFileStream file(path, fmCreate);
    SaveStream(file);
}

void TGraphic::ReportProgress(TProgressStage stage, uint8_t percentDone, bool redrawNow,
                              TRect& rect, const std::string& msg) {
    OnProgress(this, stage, percentDone, redrawNow, rect, msg);
}

}  // namespace pogoda
