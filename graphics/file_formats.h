#pragma once

// The process-wide registry that picks a graphic class for a file extension or for the
// class name written in front of stored picture data.

#include <string>
#include <string_view>
#include <vector>

namespace pogoda {

struct TGraphicClass;

struct TFileFormat {
    const TGraphicClass* GraphicClass;
    std::string Extension;  // lower case, without the dot
    std::string Description;
    int DescResID = 0;
};

class TFileFormatsList {
public:
    // Starts with wmf, emf (metafiles), ico (icons) and bmp (bitmaps).
    TFileFormatsList();

    // Appends an entry; the extension is lower-cased.
    void RegisterFormat(std::string_view extension, std::string_view description,
                        const TGraphicClass& graphicClass);
    // The latest registration wins; null when nothing matches.
    const TGraphicClass* FindClassForExtension(std::string_view extension) const;
    // Case-sensitive; the latest registration wins; null when nothing matches.
    const TGraphicClass* FindClassByName(std::string_view className) const;
    // Removes the entries of the class and of every class derived from it.
    void RemoveFormatsOfClass(const TGraphicClass& graphicClass);

    int Count() const { return static_cast<int>(m_formats.size()); }
    const TFileFormat& operator[](int index) const { return m_formats.at(static_cast<size_t>(index)); }

private:
    std::vector<TFileFormat> m_formats;
};

// The process's registry, made on first use and then extended by the format units in order:
// jpeg and jpg, then png.
TFileFormatsList& GetFileFormats();

}  // namespace pogoda
