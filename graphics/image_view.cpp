#include "graphics/image_view.h"

#include <cmath>

#include "graphics/canvas.h"
#include "graphics/unsupported_formats.h"

namespace pogoda {

TRect DestinationRect(int w, int h, int cw, int ch, bool stretch, bool proportional, bool center) {
    int width = w;
    int height = h;
    // A smaller picture is never enlarged unless Stretch is on.
    if (stretch || (proportional && (w > cw || h > ch))) {
        if (proportional && w > 0 && h > 0) {
            const double aspect = static_cast<double>(w) / h;
            if (w > h) {
                width = cw;
                height = static_cast<int>(std::trunc(cw / aspect));
                if (height > ch) {
                    height = ch;
                    width = static_cast<int>(std::trunc(ch * aspect));
                }
            } else {
                height = ch;
                width = static_cast<int>(std::trunc(ch * aspect));
                if (width > cw) {
                    width = cw;
                    height = static_cast<int>(std::trunc(cw / aspect));
                }
            }
        } else {
            width = cw;
            height = ch;
        }
    }
    TRect result = Rect(0, 0, width, height);
    if (center) {
        // C++ division truncates toward zero, so a larger picture moves left and up.
        const int dx = (cw - width) / 2;
        const int dy = (ch - height) / 2;
        result = Bounds(dx, dy, width, height);
    }
    return result;
}

TImageView::TImageView(IHost& host) : m_host(host) {
    m_picture.OnChange = TNotifyEvent::Bind(this, &TImageView::PictureChanged);
    m_picture.OnProgress = TProgressEvent::Bind(this, &TImageView::PictureProgress);
}

void TImageView::SetPicture(const TPicture& source) { m_picture.Assign(&source); }

void TImageView::SetAutoSize(bool value) {
    m_autoSize = value;
    PictureChanged(&m_picture);
}

void TImageView::SetCenter(bool value) {
    if (value != m_center) {
        m_center = value;
        PictureChanged(&m_picture);
    }
}

void TImageView::SetProportional(bool value) {
    if (value != m_proportional) {
        m_proportional = value;
        PictureChanged(&m_picture);
    }
}

void TImageView::SetStretch(bool value) {
    if (value != m_stretch) {
        m_stretch = value;
        PictureChanged(&m_picture);
    }
}

void TImageView::SetTransparent(bool value) {
    if (value != m_transparent) {
        m_transparent = value;
        PictureChanged(&m_picture);
    }
}

TRect TImageView::DestinationRect() const {
    const TRect bounds = m_host.BoundsRect();
    return pogoda::DestinationRect(m_picture.Width(), m_picture.Height(), bounds.Width(),
                                   bounds.Height(), m_stretch, m_proportional, m_center);
}

void TImageView::Paint(TCanvas& canvas) {
    struct DrawingFlag {
        bool& flag;
        bool saved;
        ~DrawingFlag() { flag = saved; }
    } restore{m_drawing, m_drawing};
    m_drawing = true;
    if (TGraphic* graphic = m_picture.Graphic()) {
        graphic->DrawInto(canvas, DestinationRect());
    }
}

void TImageView::PictureChanged(TObject*) {
    const TRect bounds = m_host.BoundsRect();
    if (m_autoSize && m_picture.Width() > 0 && m_picture.Height() > 0) {
        m_host.SetBounds(bounds.Left, bounds.Top, m_picture.Width(), m_picture.Height());
    }
    if (TGraphic* graphic = m_picture.Graphic()) {
        // Metafiles and icons keep their own transparency.
        if (!graphic->GraphicClass().InheritsFrom(TUnsupportedGraphic::ClassRef())) {
            graphic->SetTransparent(m_transparent);
        }
        const TRect dest = DestinationRect();
        const TRect client = m_host.BoundsRect();
        m_host.SetOpaque(!graphic->Transparent() && dest.Left <= 0 && dest.Top <= 0 &&
                         dest.Right >= client.Width() && dest.Bottom >= client.Height());
    }
    if (!m_drawing) {
        m_host.Invalidate();
    }
}

void TImageView::PictureProgress(TObject* sender, TProgressStage stage, uint8_t percentDone,
                                 bool redrawNow, TRect& rect, const std::string& msg) {
    if (m_incrementalDisplay && redrawNow) {
        m_host.Repaint();
    }
    OnProgress(sender, stage, percentDone, redrawNow, rect, msg);
}

}  // namespace pogoda
