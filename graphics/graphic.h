#pragma once

// The base of every picture format, and the "class reference" that the format registry and
// stored picture data use to create graphics by extension or by class name.

#include <cstdint>
#include <memory>
#include <string>

#include "framework/core/events.h"
#include "framework/core/persistent.h"
#include "graphics/graphics_types.h"

namespace pogoda {

class TCanvas;
class TGraphic;
class TPalette;
class TStream;

// A class reference: the class's name, its virtual constructor and its base class.
struct TGraphicClass {
    const char* Name;
    std::unique_ptr<TGraphic> (*Create)();  // null for an abstract class
    const TGraphicClass* Base;

    // True when this class is other or derives from it.
    bool InheritsFrom(const TGraphicClass& other) const;
};

// Declares ClassName() and the class reference of a graphic class; the reference is defined
// in the .cpp with POGODA_DEFINE_GRAPHIC_CLASS.
#define POGODA_GRAPHIC_CLASS(Name)                                                 \
    POGODA_CLASS_NAME(Name)                                                        \
public:                                                                            \
    static const ::pogoda::TGraphicClass& ClassRef();                              \
    const ::pogoda::TGraphicClass& GraphicClass() const override { return ClassRef(); }

#define POGODA_DEFINE_GRAPHIC_CLASS(Name, BaseName)                                \
    const ::pogoda::TGraphicClass& Name::ClassRef() {                              \
        static const ::pogoda::TGraphicClass ref{                                  \
            #Name, []() -> std::unique_ptr<::pogoda::TGraphic> {                   \
                return std::make_unique<Name>();                                   \
            },                                                                     \
            &BaseName::ClassRef()};                                                \
        return ref;                                                                \
    }

class TGraphic : public TPersistent {
    POGODA_CLASS_NAME(TGraphic)
public:
    static const TGraphicClass& ClassRef();
    virtual const TGraphicClass& GraphicClass() const { return ClassRef(); }

    TGraphic() = default;
    TGraphic(const TGraphic&) = delete;
    TGraphic& operator=(const TGraphic&) = delete;

    // Sets the modified flag and calls OnChange.
    virtual void NotifyChanged(TObject* sender);
    virtual void DrawInto(TCanvas& canvas, const TRect& rect) = 0;
    // Same class and byte-identical stored data, or both empty.
    virtual bool Equals(const TGraphic& other) const;
    virtual bool Empty() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void SetWidth(int width) = 0;
    virtual void SetHeight(int height) = 0;
    // The graphic's palette, null when it has none.
    virtual const TPalette* Palette() const { return nullptr; }
    virtual void SetPalette(const TPalette& palette);
    virtual bool Transparent() const { return m_transparent; }
    // Stores a changed flag and calls NotifyChanged.
    virtual void SetTransparent(bool value);

    // The "Data" property: by default the graphic's own stream form.
    virtual void ReadStoredData(TStream& stream) { LoadStream(stream); }
    virtual void WriteStoredData(TStream& stream) const { SaveStream(stream); }

    // Opens the file for reading with writes by others denied, loads it, closes it (also on
    // failure). An unopenable file raises EFOpenError.
    virtual void LoadFile(const std::string& path);
    virtual void SaveFile(const std::string& path) const;
    virtual void LoadStream(TStream& stream) = 0;
    virtual void SaveStream(TStream& stream) const = 0;

    // Forwards to OnProgress when one is set.
    void ReportProgress(TProgressStage stage, uint8_t percentDone, bool redrawNow, TRect& rect,
                        const std::string& msg);

    bool Modified() const { return m_modified; }
    void SetModified(bool value) { m_modified = value; }
    bool PaletteModified() const { return m_paletteModified; }
    void SetPaletteModified(bool value) { m_paletteModified = value; }

    TNotifyEvent OnChange;
    TProgressEvent OnProgress;

private:
    bool m_modified = false;
    bool m_transparent = false;
    bool m_paletteModified = false;
};

// Creates a graphic of the class through its virtual constructor; an abstract class raises
// EInvalidGraphicOperation.
std::unique_ptr<TGraphic> CreateGraphic(const TGraphicClass& graphicClass);

}  // namespace pogoda
