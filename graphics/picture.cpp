#include "graphics/picture.h"

#include "framework/core/exceptions.h"
#include "framework/core/streams.h"
#include "framework/core/text.h"
#include "graphics/file_formats.h"

namespace pogoda {

namespace {

constexpr size_t kMaxStoredClassName = 63;

// The path's extension without its dot, as typed; empty when the file name has none.
std::string FileExtension(const std::string& path) {
    const size_t pos = path.find_last_of(".\\/:");
    if (pos == std::string::npos || path[pos] != '.') {
        return {};
    }
    return path.substr(pos + 1);
}

}  // namespace

void TPicture::SetGraphic(const TGraphic* graphic) {
    std::unique_ptr<TGraphic> copy;
    if (graphic != nullptr) {
        copy = CreateGraphic(graphic->GraphicClass());
        copy->Assign(graphic);
    }
    Install(std::move(copy));
}

int TPicture::Width() const { return m_graphic ? m_graphic->Width() : 0; }

int TPicture::Height() const { return m_graphic ? m_graphic->Height() : 0; }

void TPicture::LoadPictureFile(const std::string& path) {
    const std::string extension = FileExtension(path);
    const TGraphicClass* graphicClass = GetFileFormats().FindClassForExtension(extension);
    if (graphicClass == nullptr) {
        throw EInvalidGraphic(Format("Unknown picture file extension (.%s)", extension));
    }
    std::unique_ptr<TGraphic> graphic = CreateGraphic(*graphicClass);
    // No change handler while loading: the container hears of the picture once, at the end.
    graphic->OnProgress = TProgressEvent::Bind(this, &TPicture::Progress);
    graphic->LoadFile(path);
    Install(std::move(graphic));
}

void TPicture::SaveToFile(const std::string& path) const {
    if (m_graphic) {
        m_graphic->SaveFile(path);
    }
}

void TPicture::ReadStoredData(TStream& stream) {
    uint8_t length = 0;
    stream.ReadBuffer(&length, 1);
    std::string name(length, '\0');
    stream.ReadBuffer(name.data(), length);
    std::unique_ptr<TGraphic> graphic;
    // An unknown class leaves the picture empty, without error: the rest is not read.
    if (const TGraphicClass* graphicClass = GetFileFormats().FindClassByName(name)) {
        graphic = CreateGraphic(*graphicClass);
        graphic->ReadStoredData(stream);
    }
    Install(std::move(graphic));
}

void TPicture::WriteStoredData(TStream& stream) const {
    std::string name;
    if (m_graphic) {
        name = m_graphic->ClassName();
        name.resize(std::min(name.size(), kMaxStoredClassName));
    }
    const auto length = static_cast<uint8_t>(name.size());
    stream.WriteBuffer(&length, 1);
    stream.WriteBuffer(name.data(), length);
    if (m_graphic) {
        m_graphic->WriteStoredData(stream);
    }
}

void TPicture::Assign(const TPersistent* source) {
    if (source == nullptr) {
        SetGraphic(nullptr);
    } else if (const auto* picture = dynamic_cast<const TPicture*>(source)) {
        SetGraphic(picture->Graphic());
    } else if (const auto* graphic = dynamic_cast<const TGraphic*>(source)) {
        SetGraphic(graphic);
    } else {
        TPersistent::Assign(source);
    }
}

void TPicture::RegisterFileFormat(std::string_view extension, std::string_view description,
                                  const TGraphicClass& graphicClass) {
    GetFileFormats().RegisterFormat(extension, description, graphicClass);
}

void TPicture::Install(std::unique_ptr<TGraphic> graphic) {
    m_graphic = std::move(graphic);
    if (m_graphic) {
        m_graphic->OnChange = TNotifyEvent::Bind(this, &TPicture::Changed);
        m_graphic->OnProgress = TProgressEvent::Bind(this, &TPicture::Progress);
    }
    Changed(this);
}

void TPicture::Changed(TObject*) {
    OnChange(this);
    if (m_notifier != nullptr) {
        m_notifier->Changed();
    }
}

void TPicture::Progress(TObject* sender, TProgressStage stage, uint8_t percentDone,
                        bool redrawNow, TRect& rect, const std::string& msg) {
    OnProgress(sender, stage, percentDone, redrawNow, rect, msg);
}

}  // namespace pogoda
