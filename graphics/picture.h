#pragma once

// The picture container: owns at most one graphic, loads it from a file (class chosen by
// extension) or from stored data (class chosen by name), and reports changes and progress.

#include <memory>
#include <string>
#include <string_view>

#include "framework/core/persistent.h"
#include "graphics/graphic.h"

namespace pogoda {

class TStream;

// An optional second listener for changes of a picture.
class IChangeNotifier {
public:
    virtual ~IChangeNotifier() = default;
    virtual void Changed() = 0;
};

class TPicture : public TPersistent {
    POGODA_CLASS_NAME(TPicture)
public:
    TPicture() = default;
    TPicture(const TPicture&) = delete;
    TPicture& operator=(const TPicture&) = delete;

    // Null when empty.
    TGraphic* Graphic() const { return m_graphic.get(); }
    // Installs a copy of graphic (its class's virtual constructor, then Assign); null empties.
    void SetGraphic(const TGraphic* graphic);
    int Width() const;
    int Height() const;

    // Chooses the class by the path's extension and loads the file. An unregistered
    // extension raises EInvalidGraphic "Unknown picture file extension (.%s)"; on any failure
    // the previous graphic stays.
    void LoadPictureFile(const std::string& path);
    void SaveToFile(const std::string& path) const;

    // The "Data" property: a length byte, the class name, the graphic's stored data. An
    // unregistered class name gives an empty picture without error.
    void ReadStoredData(TStream& stream);
    void WriteStoredData(TStream& stream) const;

    void Assign(const TPersistent* source) override;

    static void RegisterFileFormat(std::string_view extension, std::string_view description,
                                   const TGraphicClass& graphicClass);

    TNotifyEvent OnChange;
    TProgressEvent OnProgress;
    void SetNotifier(IChangeNotifier* notifier) { m_notifier = notifier; }

private:
    void Install(std::unique_ptr<TGraphic> graphic);
    void Changed(TObject* sender);
    void Progress(TObject* sender, TProgressStage stage, uint8_t percentDone, bool redrawNow,
                  TRect& rect, const std::string& msg);

    std::unique_ptr<TGraphic> m_graphic;
    IChangeNotifier* m_notifier = nullptr;
};

}  // namespace pogoda
