#pragma once

// The sizing and drawing logic of the image control. The window framework wraps it in its
// control (bounds, invalidation, double click); this part owns the picture and decides where
// and how it is drawn.

#include "graphics/picture.h"

namespace pogoda {

class TCanvas;

class TImageView {
public:
    // The control's side of the bargain, implemented by the window framework.
    class IHost {
    public:
        virtual TRect BoundsRect() const = 0;  // in the parent's coordinates
        virtual void SetBounds(int left, int top, int width, int height) = 0;
        virtual void Invalidate() = 0;
        virtual void Repaint() = 0;  // paint at once
        virtual void SetOpaque(bool opaque) = 0;
        virtual ~IHost() = default;
    };

    explicit TImageView(IHost& host);
    TImageView(const TImageView&) = delete;
    TImageView& operator=(const TImageView&) = delete;

    TPicture& Picture() { return m_picture; }
    // Replaces the picture's graphic with a copy of source's.
    void SetPicture(const TPicture& source);

    // Settings (all off by default); each setter applies at once.
    bool AutoSize() const { return m_autoSize; }
    void SetAutoSize(bool value);
    bool Center() const { return m_center; }
    void SetCenter(bool value);
    bool Proportional() const { return m_proportional; }
    void SetProportional(bool value);
    bool Stretch() const { return m_stretch; }
    void SetStretch(bool value);
    bool Transparent() const { return m_transparent; }
    void SetTransparent(bool value);
    bool IncrementalDisplay() const { return m_incrementalDisplay; }
    void SetIncrementalDisplay(bool value) { m_incrementalDisplay = value; }
    TProgressEvent OnProgress;

    // Where the picture lands inside the client area.
    TRect DestinationRect() const;
    // Draws the picture at DestinationRect (nothing when empty).
    void Paint(TCanvas& canvas);
    bool Drawing() const { return m_drawing; }

    // The picture's change handler.
    void PictureChanged(TObject* sender);

private:
    void PictureProgress(TObject* sender, TProgressStage stage, uint8_t percentDone,
                         bool redrawNow, TRect& rect, const std::string& msg);

    IHost& m_host;
    TPicture m_picture;
    bool m_autoSize = false;
    bool m_center = false;
    bool m_proportional = false;
    bool m_stretch = false;
    bool m_transparent = false;
    bool m_incrementalDisplay = false;
    bool m_drawing = false;
};

// The placement rule alone: picture size w x h in a client of cw x ch.
TRect DestinationRect(int w, int h, int cw, int ch, bool stretch, bool proportional, bool center);

}  // namespace pogoda
